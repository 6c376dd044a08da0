#include "YKTimelineGrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int kNameWidth = 150;
constexpr int kColumnWidth = 26;
constexpr int kHeaderHeight = 34;
constexpr int kRowHeight = 18;
constexpr int kIndent = 14;

}  // namespace

YKTimelineGrid::YKTimelineGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(false);
    setMinimumHeight(kHeaderHeight + 3 * kRowHeight);
    horizontalScrollBar()->setSingleStep(kColumnWidth);
    verticalScrollBar()->setSingleStep(kRowHeight);
}

// --- Contents ---

void YKTimelineGrid::SetFrames(const std::vector<float>& durations) {
    if (durations == mDurations) {
        return;
    }
    mDurations = durations;
    UpdateScrollBars();
    viewport()->update();
}

void YKTimelineGrid::SetRows(std::vector<Row> rows) {
    if (rows == mRows) {
        return;
    }
    mRows = std::move(rows);
    UpdateScrollBars();
    viewport()->update();
}

void YKTimelineGrid::SetCurrentFrame(int32 frame) {
    if (frame == mCurrent) {
        return;
    }
    // Only the two columns whose highlight moves are painted again.
    viewport()->update(ColumnRect(mCurrent));
    mCurrent = frame;
    KeepCurrentVisible();
    viewport()->update(ColumnRect(mCurrent));
}

// --- Geometry ---

int32 YKTimelineGrid::FirstColumnX() const {
    return kNameWidth - horizontalScrollBar()->value();
}

QRect YKTimelineGrid::ColumnRect(int32 frame) const {
    return {FirstColumnX() + (frame - 1) * kColumnWidth, 0, kColumnWidth, viewport()->height()};
}

QRect YKTimelineGrid::FrameRect(int32 frame) const {
    if (frame < 1 || frame > FrameCount()) {
        return {};
    }
    const QRect cell(FirstColumnX() + (frame - 1) * kColumnWidth, 0, kColumnWidth, kHeaderHeight);
    return cell.left() >= kNameWidth && cell.right() < viewport()->width() ? cell : QRect();
}

QRect YKTimelineGrid::RowRect(int32 index) const {
    return {0, kHeaderHeight + index * kRowHeight - verticalScrollBar()->value(),
            viewport()->width(), kRowHeight};
}

int32 YKTimelineGrid::FrameAt(QPoint point) const {
    if (point.x() < kNameWidth) {
        return 0;
    }
    const int32 frame = (point.x() - FirstColumnX()) / kColumnWidth + 1;
    return frame >= 1 && frame <= FrameCount() ? frame : 0;
}

void YKTimelineGrid::UpdateScrollBars() {
    const QSize area = viewport()->size();
    horizontalScrollBar()->setPageStep(std::max(1, area.width() - kNameWidth));
    horizontalScrollBar()->setRange(
        0, std::max(0, FrameCount() * kColumnWidth - (area.width() - kNameWidth)));
    verticalScrollBar()->setPageStep(std::max(1, area.height() - kHeaderHeight));
    verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(mRows.size()) * kRowHeight -
                                                     (area.height() - kHeaderHeight)));
}

void YKTimelineGrid::KeepCurrentVisible() {
    QScrollBar* bar = horizontalScrollBar();
    const int left = (mCurrent - 1) * kColumnWidth;
    const int width = viewport()->width() - kNameWidth;
    if (left < bar->value()) {
        bar->setValue(left);
    } else if (left + kColumnWidth > bar->value() + width) {
        bar->setValue(left + kColumnWidth - width);
    }
}

void YKTimelineGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void YKTimelineGrid::scrollContentsBy(int, int) {
    viewport()->update();
}

// --- Painting ---

void YKTimelineGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPalette colours = palette();
    const QRect area = event->rect();
    const int width = viewport()->width();
    const int height = viewport()->height();
    painter.fillRect(area, colours.base());

    // Only the columns and rows inside the repainted area.
    const int firstX = FirstColumnX();
    const int32 firstFrame =
        std::max(1, (std::max(area.left(), kNameWidth) - firstX) / kColumnWidth + 1);
    const int32 lastFrame = std::min(FrameCount(), (area.right() - firstX) / kColumnWidth + 1);
    const int top = kHeaderHeight - verticalScrollBar()->value();
    const int32 firstRow = std::max(0, (std::max(area.top(), kHeaderHeight) - top) / kRowHeight);
    const int32 lastRow =
        std::min(static_cast<int32>(mRows.size()) - 1, (area.bottom() - top) / kRowHeight);

    painter.setClipRect(QRect(kNameWidth, 0, width - kNameWidth, height) & area);
    // Columns: the current one highlighted, every fifth one shaded to help count.
    for (int32 frame = firstFrame; frame <= lastFrame; ++frame) {
        const QRect column(firstX + (frame - 1) * kColumnWidth, 0, kColumnWidth, height);
        if (frame == mCurrent) {
            painter.fillRect(column, colours.highlight().color().lighter(160));
        } else if (frame % 5 == 0) {
            painter.fillRect(column, colours.alternateBase());
        }
        painter.setPen(colours.mid().color());
        painter.drawLine(column.topRight(), column.bottomRight());
    }
    // Key frames: a diamond per key, lighter on a group row, which sums up its objects.
    painter.setRenderHint(QPainter::Antialiasing);
    for (int32 index = firstRow; index <= lastRow; ++index) {
        const Row& row = mRows[index];
        const int y = top + index * kRowHeight + kRowHeight / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(row.group ? colours.dark() : colours.text());
        for (auto key = std::lower_bound(row.keys.begin(), row.keys.end(), firstFrame);
             key != row.keys.end() && *key <= lastFrame; ++key) {
            const int x = firstX + (*key - 1) * kColumnWidth + kColumnWidth / 2;
            const QPoint diamond[] = {{x, y - 5}, {x + 5, y}, {x, y + 5}, {x - 5, y}};
            painter.drawPolygon(diamond, 4);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);

    // Header: number and duration of each frame.
    painter.setClipRect(QRect(kNameWidth, 0, width - kNameWidth, kHeaderHeight) & area);
    painter.fillRect(QRect(0, 0, width, kHeaderHeight), colours.button());
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    for (int32 frame = firstFrame; frame <= lastFrame; ++frame) {
        const QRect cell(firstX + (frame - 1) * kColumnWidth, 0, kColumnWidth, kHeaderHeight);
        if (frame == mCurrent) {
            painter.fillRect(cell, colours.highlight());
        }
        painter.setPen(frame == mCurrent ? colours.highlightedText().color()
                                         : colours.buttonText().color());
        painter.setFont(font());
        painter.drawText(cell.adjusted(0, 2, 0, -kHeaderHeight / 2), Qt::AlignCenter,
                         QString::number(frame));
        painter.setFont(small);
        painter.drawText(cell.adjusted(0, kHeaderHeight / 2, 0, -2), Qt::AlignCenter,
                         QString::number(static_cast<int>(mDurations[frame - 1])));
        painter.setPen(colours.mid().color());
        painter.drawLine(cell.topRight(), cell.bottomRight());
    }

    // Names, which stay in place when the frames scroll.
    painter.setClipRect(QRect(0, 0, kNameWidth, height) & area);
    painter.fillRect(QRect(0, 0, kNameWidth, height), colours.window());
    painter.setFont(font());
    painter.setPen(colours.windowText().color());
    painter.drawText(QRect(6, 0, kNameWidth - 6, kHeaderHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("Frame / duration"));
    painter.setClipRect(QRect(0, kHeaderHeight, kNameWidth, height - kHeaderHeight) & area);
    for (int32 index = firstRow; index <= lastRow; ++index) {
        const Row& row = mRows[index];
        const QRect cell(0, top + index * kRowHeight, kNameWidth, kRowHeight);
        QFont face = font();
        face.setBold(row.group);
        painter.setFont(face);
        const int indent = row.group ? 4 : 4 + kIndent;
        if (row.group) {
            painter.drawText(QRect(4, cell.top(), kIndent, kRowHeight), Qt::AlignCenter,
                             row.collapsed ? QStringLiteral("▸") : QStringLiteral("▾"));
        }
        painter.drawText(cell.adjusted(indent + (row.group ? kIndent : 0), 0, -2, 0),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(row.name, Qt::ElideRight,
                                                          kNameWidth - indent - kIndent));
    }
    painter.setClipping(false);
    painter.setPen(colours.mid().color());
    painter.drawLine(kNameWidth - 1, 0, kNameWidth - 1, height);
    painter.drawLine(0, kHeaderHeight - 1, width, kHeaderHeight - 1);
}

// --- Mouse ---

void YKTimelineGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint at = event->position().toPoint();
    if (at.x() < kNameWidth) {
        const int32 index = (at.y() - kHeaderHeight + verticalScrollBar()->value()) / kRowHeight;
        if (at.y() >= kHeaderHeight && index < static_cast<int32>(mRows.size()) &&
            mRows[index].group) {
            Q_EMIT GroupToggled(mRows[index].id);
        }
        return;
    }
    if (const int32 frame = FrameAt(at); frame != 0) {
        Q_EMIT FrameClicked(frame);
    }
}

// Dragging along the frames scrubs through them.
void YKTimelineGrid::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) == 0) {
        return;
    }
    if (const int32 frame = FrameAt(event->position().toPoint()); frame != 0 && frame != mCurrent) {
        Q_EMIT FrameClicked(frame);
    }
}
