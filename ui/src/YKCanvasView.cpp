#include "YKCanvasView.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "YKBitmap.h"
#include "YKEventManager.h"
#include "YKGammaCorrection.h"
#include "YKPrefSetting.h"
#include "YKRaster.h"
#include "YKToolState.h"
#include "YKViewerLayer.h"

namespace {

constexpr int kScrollStep = 16;
// Milliseconds between a window's activation and the click that caused it, at most.
constexpr qint64 kActivatingClickLag = 150;

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

// --- Events to the core's terms ---

// Mouse-held events come this often while a button stays down and the pointer rests.
constexpr int kHoldInterval = 100;
constexpr int kAntsInterval = 150;
// Knobs keep their size on screen at every zoom.
constexpr qreal kKnobSize = 6.0;

uint32 Buttons(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1u : 0u) | (buttons & Qt::RightButton ? 2u : 0u) |
           (buttons & Qt::MiddleButton ? 4u : 0u);
}

// Ctrl is this desktop's shortcut key, so it plays Command; Alt plays Control (resizing with
// the arrows).
uint32 Modifiers(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? YKEventManager::kShift : 0u) |
           (modifiers & Qt::ControlModifier ? YKEventManager::kCommand : 0u) |
           (modifiers & Qt::AltModifier ? YKEventManager::kControl : 0u);
}

// The bytes the core knows a key by: the control codes for the arrows and editing keys, else
// the key's text in UTF-8. Empty for keys that mean nothing to it.
std::string KeyBytes(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            return "\x1c";
        case Qt::Key_Right:
            return "\x1d";
        case Qt::Key_Up:
            return "\x1e";
        case Qt::Key_Down:
            return "\x1f";
        case Qt::Key_Delete:
            return "\x7f";
        case Qt::Key_Backspace:
            return "\x08";
        case Qt::Key_Tab:
            return "\t";
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return "\n";
        case Qt::Key_Escape:
            return "\x1b";
        default:
            return event->text().toStdString();
    }
}

Qt::CursorShape CursorShape(int32 cursor) {
    switch (cursor) {
        case YKToolState::kCursorCrosshair:
            return Qt::CrossCursor;
        case YKToolState::kCursorHand:
            return Qt::OpenHandCursor;
        case YKToolState::kCursorZoomIn:
        case YKToolState::kCursorZoomOut:
            return Qt::PointingHandCursor;
        case YKToolState::kCursorLocked:
            return Qt::ClosedHandCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

// Set and read on the GUI thread only.
static const YKGammaCorrection* sDisplayGamma = nullptr;
static const YKPrefSetting* sPreferences = nullptr;

void YKCanvasView::SetDisplayGamma(const YKGammaCorrection* gamma) {
    sDisplayGamma = gamma;
}

void YKCanvasView::SetPreferences(const YKPrefSetting* preferences) {
    sPreferences = preferences;
}

YKCanvasView::YKCanvasView(QWidget* parent) : QAbstractScrollArea(parent) {
    mShown.SetOverscan(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    // Polylines and Bézier paths in progress follow the pointer between clicks.
    viewport()->setMouseTracking(true);
    mHoldTimer.setInterval(kHoldInterval);
    connect(&mHoldTimer, &QTimer::timeout, this, [this] {
        if (YKEventManager* events = mEvents.load()) {
            events->MouseHold(mLastPoint, mButtons);
            EventDone();
        }
    });
    mAntsTimer.setInterval(kAntsInterval);
    connect(&mAntsTimer, &QTimer::timeout, this, [this] {
        ++mAntsPhase;
        viewport()->update();
    });
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
    const int32 width = area.right - area.left + 1;
    const int32 height = area.bottom - area.top + 1;
    // The whole area at once: dithering spreads each pixel's error onto the rows below.
    std::vector<uint32> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32 y = area.top; y <= area.bottom; ++y) {
        composition->GetLineAt(y, area.left, area.right, false,
                               &pixels[static_cast<size_t>(y - area.top) * width]);
    }
    std::lock_guard<std::mutex> lock(mLock);
    mDisplay.Convert(pixels.data(), width, height, width * 4);
    for (int32 y = area.top; y <= area.bottom; ++y) {
        mShown.SetLineAt(&pixels[static_cast<size_t>(y - area.top) * width], y, area.left,
                         area.right);
    }
}

void YKCanvasView::SetDisplayPalette(int32 cmap, bool dither) {
    std::lock_guard<std::mutex> lock(mLock);
    mDisplay.SetPalette(cmap, dither);
}

int32 YKCanvasView::DisplayPalette() const {
    std::lock_guard<std::mutex> lock(mLock);
    return mDisplay.Palette();
}

bool YKCanvasView::DisplayDithering() const {
    std::lock_guard<std::mutex> lock(mLock);
    return mDisplay.Dithering();
}

void YKCanvasView::SetDrawingAnchors(bool shown) {
    mAnchorsShown = shown;
    viewport()->update();
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
        mDisplay.SetBoard(color.ARGBPixel());
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

// --- Events and overlay ---

void YKCanvasView::SetEventManager(YKEventManager* events, YKToolState* tools,
                                   YKViewerLayer* viewer, int32 view) {
    mHoldTimer.stop();
    mGestureOrigin.reset();
    mTools = tools;
    mViewer = viewer;
    mView = view;
    mEvents = events;
    if (events == nullptr) {
        std::lock_guard<std::mutex> lock(mLock);
        mOverlay = YKViewOverlay();
    }
}

void YKCanvasView::GatherOverlay() {
    YKEventManager* events = mEvents.load();
    if (events == nullptr || mViewer == nullptr) {
        return;
    }
    YKViewOverlay overlay;
    {
        std::lock_guard<std::mutex> lock(mLock);
        overlay = mOverlay;
    }
    overlay.Gather(mViewer, mView, events);
    {
        std::lock_guard<std::mutex> lock(mLock);
        if (overlay == mOverlay) {
            return;
        }
        mOverlay = std::move(overlay);
    }
    // Knobs reach beyond what changed in the tree: the whole view is painted again.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const bool marching = Overlay().IsMarching();
            if (marching != mAntsTimer.isActive()) {
                marching ? mAntsTimer.start() : mAntsTimer.stop();
            }
            viewport()->update();
        },
        Qt::QueuedConnection);
}

YKViewOverlay YKCanvasView::Overlay() const {
    std::lock_guard<std::mutex> lock(mLock);
    return mOverlay;
}

void YKCanvasView::EventDone() {
    if (mViewer != nullptr && mViewer->LockHirarchy()) {
        GatherOverlay();
        mViewer->UnlockHirarchy();
    }
}

YKPoint<double> YKCanvasView::EventPoint(QPointF position) const {
    const YKPoint<int32> origin = mGestureOrigin.value_or(Origin());
    const YKPoint<float> point = mShown.UnapplyZoom(YKPoint<float>{
        static_cast<float>(position.x() + origin.x), static_cast<float>(position.y() + origin.y)});
    // The hand tool scrolls past the limits: only the drawing tools are held within them.
    if (mAnchorsLocked && !mGestureOrigin && mFrame.IsValid()) {
        return {std::clamp<double>(point.x, mFrame.left, mFrame.right + 1),
                std::clamp<double>(point.y, mFrame.top, mFrame.bottom + 1)};
    }
    return {point.x, point.y};
}

bool YKCanvasView::OnlyActivates() const {
    if (sPreferences == nullptr || sPreferences->PrefFirstClick()) {
        return false;
    }
    // The window manager may activate the window before it hands over the click that did so.
    return !isActiveWindow() || (!mPressedSinceActivation && mActivated.isValid() &&
                                 mActivated.elapsed() < kActivatingClickLag);
}

void YKCanvasView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        mActivated.start();
        // A press that came first and only activated the window was the activating click.
        mPressedSinceActivation =
            mOnlyActivated.isValid() && mOnlyActivated.elapsed() < kActivatingClickLag;
    }
    QAbstractScrollArea::changeEvent(event);
}

void YKCanvasView::Press(QMouseEvent* event, uint32 clicks) {
    YKEventManager* events = mEvents.load();
    if (events == nullptr) {
        return;
    }
    if (OnlyActivates()) {
        mActivating = true;
        mPressedSinceActivation = true;
        mOnlyActivated.start();
        activateWindow();
        return;
    }
    mPressedSinceActivation = true;
    setFocus(Qt::MouseFocusReason);
    if (mTools != nullptr && mTools->ToolSelected() == YKToolState::kHandToolID) {
        mGestureOrigin = Origin();
    }
    mButtons = Buttons(event->buttons());
    mLastPoint = EventPoint(event->position());
    events->MouseDown(mLastPoint, mButtons, clicks, Modifiers(event->modifiers()));
    mHoldTimer.start();
    EventDone();
}

void YKCanvasView::mousePressEvent(QMouseEvent* event) {
    Press(event, 1);
}

void YKCanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
    Press(event, 2);
}

void YKCanvasView::mouseMoveEvent(QMouseEvent* event) {
    YKEventManager* events = mEvents.load();
    if (events == nullptr || mActivating) {
        return;
    }
    if (!events->IsMouseDown() && mTools != nullptr) {
        ShowCursor(mTools->SetCursor(false));
    }
    mButtons = Buttons(event->buttons());
    mLastPoint = EventPoint(event->position());
    events->MouseMoved(mLastPoint, mButtons);
    if (events->IsMouseDown()) {
        mHoldTimer.start();
    }
    EventDone();
}

void YKCanvasView::mouseReleaseEvent(QMouseEvent* event) {
    YKEventManager* events = mEvents.load();
    if (events == nullptr || event->buttons() != Qt::NoButton) {
        return;
    }
    if (mActivating) {
        mActivating = false;
        return;
    }
    mHoldTimer.stop();
    mLastPoint = EventPoint(event->position());
    mGestureOrigin.reset();
    events->MouseUp(mLastPoint);
    EventDone();
}

void YKCanvasView::keyPressEvent(QKeyEvent* event) {
    YKEventManager* events = mEvents.load();
    const std::string bytes = KeyBytes(event);
    if (events == nullptr || bytes.empty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    events->KeyDown(bytes.data(), static_cast<uint32>(bytes.size()), Modifiers(event->modifiers()));
    EventDone();
}

void YKCanvasView::keyReleaseEvent(QKeyEvent* event) {
    YKEventManager* events = mEvents.load();
    const std::string bytes = KeyBytes(event);
    if (events == nullptr || bytes.empty()) {
        QAbstractScrollArea::keyReleaseEvent(event);
        return;
    }
    // A held key repeats its press only: the run ends as one action at the real release.
    if (event->isAutoRepeat()) {
        return;
    }
    events->KeyUp(bytes.data(), static_cast<uint32>(bytes.size()), Modifiers(event->modifiers()));
    EventDone();
}

void YKCanvasView::ScrollBy(YKPoint<double> delta) {
    Recentre({mCentre.x + static_cast<float>(delta.x), mCentre.y + static_cast<float>(delta.y)});
}

void YKCanvasView::CentreOn(YKPoint<double> point) {
    Recentre({static_cast<float>(point.x), static_cast<float>(point.y)});
}

void YKCanvasView::ShowCursor(int32 cursor) {
    viewport()->setCursor(CursorShape(cursor));
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
    if (!canvas.isEmpty()) {
        PaintCanvas(painter, canvas);
    }
    PaintOverlay(painter, Overlay());
}

void YKCanvasView::PaintCanvas(QPainter& painter, const QRect& canvas) {
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

QPointF YKCanvasView::ToView(YKPoint<double> point) const {
    const YKPoint<float> view =
        BitmapToView(YKPoint<float>{static_cast<float>(point.x), static_cast<float>(point.y)});
    return {view.x, view.y};
}

void YKCanvasView::PaintOverlay(QPainter& painter, const YKViewOverlay& overlay) const {
    // Marching ants: black dashes over white, moving one step per tick of the timer.
    QPen under(Qt::white, 0);
    QPen ants(Qt::black, 0, Qt::CustomDashLine);
    ants.setDashPattern({4.0, 4.0});
    ants.setDashOffset(mAntsPhase % 8);
    const auto march = [&](const auto& draw) {
        painter.setPen(under);
        draw();
        painter.setPen(ants);
        draw();
    };
    painter.setBrush(Qt::NoBrush);
    march([&] {
        for (const YKViewOverlay::Edge& edge : overlay.SelectionEdges()) {
            painter.drawLine(
                ToView({static_cast<double>(edge.from.x), static_cast<double>(edge.from.y)}),
                ToView({static_cast<double>(edge.to.x), static_cast<double>(edge.to.y)}));
        }
    });
    const auto polygon = [this](const YKViewOverlay::Polygon& points) {
        QPolygonF shown;
        for (const YKPoint<double>& point : points) {
            shown << ToView(point);
        }
        return shown;
    };
    if (overlay.BandShape() != YKViewOverlay::Band::kNone) {
        const YKRect<double> band = overlay.BandRect();
        const QRectF rect(ToView({band.left, band.top}), ToView({band.right, band.bottom}));
        march([&] {
            switch (overlay.BandShape()) {
                case YKViewOverlay::Band::kEllipse:
                    painter.drawEllipse(rect);
                    break;
                case YKViewOverlay::Band::kLasso:
                    painter.drawPolyline(polygon(overlay.Lasso()));
                    break;
                default:
                    painter.drawRect(rect);
                    break;
            }
        });
    }
    const QColor selection = palette().color(QPalette::Highlight);
    if (mAnchorsShown) {
        // Just outside the canvas, so that the line hides none of it.
        painter.setPen(QPen(selection, 0));
        painter.drawRect(ToQRect(ShownFrame()).adjusted(-1, -1, 0, 0));
    }
    painter.setPen(QPen(selection, 0));
    for (const YKViewOverlay::Polygon& outline : overlay.Outlines()) {
        painter.drawPolygon(polygon(outline));
    }
    if (!overlay.Drawing().empty()) {
        painter.setPen(QPen(selection, 0, Qt::DashLine));
        painter.drawPolygon(polygon(overlay.Drawing()));
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    const QPointF half(kKnobSize / 2, kKnobSize / 2);
    for (const YKPoint<double>& knob : overlay.Knobs()) {
        const QPointF at = ToView(knob);
        painter.drawRect(QRectF(at - half, at + half));
    }
    painter.setBrush(Qt::black);
    for (const YKPoint<double>& knob : overlay.RotationKnobs()) {
        painter.drawEllipse(ToView(knob), kKnobSize / 3, kKnobSize / 3);
    }
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
