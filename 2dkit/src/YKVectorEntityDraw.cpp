// The paint set-up every kind runs before handing its outline to the sketcher.

#include <cmath>

#include "YKBitmapRoster.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKGradientBuffer.h"
#include "YKGradientContainer.h"
#include "YKSketcher.h"
#include "YKVectorEntity.h"

namespace {

// The paint of one side (stroke or fill) as the sketcher takes it.
struct SidePaint {
    int16 flag;
    yk_color color;
    const std::string& patternName;
    double patternAlpha;
    bool patternLock;
    const YKGradientContainer* gradient;
};

uint8 AlphaByte(double alpha) {
    if (!(alpha > 0)) {
        return 0;
    }
    return alpha >= 255 ? 255 : static_cast<uint8>(alpha);
}

}  // namespace

void YKVectorEntity::drawIn(YKSketcher* sketcher, bool antialias) {
    (void)antialias;
    sketcher->SetDisplay(mDisplay);
}

YKVectorEntity::PointList YKVectorEntity::rotatedPoints() const {
    PointList points;
    points.reserve(mPoints.size());
    for (const Point& p : mPoints) {
        points.push_back(rotated(p));
    }
    return points;
}

void YKVectorEntity::setupPaint(YKSketcher* sketcher, PaintBuffers* buffers) const {
    // A locked pattern turns with the object about the centre of its box.
    Point lockedReference{(mBox.left + mBox.right) / 2, (mBox.top + mBox.bottom) / 2};
    if (mSegments.size() == 1) {
        const Point a = mPoints[mSegments[0].begin];
        const Point b = mPoints[mSegments[0].end];
        lockedReference = {(a.x + b.x) / 2, (a.y + b.y) / 2};
    }
    YKRect<double> bounds;
    getBounds(&bounds);
    const YKRect<int32> frame{
        static_cast<int32>(std::floor(bounds.left)), static_cast<int32>(std::floor(bounds.top)),
        static_cast<int32>(std::ceil(bounds.right)), static_cast<int32>(std::ceil(bounds.bottom))};

    // Gradient S and E are fractions of the box, so a gradient follows its object when it is
    // moved or resized, and turns with the global rotation.
    const auto makeGradient = [&](const YKGradientContainer& container) {
        auto buffer = std::make_unique<YKGradientBuffer>(frame, "tmp_gradient");
        buffer->CopyPaint(container);
        const auto place = [&](double fx, double fy) {
            return rotated({mBox.left + fx * (mBox.right - mBox.left),
                            mBox.top + fy * (mBox.bottom - mBox.top)});
        };
        const Point s = place(container.GetSx(), container.GetSy());
        const Point e = place(container.GetEx(), container.GetEy());
        buffer->SetSxSy(s.x, s.y);
        buffer->SetExEy(e.x, e.y);
        buffer->SetShift({static_cast<double>(-frame.left), static_cast<double>(-frame.top)});
        return buffer;
    };

    const auto style = [&](const SidePaint& side, bool stroke) -> int32 {
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
                const double angle = side.patternLock ? mGlobalAngle : 0.0;
                const Point reference = side.patternLock ? lockedReference : Point{0, 0};
                if (stroke) {
                    sketcher->SetStrokePattern(shared->Pattern());
                    sketcher->SetStrokePatternAlpha(AlphaByte(side.patternAlpha));
                    sketcher->SetStrokePatternRotation(mGlobalCenter, angle);
                    sketcher->SetStrokePatternRefPoint(reference);
                } else {
                    sketcher->SetFillPattern(shared->Pattern());
                    sketcher->SetFillPatternAlpha(AlphaByte(side.patternAlpha));
                    sketcher->SetFillPatternRotation(mGlobalCenter, angle);
                    sketcher->SetFillPatternRefPoint(reference);
                }
                return 2;
            }
            case kColorFlagGradient:
                if (side.gradient == nullptr || !frame.IsValid()) {
                    return 0;
                }
                if (stroke) {
                    buffers->stroke = makeGradient(*side.gradient);
                    sketcher->SetStrokeGradient(buffers->stroke.get());
                } else {
                    buffers->fill = makeGradient(*side.gradient);
                    sketcher->SetFillGradient(buffers->fill.get());
                }
                return 3;
            default:
                return 0;
        }
    };

    int32 strokeStyle = 0;
    if (mStroke != nullptr) {
        const SidePaint stroke{
            mStroke->colorFlag,
            mStroke->color != nullptr ? mStroke->color->Value() : yk_color{0, 0, 0, 255},
            mStroke->patternName,
            mStroke->patternAlpha != nullptr ? mStroke->patternAlpha->Value() : 0.0,
            mStroke->patternLock,
            mStroke->gradient.get()};
        strokeStyle = style(stroke, true);
    }
    sketcher->SetStrokeStyle(strokeStyle);
    const SidePaint fill{mFillColorFlag,
                         mFillColor != nullptr ? mFillColor->Value() : yk_color{255, 255, 255, 255},
                         mFillPatternName,
                         mFillPatternAlpha != nullptr ? mFillPatternAlpha->Value() : 0.0,
                         mFillPatternLock,
                         mFillGradient.get()};
    sketcher->SetFillStyle(style(fill, false));
    sketcher->SetStrokeDash(mStroke != nullptr ? mStroke->dash.get() : nullptr);
    sketcher->SetWidth(CurrentStrokeWidth());
    sketcher->SetAntgMode(1);
}

bool YKVectorEntity::patternLock() const {
    const auto unlocked = [](int16 flag, const std::string& name, bool lock) {
        return flag == kColorFlagPattern && !lock &&
               YKBitmapRoster::Default().Bitmap(name.c_str()) != nullptr;
    };
    if (mStroke != nullptr &&
        unlocked(mStroke->colorFlag, mStroke->patternName, mStroke->patternLock)) {
        return false;
    }
    return !unlocked(mFillColorFlag, mFillPatternName, mFillPatternLock);
}
