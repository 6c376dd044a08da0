#include "YKGradientBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "YKGradient.h"

namespace {

QColor ToQColor(double r, double g, double b, double a) {
    return QColor::fromRgbF(
        static_cast<float>(std::clamp(r, 0.0, 1.0)), static_cast<float>(std::clamp(g, 0.0, 1.0)),
        static_cast<float>(std::clamp(b, 0.0, 1.0)), static_cast<float>(std::clamp(a, 0.0, 1.0)));
}

void Triangle(QPainter& painter, int x, int top, bool filled) {
    QPainterPath path;
    path.moveTo(x, top);
    path.lineTo(x - 5, top + 8);
    path.lineTo(x + 5, top + 8);
    path.closeSubpath();
    painter.fillPath(path, filled ? QColor(Qt::black) : QColor(Qt::white));
    painter.setPen(Qt::black);
    painter.drawPath(path);
}

}  // namespace

int YKGradientBar::IndexOf(const YKGradient& gradient, const YKGradientItem* item) {
    int index = 0;
    for (const YKGradientItem* i = gradient.get_first_item(); i != nullptr;
         i = i->Next(), ++index) {
        if (i == item) {
            return index;
        }
    }
    return -1;
}

YKGradientBar::YKGradientBar(QWidget* parent) : QWidget(parent) {
    setToolTip(tr("Click an item to select it, Shift-click to select a run; drag to move"));
}

void YKGradientBar::SetGradient(YKGradient* gradient) {
    mGradient = gradient;
    mDrag = Drag::kNone;
    update();
}

int YKGradientBar::XOf(double t) const {
    return kMargin + static_cast<int>(std::lround(t * (width() - 2 * kMargin - 1)));
}

double YKGradientBar::TOf(int x) const {
    const int span = std::max(1, width() - 2 * kMargin - 1);
    return std::clamp(static_cast<double>(x - kMargin) / span, 0.0, 1.0);
}

// --- Drawing ---

void YKGradientBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect bar(kMargin, 0, width() - 2 * kMargin, kBarHeight);
    // A checkerboard shows through where the ramp is clear.
    for (int y = bar.top(); y < bar.bottom(); y += 6) {
        for (int x = bar.left(); x < bar.right(); x += 6) {
            painter.fillRect(QRect(x, y, 6, 6).intersected(bar),
                             ((x - bar.left()) / 6 + y / 6) % 2 ? Qt::lightGray : Qt::white);
        }
    }
    if (mGradient == nullptr || !mGradient->IsData()) {
        return;
    }
    for (int x = bar.left(); x <= bar.right(); ++x) {
        double r = 0, g = 0, b = 0, a = 0;
        mGradient->get_color_at(TOf(x), &r, &g, &b, &a);
        painter.setPen(ToQColor(r, g, b, a));
        painter.drawLine(x, bar.top(), x, bar.bottom());
    }
    // The selection run as a band under the bar.
    const YKGradientItem* s = mGradient->SelLeft();
    const YKGradientItem* e = mGradient->SelRight();
    if (s != nullptr && e != nullptr) {
        painter.fillRect(
            QRect(XOf(s->GetLeft()), kBarHeight + 1, XOf(e->GetRight()) - XOf(s->GetLeft()) + 1, 3),
            palette().highlight());
    }
    const int handles = kBarHeight + 5;
    for (const YKGradientItem* i = mGradient->get_first_item(); i != nullptr; i = i->Next()) {
        Triangle(painter, XOf(i->GetLeft()), handles, true);
        Triangle(painter, XOf(i->GetMiddle()), handles, false);
    }
    Triangle(painter, XOf(1.0), handles, true);
}

// --- Mouse ---

YKGradientItem* YKGradientBar::HandleAt(int x, Drag* kind) const {
    for (YKGradientItem* i = mGradient->get_first_item(); i != nullptr; i = i->Next()) {
        // The outer ends of the ramp stay at 0 and 1: they are no handles.
        if (i->Next() != nullptr && std::abs(XOf(i->GetRight()) - x) <= kGrab) {
            *kind = Drag::kBorder;
            return i;
        }
        if (std::abs(XOf(i->GetMiddle()) - x) <= kGrab) {
            *kind = Drag::kMiddle;
            return i;
        }
    }
    return nullptr;
}

void YKGradientBar::mousePressEvent(QMouseEvent* event) {
    if (mGradient == nullptr || !mGradient->IsData() || event->button() != Qt::LeftButton) {
        return;
    }
    const int x = static_cast<int>(event->position().x());
    const double t = TOf(x);
    mLastT = t;
    mMoved = false;
    mDrag = Drag::kNone;
    if (event->position().y() > kBarHeight) {
        mDragged = HandleAt(x, &mDrag);
        if (mDragged != nullptr) {
            return;
        }
    }
    YKGradientItem* item = mGradient->get_item_at(std::clamp(t, 0.0, 1.0));
    if (item == nullptr) {
        return;
    }
    YKGradientItem* s = mGradient->SelLeft();
    YKGradientItem* e = mGradient->SelRight();
    if ((event->modifiers() & Qt::ShiftModifier) && s != nullptr && e != nullptr) {
        if (IndexOf(*mGradient, item) < IndexOf(*mGradient, s)) {
            mGradient->SetSelLeft(item);
        } else {
            mGradient->SetSelRight(item);
        }
    } else {
        mGradient->SetSelLeft(item);
        mGradient->SetSelRight(item);
    }
    mDrag = Drag::kRun;
    update();
    Q_EMIT SelectionChanged();
}

void YKGradientBar::mouseMoveEvent(QMouseEvent* event) {
    if (mGradient == nullptr || mDrag == Drag::kNone) {
        return;
    }
    const double t = TOf(static_cast<int>(event->position().x()));
    switch (mDrag) {
        case Drag::kRun:
            mLastT += mGradient->move(mGradient->SelLeft(), mGradient->SelRight(), t - mLastT);
            break;
        case Drag::kBorder:
            mGradient->resize(mDragged, t);
            break;
        case Drag::kMiddle:
            // Kept strictly inside its item, where the curves are defined.
            mDragged->SetMiddle(
                std::clamp(t, mDragged->GetLeft() + 0.001, mDragged->GetRight() - 0.001));
            break;
        case Drag::kNone:
            return;
    }
    mMoved = true;
    update();
    Q_EMIT Edited(true);
}

void YKGradientBar::mouseReleaseEvent(QMouseEvent*) {
    const bool moved = mMoved;
    mDrag = Drag::kNone;
    mMoved = false;
    if (moved) {
        Q_EMIT Edited(false);
    }
}
