#include "YKPaintLayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "YKMessage.h"
#include "yk_image_limits.h"

// Sections: construction and archive · strokes · placement · events and messages.

namespace {

constexpr const char* kClassName = "YKPaintLayer";
// The paint brush tool's name, under which its layers are archived and looked up when loaded;
// files written before carry the class name.
constexpr const char* kToolName = "PaintBrush";

bool IsPaintLayerClass(const char* name) {
    return name != nullptr &&
           (std::strcmp(name, kToolName) == 0 || std::strcmp(name, kClassName) == 0);
}
// Every stamping of the strokes starts the brush's random numbers here, so a stroke comes out
// the same when painted, redrawn or loaded.
constexpr uint32 kStrokeSeed = 1;
// Positions beyond this are held at it before they become integers: a dab's square and the
// shift between two renderings then always fit in an int32.
constexpr double kMaxCoordinate = 1 << 29;

YKPoint<int32> RoundPoint(YKPoint<double> point) {
    const auto round = [](double v) {
        return static_cast<int32>(
            std::clamp(std::isnan(v) ? 0.0 : std::floor(v + 0.5), -kMaxCoordinate, kMaxCoordinate));
    };
    return {round(point.x), round(point.y)};
}

// A shift by whole units between two positions in range keeps the rendering's offset in range.
bool IsWholeShift(YKPoint<double> from, YKPoint<double> to) {
    const auto inRange = [](double v) { return std::fabs(v) <= kMaxCoordinate; };
    const YKPoint<double> delta = to - from;
    return inRange(from.x) && inRange(from.y) && inRange(to.x) && inRange(to.y) &&
           std::floor(delta.x) == delta.x && std::floor(delta.y) == delta.y;
}

}  // namespace

// --- Construction and archive ---

YKPaintLayer::YKPaintLayer(int32 id, const char* name, int32 kind) : YKObjectLayer(id, name, kind) {
    mRenderer.CreatePencil(mRenderer.PencilSize());
}

YKPaintLayer::YKPaintLayer(const YKMessage* archive) : YKObjectLayer(archive) {
    const char* className = nullptr;
    if (archive != nullptr &&
        (!archive->FindString("Class", &className) || !IsPaintLayerClass(className))) {
        std::printf("YKPaintLayer: not the right class [%s]\n",
                    className != nullptr ? className : "");
        archive = nullptr;
    }
    YKMessage brush;
    if (archive != nullptr && archive->FindMessage("YKPL:Render", &brush)) {
        mRenderer.Unarchive(&brush);
    } else {
        mRenderer.CreatePencil(mRenderer.PencilSize());
    }
    YKPoint<double> point;
    int32 refused = 0;
    for (int32 i = 0; archive != nullptr && archive->FindPoint("YKPL:Point", i, &point); ++i) {
        refused += AddStrokePoint(point) ? 0 : 1;
    }
    if (refused > 0) {
        std::printf("YKPaintLayer: %d stroke points left out\n", static_cast<int>(refused));
    }
}

YKPaintLayer::~YKPaintLayer() = default;

void YKPaintLayer::Archive(YKMessage* message, bool deep) const {
    if (message == nullptr) {
        return;
    }
    YKObjectLayer::Archive(message, deep);
    SetArchiveClass(message, kToolName);
    YKMessage brush;
    mRenderer.Archive(&brush);
    message->AddMessage("YKPL:Render", &brush);
    for (int32 i = 0; i < mPoints.CountItems(); ++i) {
        message->AddPoint("YKPL:Point", mPoints.ItemAt(i));
    }
}

bool YKPaintLayer::InheritsFrom(const char* className) const {
    return (className != nullptr && std::strcmp(className, kClassName) == 0) ||
           YKObjectLayer::InheritsFrom(className);
}

YKLayer* YKPaintLayer::Replicate() const {
    YKMessage archive;
    Archive(&archive, true);
    return new YKPaintLayer(&archive);
}

// --- Strokes ---

bool YKPaintLayer::AddStrokePoint(YKPoint<double> point) {
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
        return false;
    }
    const bool first = mPoints.CountItems() == 0;
    const YKPoint<double> low{first ? point.x : std::min(mLow.x, point.x),
                              first ? point.y : std::min(mLow.y, point.y)};
    const YKPoint<double> high{first ? point.x : std::max(mHigh.x, point.x),
                               first ? point.y : std::max(mHigh.y, point.y)};
    // The rendering covers the strokes' extent: it must stay an image the system can hold.
    const double brush = 2 * YKPencilBrushRenderer::kMaxSize;
    const double width = high.x - low.x + brush;
    const double height = high.y - low.y + brush;
    if (!(width <= kYKMaxImageSide && height <= kYKMaxImageSide) ||
        !yk_image_size_ok(static_cast<int64>(width), static_cast<int64>(height), 4)) {
        return false;
    }
    mLow = low;
    mHigh = high;
    return mPoints.AddItem(point);
}

void YKPaintLayer::Redraw() {
    Stamp(CurrentPlacement().position);
}

void YKPaintLayer::Stamp(YKPoint<double> position) {
    const YKRect<int32> before = Frame();
    mBitmap.MakeEmpty();
    mRenderer.SetRandomSeed(kStrokeSeed);
    for (int32 i = 0; i < mPoints.CountItems(); ++i) {
        // Time 0 starts the stroke; later points follow the brush's spacing from the one before.
        mRenderer.SetCineTime(static_cast<float>(i));
        mRenderer.DrawBrush(&mBitmap, RoundPoint(position + mPoints.ItemAt(i)), nullptr);
    }
    mDrawnAt = position;
    ProcessEffect();
    InvalidateLayer(before | Frame(), true, nullptr);
}

void YKPaintLayer::Paint(YKPoint<double> point) {
    YKPoint<double> usable;
    if (!UsablePoint(point, &usable)) {
        return;
    }
    const YKPoint<int32> at = RoundPoint(usable);
    const YKPoint<double> position = CurrentPlacement().position;
    const int32 count = mPoints.CountItems();
    if (count > 0 && RoundPoint(position + mPoints.LastItem()) == at) {
        return;
    }
    const YKPoint<double> relative = YKPoint<double>{double(at.x), double(at.y)} - position;
    if (!AddStrokePoint(relative)) {
        return;
    }
    if (count == 0) {
        mDrawnAt = position;
        mRenderer.SetRandomSeed(kStrokeSeed);
    }
    mRenderer.SetCineTime(static_cast<float>(count));
    YKRect<int32> touched = YKRect<int32>::None();
    mRenderer.DrawBrush(&mBitmap, at, &touched);
    InvalidateLayer(touched, true, nullptr);
}

// --- Placement ---

void YKPaintLayer::AskBoundingBox(Placement* placement) {
    if (placement == nullptr || mPoints.CountItems() == 0) {
        return;
    }
    uint32 width = 0;
    uint32 height = 0;
    mRenderer.GetBrushSize(&width, &height);
    const YKPoint<double> reach{width / 2.0, height / 2.0};
    placement->leftTop = mLow - reach;
    placement->rightBottom = mHigh + reach;
    placement->rightTop = {placement->rightBottom.x, placement->leftTop.y};
    placement->leftBottom = {placement->leftTop.x, placement->rightBottom.y};
}

void YKPaintLayer::SuggestBoundingBox(const Placement& placement, bool force, bool /*switching*/) {
    if (!force && mDrawnAt.has_value() && IsWholeShift(*mDrawnAt, placement.position)) {
        const YKRect<int32> before = Frame();
        const YKPoint<double> delta = placement.position - *mDrawnAt;
        ShiftRendering(&mBitmap, {static_cast<int32>(delta.x), static_cast<int32>(delta.y)});
        mDrawnAt = placement.position;
        InvalidateLayer(before | Frame(), true, nullptr);
        return;
    }
    Stamp(placement.position);
}

// --- Composition, events and messages ---

void YKPaintLayer::ComposeLayer(YKBitmap* destination, YKRect<int32> rect) {
    ComposeRendering(destination, rect, &mBitmap);
}

YKRect<int32> YKPaintLayer::Frame() const {
    return YKEffectLayer::Frame() | mBitmap.Frame();
}

void YKPaintLayer::SelfAdded() {
    YKObjectLayer::SelfAdded();
    if (mPoints.CountItems() > 0) {
        Redraw();
    }
}

bool YKPaintLayer::MouseDown(YKPoint<double> point, uint32 buttons, uint32 clicks, int32 tool) {
    if (ObjectMode(-1) != kModeDrawing) {
        return YKObjectLayer::MouseDown(point, buttons, clicks, tool);
    }
    Paint(point);
    return true;
}

bool YKPaintLayer::MouseHold(YKPoint<double> point, uint32 buttons, int32 tool) {
    if (ObjectMode(-1) != kModeDrawing) {
        return YKObjectLayer::MouseHold(point, buttons, tool);
    }
    Paint(point);
    return true;
}

bool YKPaintLayer::MouseMoved(YKPoint<double> point, uint32 buttons, int32 tool) {
    if (ObjectMode(-1) != kModeDrawing) {
        return YKObjectLayer::MouseMoved(point, buttons, tool);
    }
    Paint(point);
    return true;
}

bool YKPaintLayer::MouseUp(YKPoint<double> point, int32 tool) {
    if (ObjectMode(-1) != kModeDrawing) {
        return YKObjectLayer::MouseUp(point, tool);
    }
    Paint(point);
    SetObjectMode(kModeNotSelected, true);
    return true;
}

void YKPaintLayer::FillWithAttributes(YKMessage* message) const {
    if (message != nullptr) {
        YKMessage brush;
        mRenderer.Archive(&brush);
        message->AddMessage("_brush", &brush);
    }
}

void YKPaintLayer::ExtractAttributes(const YKMessage* message) {
    YKMessage brush;
    if (message != nullptr && message->FindMessage("_brush", &brush)) {
        mRenderer.Unarchive(&brush);
        Redraw();
    }
}
