// The object layer's own editing with the mouse and the keyboard: dragging a selected object
// by its body, its knobs and its rotation knobs, and nudging it with keys.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>

#include "YKObjectLayer.h"

namespace {

// Events beyond this reach no document; clamping keeps a stray pointer from flooding the
// placement with unusable values.
constexpr double kCoordinateLimit = 1e7;
// The smallest grab reach, for views that report no knob size.
constexpr double kMinimumGrab = 3.0;
// A resized side keeps at least this much from the one it is resized against.
constexpr double kMinimumSide = 1.0;
constexpr char kLeftArrow = 28;
constexpr char kRightArrow = 29;
constexpr char kUpArrow = 30;
constexpr char kDownArrow = 31;
constexpr double kLargeStep = 8.0;
// Shift turns by whole steps of 15 degrees.
constexpr double kSnapAngle = std::numbers::pi / 12;

std::atomic<uint32> gEventModifiers{0};

bool IsSelectedMode(int32 mode) {
    return (mode & (YKObjectLayer::kModeSelected | YKObjectLayer::kModePickable)) != 0;
}

// The angle of `p` seen from `c`, with y pointing up as Turn counts it.
double AngleFrom(YKPoint<double> c, YKPoint<double> p) {
    return std::atan2(c.y - p.y, p.x - c.x);
}

// The new side and the factor along one axis: `low` and `high` are the box's sides, `moveLow`
// and `moveHigh` tell which one follows the pointer at `to`.
struct AxisScale {
    double anchor;
    double factor;
};
AxisScale ScaleAxis(double low, double high, bool moveLow, bool moveHigh, double to) {
    const double size = high - low;
    if (size <= 0 || (!moveLow && !moveHigh)) {
        return {(low + high) / 2, 1.0};
    }
    if (moveLow) {
        return {high, std::max(high - to, kMinimumSide) / size};
    }
    return {low, std::max(to - low, kMinimumSide) / size};
}

}  // namespace

void YKObjectLayer::SetEventModifiers(uint32 modifiers) {
    gEventModifiers.store(modifiers, std::memory_order_relaxed);
}

uint32 YKObjectLayer::EventModifiers() {
    return gEventModifiers.load(std::memory_order_relaxed);
}

bool YKObjectLayer::UsablePoint(YKPoint<double> point, YKPoint<double>* usable) {
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
        return false;
    }
    *usable = {std::clamp(point.x, -kCoordinateLimit, kCoordinateLimit),
               std::clamp(point.y, -kCoordinateLimit, kCoordinateLimit)};
    return true;
}

double YKObjectLayer::GrabTolerance() const {
    return std::max(KnobSize(), kMinimumGrab);
}

YKPoint<double> YKObjectLayer::Unturn(const Placement& placement, YKPoint<double> p) {
    const YKPoint<double> pivot = placement.position + placement.rotationVector;
    const double c = std::cos(placement.rotation);
    const double s = std::sin(placement.rotation);
    const double dx = p.x - pivot.x;
    const double dy = p.y - pivot.y;
    return {dx * c - dy * s + pivot.x, dy * c + dx * s + pivot.y};
}

bool YKObjectLayer::RotationKnobs(YKPoint<double> (&knobs)[4]) {
    YKList<YKPoint<double>> tab;
    GetKnobTab(&tab);
    if (tab.CountItems() < 4 || !SupportsRotation()) {
        return false;
    }
    YKPoint<double> mean{0, 0};
    for (int32 i = 0; i < 4; ++i) {
        mean += tab.ItemAt(i);
    }
    mean = {mean.x / 4, mean.y / 4};
    const double reach = 2 * GrabTolerance();
    for (int32 i = 0; i < 4; ++i) {
        const YKPoint<double> corner = tab.ItemAt(i);
        const YKPoint<double> out = corner - mean;
        const double length = std::hypot(out.x, out.y);
        knobs[i] = length > 0
                       ? corner + YKPoint<double>{out.x / length * reach, out.y / length * reach}
                       : corner;
    }
    return true;
}

bool YKObjectLayer::MouseDown(YKPoint<double> point, uint32 buttons, uint32 clicks, int32 tool) {
    YKPoint<double> at;
    if (!IsSelectedMode(ObjectMode(-1)) || IsLocked() || !UsablePoint(point, &at)) {
        return YKEffectLayer::MouseDown(point, buttons, clicks, tool);
    }
    mDrag = {DragKind::kMove, 0, at, mCurrent};
    const double tolerance = GrabTolerance();
    YKList<YKPoint<double>> knobs;
    GetKnobTab(&knobs);
    for (int32 i = 0; i < knobs.CountItems() && SupportsResize(); ++i) {
        if (IsAround(at, knobs.ItemAt(i), tolerance)) {
            mDrag.kind = DragKind::kResize;
            mDrag.knob = i;
            return true;
        }
    }
    YKPoint<double> turning[4];
    if (RotationKnobs(turning)) {
        for (const YKPoint<double>& knob : turning) {
            if (IsAround(at, knob, tolerance)) {
                mDrag.kind = DragKind::kRotate;
                break;
            }
        }
    }
    return true;
}

bool YKObjectLayer::MouseMoved(YKPoint<double> point, uint32 buttons, int32 tool) {
    YKPoint<double> at;
    if (!IsDragging()) {
        return YKEffectLayer::MouseMoved(point, buttons, tool);
    }
    if (UsablePoint(point, &at)) {
        DragTo(at);
    }
    return true;
}

bool YKObjectLayer::MouseHold(YKPoint<double> point, uint32 buttons, int32 tool) {
    return IsDragging() ? MouseMoved(point, buttons, tool)
                        : YKEffectLayer::MouseHold(point, buttons, tool);
}

bool YKObjectLayer::MouseUp(YKPoint<double> point, int32 tool) {
    if (!IsDragging()) {
        return YKEffectLayer::MouseUp(point, tool);
    }
    YKPoint<double> at;
    if (UsablePoint(point, &at)) {
        DragTo(at);
    }
    mDrag.kind = DragKind::kNone;
    return true;
}

void YKObjectLayer::DragTo(YKPoint<double> point) {
    if (IsLocked()) {
        return;
    }
    switch (mDrag.kind) {
        case DragKind::kMove:
            MoveBoundingBoxBy(mDrag.from.position + (point - mDrag.start) - mCurrent.position,
                              false);
            break;
        case DragKind::kResize:
            ResizeTo(point);
            break;
        case DragKind::kRotate: {
            const YKPoint<double> pivot = mDrag.from.position + mDrag.from.rotationVector;
            double turn = AngleFrom(pivot, point) - AngleFrom(pivot, mDrag.start);
            if ((EventModifiers() & kShiftKey) != 0) {
                turn = std::round(turn / kSnapAngle) * kSnapAngle;
            }
            ModifyRotation(mDrag.from.rotation + turn);
            break;
        }
        case DragKind::kNone:
            break;
    }
}

void YKObjectLayer::ResizeTo(YKPoint<double> point) {
    const Placement& from = mDrag.from;
    // Worked out on the unturned corners, relative to the position: the pivot and the position
    // stay, so the knob opposite the pressed one stays where it is seen.
    const YKPoint<double> to = Unturn(from, point) - from.position;
    const YKPoint<double> corners[4] = {from.leftTop, from.rightTop, from.rightBottom,
                                        from.leftBottom};
    double left = corners[0].x;
    double right = corners[0].x;
    double top = corners[0].y;
    double bottom = corners[0].y;
    for (const YKPoint<double>& c : corners) {
        left = std::min(left, c.x);
        right = std::max(right, c.x);
        top = std::min(top, c.y);
        bottom = std::max(bottom, c.y);
    }
    // Knobs 0-3 are the corners left top, right top, right bottom, left bottom; 4-7 the edges
    // top, right, bottom, left.
    static constexpr bool kMovesLeft[8] = {true, false, false, true, false, false, false, true};
    static constexpr bool kMovesRight[8] = {false, true, true, false, false, true, false, false};
    static constexpr bool kMovesTop[8] = {true, true, false, false, true, false, false, false};
    static constexpr bool kMovesBottom[8] = {false, false, true, true, false, false, true, false};
    const int32 k = std::clamp(mDrag.knob, 0, 7);
    AxisScale x = ScaleAxis(left, right, kMovesLeft[k], kMovesRight[k], to.x);
    AxisScale y = ScaleAxis(top, bottom, kMovesTop[k], kMovesBottom[k], to.y);
    if ((EventModifiers() & kShiftKey) != 0) {
        // Proportions kept: the axis the pointer stretches most leads (an edge knob leads its
        // own axis).
        const bool byX = k >= 4 ? (k == 5 || k == 7) : x.factor > y.factor;
        const double factor = byX ? x.factor : y.factor;
        x.factor = factor;
        y.factor = factor;
    }
    YKPoint<double> scaled[4];
    for (int32 i = 0; i < 4; ++i) {
        scaled[i] = {x.anchor + (corners[i].x - x.anchor) * x.factor,
                     y.anchor + (corners[i].y - y.anchor) * y.factor};
    }
    ModifyBoundingBox(scaled[0], scaled[1], scaled[2], scaled[3]);
}

bool YKObjectLayer::IsPlacementKey(char key) {
    switch (key) {
        case kLeftArrow:
        case kRightArrow:
        case kUpArrow:
        case kDownArrow:
        case 'z':
        case 'Z':
        case 'x':
        case 'X':
            return true;
        default:
            return false;
    }
}

bool YKObjectLayer::KeyDown(const char* bytes, uint32 count, uint32 modifiers, int32 tool) {
    if (bytes == nullptr || count == 0 || IsDragging() || IsLocked() ||
        (ObjectMode(-1) & kModeSelected) == 0) {
        return YKEffectLayer::KeyDown(bytes, count, modifiers, tool);
    }
    const double step = (modifiers & kShiftKey) != 0 ? kLargeStep : 1.0;
    YKPoint<double> delta{0, 0};
    switch (bytes[0]) {
        case kLeftArrow:
            delta = {-step, 0};
            break;
        case kRightArrow:
            delta = {step, 0};
            break;
        case kUpArrow:
            delta = {0, -step};
            break;
        case kDownArrow:
            delta = {0, step};
            break;
        case 'z':
        case 'Z':
        case 'x':
        case 'X':
            if (SupportsRotation()) {
                const double sign = bytes[0] == 'z' || bytes[0] == 'Z' ? 1 : -1;
                ModifyRotation(mCurrent.rotation + sign * step * std::numbers::pi / 180);
            }
            return true;
        default:
            return YKEffectLayer::KeyDown(bytes, count, modifiers, tool);
    }
    if ((modifiers & kControlKey) != 0) {
        if (SupportsResize()) {
            ResizeBoundingBoxBy(delta);
        }
    } else {
        MoveBoundingBoxBy(delta, false);
    }
    return true;
}
