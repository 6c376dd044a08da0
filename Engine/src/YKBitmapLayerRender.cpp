#include <cmath>
#include <numbers>

#include "YKBitmapLayer.h"
#include "yk_image_limits.h"

// Placement and rendering of the bitmap layer: the image is scaled into the object's rectangle
// and turned about its pivot; a move that keeps size and angle only shifts the rendering.

namespace {

// Placements beyond this are refused before they become integers; shifts between two accepted
// rectangles then always fit in an int32.
constexpr double kMaxCoordinate = 1 << 29;

bool InRange(double value) {
    return std::isfinite(value) && std::fabs(value) <= kMaxCoordinate;
}

// The pixels the unturned image covers: from the floor of the left-top corner to the floor of
// the right-bottom one. None for a placement out of range.
YKRect<int32> TargetRect(const YKObjectLayer::Placement& placement) {
    const YKPoint<double> leftTop = placement.position + placement.leftTop;
    const YKPoint<double> rightBottom = placement.position + placement.rightBottom;
    if (!InRange(leftTop.x) || !InRange(leftTop.y) || !InRange(rightBottom.x) ||
        !InRange(rightBottom.y)) {
        return YKRect<int32>::None();
    }
    return {static_cast<int32>(std::floor(leftTop.x)), static_cast<int32>(std::floor(leftTop.y)),
            static_cast<int32>(std::floor(rightBottom.x)),
            static_cast<int32>(std::floor(rightBottom.y))};
}

bool SameSize(YKRect<int32> a, YKRect<int32> b) {
    return a.Width() == b.Width() && a.Height() == b.Height();
}

}  // namespace

double YKBitmapLayer::RoundToDegree(double radians) {
    constexpr double kDegree = 2 * std::numbers::pi / 360;
    return std::floor(radians / kDegree + 0.5) * kDegree;
}

YKObjectLayer::Placement YKBitmapLayer::NaturalPlacement(const YKRaster& image,
                                                         YKPoint<double> leftTop) {
    const double halfWidth = image.Width() / 2.0;
    const double halfHeight = image.Height() / 2.0;
    Placement placement;
    placement.position = {leftTop.x + halfWidth, leftTop.y + halfHeight};
    // The right-bottom corner names the last pixel, so the target is exactly the image's size.
    placement.leftTop = {-halfWidth, -halfHeight};
    placement.rightBottom = {halfWidth - 1, halfHeight - 1};
    placement.rightTop = {placement.rightBottom.x, placement.leftTop.y};
    placement.leftBottom = {placement.leftTop.x, placement.rightBottom.y};
    return placement;
}

void YKBitmapLayer::AskBoundingBox(Placement* placement) {
    if (placement != nullptr && mPendingPlacement.has_value()) {
        *placement = *mPendingPlacement;
    }
}

void YKBitmapLayer::SuggestBoundingBox(const Placement& placement, bool force, bool switching) {
    const YKRect<int32> before = Frame();
    Placement turned = placement;
    turned.rotation = RoundToDegree(placement.rotation);
    const YKRect<int32> target = TargetRect(turned);
    if (switching && ShowImageOfFrame()) {
        force = true;
    }
    const bool reusable = !force && mRendered.has_value() && target.IsValid() &&
                          mRendered->target.IsValid() && SameSize(target, mRendered->target) &&
                          turned.rotation == mRendered->rotation &&
                          turned.rotationVector == mRendered->rotationVector;
    if (reusable) {
        ShiftRendering(&mBitmap, target.LeftTop() - mRendered->target.LeftTop());
    } else {
        Render(target, turned);
    }
    mRendered = Rendered{target, turned.rotation, turned.rotationVector};
    InvalidateLayer(before | Frame(), true, nullptr);
}

void YKBitmapLayer::Render(YKRect<int32> target, const Placement& placement) {
    mBitmap.MakeEmpty();
    const int64 width = int64{target.right} - target.left + 1;
    const int64 height = int64{target.bottom} - target.top + 1;
    if (mImage != nullptr && mImage->Bits() != nullptr && target.IsValid() &&
        yk_image_size_ok(width, height, 4)) {
        if (placement.rotation == 0.0 && width == mImage->Width() && height == mImage->Height()) {
            mBitmap.SetRaster(mImage, mImage->Frame());
            mBitmap.MoveTo(target.LeftTop());
        } else {
            // The object turns its corners the other way round from the raster's rotation;
            // the negated angle keeps the image inside the knobs.
            const std::unique_ptr<YKRaster> scaled =
                mImage->CreateScaled(target, mInterpolation, -placement.rotation,
                                     placement.position + placement.rotationVector);
            if (scaled != nullptr) {
                mBitmap.SetRaster(scaled.get(), scaled->Frame());
            }
        }
    }
    ProcessEffect();
}

// --- Composition ---

void YKBitmapLayer::ComposeLayer(YKBitmap* destination, YKRect<int32> rect) {
    ComposeRendering(destination, rect, &mBitmap);
}

YKRect<int32> YKBitmapLayer::Frame() const {
    return YKEffectLayer::Frame() | mBitmap.Frame();
}
