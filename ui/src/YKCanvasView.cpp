#include "YKCanvasView.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <vector>

#include "YKBitmap.h"
#include "YKGammaCorrection.h"
#include "YKRaster.h"

namespace {

constexpr int kScrollStep = 16;

// One axis: a canvas longer than the view scrolls from its first to its last pixel; a shorter
// one stays centred and the bar has nothing to scroll.
void SetBar(QScrollBar* bar, int32 first, int32 last, int32 page, float centre) {
    const int32 length = last - first + 1;
    int32 low = first;
    int32 high = last + 1 - page;
    if (length <= page) {
        low = high = first - (page - length) / 2;
    }
    bar->setRange(low, high);
    bar->setPageStep(page);
    bar->setSingleStep(kScrollStep);
    bar->setValue(std::clamp(static_cast<int32>(std::lround(centre - page * 0.5f)), low, high));
}

QRect ToQRect(YKRect<int32> rect) {
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right, rect.bottom));
}

}  // namespace

// Set and read on the GUI thread only.
static const YKGammaCorrection* sDisplayGamma = nullptr;

void YKCanvasView::SetDisplayGamma(const YKGammaCorrection* gamma) {
    sDisplayGamma = gamma;
}

YKCanvasView::YKCanvasView(QWidget* parent) : QAbstractScrollArea(parent) {
    mShown.SetOverscan(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

// --- What is shown ---

void YKCanvasView::TakeComposition(YKBitmap* composition, YKRect<int32> rect) {
    if (composition == nullptr) {
        return;
    }
    const YKRect<int32> area = rect & composition->Frame();
    if (!area.IsValid()) {
        return;
    }
    std::vector<uint32> line(static_cast<size_t>(area.right - area.left + 1));
    std::lock_guard<std::mutex> lock(mLock);
    for (int32 y = area.top; y <= area.bottom; ++y) {
        composition->GetLineAt(y, area.left, area.right, false, line.data());
        mShown.SetLineAt(line.data(), y, area.left, area.right);
    }
}

void YKCanvasView::SetDocumentFrame(YKRect<int32> frame) {
    {
        std::lock_guard<std::mutex> lock(mLock);
        mShown.SetDocumentFrame(frame);
    }
    mFrame = frame;
    Recentre({(frame.left + frame.right + 1) * 0.5f, (frame.top + frame.bottom + 1) * 0.5f});
}

void YKCanvasView::SetBoardColor(yk_color color) {
    {
        std::lock_guard<std::mutex> lock(mLock);
        mShown.SetBoardColor(color.ARGBPixel(), true);
    }
    viewport()->update();
}

void YKCanvasView::SetZoom(int32 zoom) {
    {
        std::lock_guard<std::mutex> lock(mLock);
        mShown.SetZoom(zoom);
    }
    Recentre(mCentre);
}

// --- Coordinates ---

YKPoint<int32> YKCanvasView::Origin() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

YKPoint<float> YKCanvasView::BitmapToView(YKPoint<float> point) const {
    const YKPoint<int32> origin = Origin();
    return mShown.ApplyZoom(point) -
           YKPoint<float>{static_cast<float>(origin.x), static_cast<float>(origin.y)};
}

YKRect<float> YKCanvasView::BitmapToView(YKRect<float> rect) const {
    const YKPoint<int32> origin = Origin();
    YKRect<float> view = mShown.ApplyZoom(rect);
    view.OffsetBy(static_cast<float>(-origin.x), static_cast<float>(-origin.y));
    return view;
}

YKPoint<float> YKCanvasView::ViewToBitmap(YKPoint<float> point) const {
    const YKPoint<int32> origin = Origin();
    return mShown.UnapplyZoom(
        point + YKPoint<float>{static_cast<float>(origin.x), static_cast<float>(origin.y)});
}

YKRect<int32> YKCanvasView::ZoomedFrame() const {
    if (!mFrame.IsValid()) {
        return YKRect<int32>::None();
    }
    // A reduced canvas shows only the screen pixels whose document pixel lies inside it.
    const YKRect<float> zoomed = mShown.ApplyZoom(
        YKRect<float>{static_cast<float>(mFrame.left), static_cast<float>(mFrame.top),
                      static_cast<float>(mFrame.right), static_cast<float>(mFrame.bottom)});
    return {static_cast<int32>(std::ceil(zoomed.left)), static_cast<int32>(std::ceil(zoomed.top)),
            static_cast<int32>(std::floor(zoomed.right)),
            static_cast<int32>(std::floor(zoomed.bottom))};
}

YKRect<int32> YKCanvasView::ShownFrame() const {
    YKRect<int32> frame = ZoomedFrame();
    const YKPoint<int32> origin = Origin();
    frame.OffsetBy(-origin.x, -origin.y);
    return frame;
}

void YKCanvasView::Recentre(YKPoint<float> centre) {
    const YKRect<int32> zoomed = mFrame.IsValid() ? ZoomedFrame() : YKRect<int32>{0, 0, -1, -1};
    const YKPoint<float> middle = mShown.ApplyZoom(centre);
    const QSize page = viewport()->size();
    SetBar(horizontalScrollBar(), zoomed.left, zoomed.right, page.width(), middle.x);
    SetBar(verticalScrollBar(), zoomed.top, zoomed.bottom, page.height(), middle.y);
    mCentre = ViewToBitmap({page.width() * 0.5f, page.height() * 0.5f});
    viewport()->update();
}

// --- Qt events ---

QSize YKCanvasView::sizeHint() const {
    const YKRect<int32> zoomed = ZoomedFrame();
    const int frame = 2 * frameWidth();
    return zoomed.IsValid() ? QSize(zoomed.Width() + 1 + frame, zoomed.Height() + 1 + frame)
                            : QAbstractScrollArea::sizeHint();
}

void YKCanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    const QRect canvas = dirty & ToQRect(ShownFrame());
    for (const QRect& outside : QRegion(dirty).subtracted(canvas)) {
        painter.fillRect(outside, palette().dark());
    }
    if (canvas.isEmpty()) {
        return;
    }
    const YKPoint<int32> origin = Origin();
    const YKRect<int32> screen{canvas.left() + origin.x, canvas.top() + origin.y,
                               canvas.right() + origin.x, canvas.bottom() + origin.y};
    YKRaster raster(screen, "canvas");
    {
        std::lock_guard<std::mutex> lock(mLock);
        mShown.DrawIn(&raster, screen);
    }
    if (sDisplayGamma != nullptr) {
        sDisplayGamma->Apply(raster);
    }
    // The screen shows colour only: the board's squares already stand for its translucency.
    const QImage image(raster.Bits(), raster.Width(), raster.Height(), raster.BytesPerRow(),
                       QImage::Format_RGB32);
    painter.drawImage(canvas.topLeft(), image);
}

void YKCanvasView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Recentre(mCentre);
}

void YKCanvasView::scrollContentsBy(int, int) {
    const QSize page = viewport()->size();
    mCentre = ViewToBitmap({page.width() * 0.5f, page.height() * 0.5f});
    viewport()->update();
}
