#include <cmath>

#include "YKBitmapRoster.h"
#include "YKGradientBuffer.h"
#include "YKGradientContainer.h"
#include "YKSketcher.h"
#include "YKVectorEntity.h"
#include "yk_paint_setup_internal.h"

namespace yk_paint {

namespace {

using Point = YKPoint<double>;

uint8 AlphaByte(double alpha) {
    if (!(alpha > 0)) {
        return 0;
    }
    return alpha >= 255 ? 255 : static_cast<uint8>(alpha);
}

YKRect<int32> PixelFrame(const YKRect<double>& bounds) {
    return {static_cast<int32>(std::floor(bounds.left)), static_cast<int32>(std::floor(bounds.top)),
            static_cast<int32>(std::ceil(bounds.right)),
            static_cast<int32>(std::ceil(bounds.bottom))};
}

// Gradient S and E are fractions of the box, so a gradient follows its object when it is
// moved or resized, and turns with the global rotation.
std::unique_ptr<YKGradientBuffer> MakeGradient(const YKGradientContainer& container,
                                               const Placement& placement,
                                               const YKRect<int32>& frame) {
    auto buffer = std::make_unique<YKGradientBuffer>(frame, "tmp_gradient");
    buffer->CopyPaint(container);
    const YKRect<double>& box = placement.box;
    const auto place = [&](double fx, double fy) {
        return YKVectorEntity::rotatePt(
            {box.left + fx * (box.right - box.left), box.top + fy * (box.bottom - box.top)},
            placement.globalAngle, placement.globalCenter);
    };
    const Point s = place(container.GetSx(), container.GetSy());
    const Point e = place(container.GetEx(), container.GetEy());
    buffer->SetSxSy(s.x, s.y);
    buffer->SetExEy(e.x, e.y);
    buffer->SetShift({static_cast<double>(-frame.left), static_cast<double>(-frame.top)});
    return buffer;
}

}  // namespace

int32 Apply(YKSketcher* sketcher, const Side& side, bool stroke, const Placement& placement,
            std::unique_ptr<YKGradientBuffer>* gradientBuffer) {
    switch (side.flag) {
        case kColorFlagColor:
            if (stroke) {
                sketcher->SetStrokeColor(side.color);
            } else {
                sketcher->SetFillColor(side.color);
            }
            return 1;
        case kColorFlagPattern: {
            YKSharedBitmap* shared = YKBitmapRoster::Default().Bitmap(side.patternName.c_str());
            if (shared == nullptr) {
                return 0;
            }
            const double angle = side.patternLock ? placement.globalAngle : 0.0;
            const Point reference = side.patternLock ? placement.lockedReference : Point{0, 0};
            if (stroke) {
                sketcher->SetStrokePattern(shared->Pattern());
                sketcher->SetStrokePatternAlpha(AlphaByte(side.patternAlpha));
                sketcher->SetStrokePatternRotation(placement.globalCenter, angle);
                sketcher->SetStrokePatternRefPoint(reference);
            } else {
                sketcher->SetFillPattern(shared->Pattern());
                sketcher->SetFillPatternAlpha(AlphaByte(side.patternAlpha));
                sketcher->SetFillPatternRotation(placement.globalCenter, angle);
                sketcher->SetFillPatternRefPoint(reference);
            }
            return 2;
        }
        case kColorFlagGradient: {
            const YKRect<int32> frame = PixelFrame(placement.bounds);
            if (side.gradient == nullptr || !frame.IsValid()) {
                return 0;
            }
            *gradientBuffer = MakeGradient(*side.gradient, placement, frame);
            if (stroke) {
                sketcher->SetStrokeGradient(gradientBuffer->get());
            } else {
                sketcher->SetFillGradient(gradientBuffer->get());
            }
            return 3;
        }
        default:
            return 0;
    }
}

bool UnlockedPattern(int16 flag, const std::string& name, bool lock) {
    return flag == kColorFlagPattern && !lock &&
           YKBitmapRoster::Default().Bitmap(name.c_str()) != nullptr;
}

bool HoldPattern(const std::string& name, const YKMessage* buffer) {
    // A use is taken even when the roster already has the pattern (another document, or the
    // object this one was copied from): the pattern must outlive whichever of them goes first.
    YKBitmapRoster& roster = YKBitmapRoster::Default();
    return roster.Retain(name.c_str()) ||
           (buffer != nullptr && roster.AddBitmap(*buffer, name.c_str()) != nullptr);
}

}  // namespace yk_paint
