#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "YKBitmapLayer.h"
#include "YKSelectionMask_internal.h"

// The crop of a bitmap layer's images to a selection over the canvas.

namespace {

// A mask read over a canvas area, sampled where the layer shows the centre of an image pixel.
class ShownMask {
public:
    ShownMask(YKBitmap* selection, YKRect<int32> area, YKRect<int32> target, double rotation,
              YKPoint<double> pivot)
        : mAlphas(yk_selection::Alphas(selection, area)),
          mArea(area),
          mTarget(target),
          mPivot(pivot),
          // The rendering turns the scaled image by the negated angle.
          mCos(std::cos(-rotation)),
          mSin(std::sin(-rotation)) {}

    bool IsEmpty() const { return mAlphas.empty(); }

    // The mask's alpha over pixel (i, j) of an image of width x height.
    uint32 At(int32 i, int32 j, int32 width, int32 height) const {
        const double x = mTarget.left + (i + 0.5) * (mTarget.right - mTarget.left + 1) / width;
        const double y = mTarget.top + (j + 0.5) * (mTarget.bottom - mTarget.top + 1) / height;
        const double dx = x - mPivot.x;
        const double dy = y - mPivot.y;
        const YKPoint<int32> shown{
            static_cast<int32>(std::floor(mPivot.x + dx * mCos - dy * mSin)),
            static_cast<int32>(std::floor(mPivot.y + dx * mSin + dy * mCos))};
        if (!mArea.Contains(shown)) {
            return 0;
        }
        const auto columns = static_cast<size_t>(mArea.right - mArea.left + 1);
        return mAlphas[static_cast<size_t>(shown.y - mArea.top) * columns +
                       static_cast<size_t>(shown.x - mArea.left)];
    }

private:
    std::vector<uint8> mAlphas;
    YKRect<int32> mArea;
    YKRect<int32> mTarget;
    YKPoint<double> mPivot;
    double mCos;
    double mSin;
};

uint32* Row(const YKRaster& raster, int32 j) {
    return reinterpret_cast<uint32*>(raster.Bits() + static_cast<size_t>(j) * raster.BytesPerRow());
}

// The part of an image a crop keeps, as fractions of its width and height.
struct Kept {
    double left = 1;
    double top = 1;
    double right = 0;
    double bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Those fractions as the image's pixel columns or rows, at least one.
    static std::pair<int32, int32> Span(double from, double to, int32 size) {
        constexpr double kSlack = 1e-9;
        const int32 first =
            std::clamp(static_cast<int32>(std::floor(from * size + kSlack)), 0, size - 1);
        const int32 last =
            std::clamp(static_cast<int32>(std::ceil(to * size - kSlack)) - 1, first, size - 1);
        return {first, last};
    }
};

// `image` with every alpha multiplied by the mask's; widens `kept` by the pixels left showing.
std::unique_ptr<YKRaster> Masked(const YKRaster& image, const ShownMask& mask, Kept* kept,
                                 bool* changed) {
    auto result = std::make_unique<YKRaster>(image.Frame());
    if (result->Bits() == nullptr) {
        return nullptr;
    }
    const int32 width = image.Width();
    const int32 height = image.Height();
    int32 left = width, top = height, right = -1, bottom = -1;
    for (int32 j = 0; j < height; ++j) {
        const uint32* in = Row(image, j);
        uint32* out = Row(*result, j);
        for (int32 i = 0; i < width; ++i) {
            const uint32 alpha = in[i] >> 24;
            const uint32 remaining = (alpha * mask.At(i, j, width, height) + 127) / 255;
            *changed = *changed || remaining != alpha;
            out[i] = (in[i] & 0x00FFFFFFu) | (remaining << 24);
            if (remaining != 0) {
                left = std::min(left, i);
                right = std::max(right, i);
                top = std::min(top, j);
                bottom = std::max(bottom, j);
            }
        }
    }
    if (right >= 0) {
        kept->left = std::min(kept->left, double(left) / width);
        kept->right = std::max(kept->right, double(right + 1) / width);
        kept->top = std::min(kept->top, double(top) / height);
        kept->bottom = std::max(kept->bottom, double(bottom + 1) / height);
    }
    return result;
}

// The columns and rows of `image` that `kept` covers.
YKRect<int32> KeptPixels(const YKRaster& image, const Kept& kept) {
    const auto [left, right] = Kept::Span(kept.left, kept.right, image.Width());
    const auto [top, bottom] = Kept::Span(kept.top, kept.bottom, image.Height());
    return {left, top, right, bottom};
}

std::unique_ptr<YKRaster> CutOut(const YKRaster& image, YKRect<int32> pixels) {
    const YKRect<int32> frame = image.Frame();
    auto result = std::make_unique<YKRaster>(
        YKRect<int32>{frame.left + pixels.left, frame.top + pixels.top, frame.left + pixels.right,
                      frame.top + pixels.bottom});
    if (result->Bits() == nullptr) {
        return nullptr;
    }
    for (int32 j = pixels.top; j <= pixels.bottom; ++j) {
        std::memcpy(Row(*result, j - pixels.top), Row(image, j) + pixels.left,
                    static_cast<size_t>(result->Width()) * sizeof(uint32));
    }
    return result;
}

}  // namespace

std::unique_ptr<YKBitmapLayer::CropState> YKBitmapLayer::CropToSelection(YKBitmap* selection) {
    // Only a rendered layer says where its pixels show; a locked one is not edited.
    if (selection == nullptr || IsLocked() || mImage == nullptr || !mRendered.has_value() ||
        !mRendered->target.IsValid()) {
        return nullptr;
    }
    std::vector<const YKRaster*> images;
    for (int32 i = 0; i < CountImages(); ++i) {
        const YKRaster* image = mImages != nullptr ? mImages->ItemAt(i) : mStill.get();
        if (image == nullptr || image->Bits() == nullptr) {
            return nullptr;
        }
        images.push_back(image);
    }
    const Placement placement = CurrentPlacement();
    const ShownMask mask(selection, selection->Frame() & Frame(), mRendered->target,
                         mRendered->rotation, placement.position + mRendered->rotationVector);
    if (mask.IsEmpty()) {
        return nullptr;
    }
    Kept kept;
    bool changed = false;
    std::vector<std::unique_ptr<YKRaster>> masked;
    for (const YKRaster* image : images) {
        masked.push_back(Masked(*image, mask, &kept, &changed));
        if (masked.back() == nullptr) {
            return nullptr;
        }
    }
    if (kept.IsEmpty()) {
        return nullptr;
    }
    std::vector<std::unique_ptr<YKRaster>> cut;
    for (const std::unique_ptr<YKRaster>& image : masked) {
        const YKRect<int32> pixels = KeptPixels(*image, kept);
        changed = changed || pixels != image->Bounds();
        cut.push_back(CutOut(*image, pixels));
        if (cut.back() == nullptr) {
            return nullptr;
        }
    }
    if (!changed) {
        return nullptr;
    }
    // The corners move to the part of the shown image that stays, measured on the image shown
    // now, so that its pixels do not move.
    const YKRect<int32> shown =
        KeptPixels(*masked[static_cast<size_t>(mImages != nullptr ? mCurrentIndex : 0)], kept);
    const double width = mImage->Width();
    const double height = mImage->Height();
    const YKPoint<double> span = placement.rightBottom - placement.leftTop + YKPoint<double>{1, 1};
    auto state = std::make_unique<CropState>();
    state->leftTop = {placement.leftTop.x + shown.left / width * span.x,
                      placement.leftTop.y + shown.top / height * span.y};
    state->rightBottom = {placement.leftTop.x + (shown.right + 1) / width * span.x - 1,
                          placement.leftTop.y + (shown.bottom + 1) / height * span.y - 1};
    if (mImages != nullptr) {
        state->images = std::make_unique<YKRasterList>();
        for (std::unique_ptr<YKRaster>& image : cut) {
            state->images->AddItem(image.release());
        }
    } else {
        state->still = std::move(cut.front());
    }
    ExchangeCropState(state.get());
    return state;
}

void YKBitmapLayer::ExchangeCropState(CropState* state) {
    if (state == nullptr || IsLocked()) {
        return;
    }
    std::swap(mStill, state->still);
    std::swap(mImages, state->images);
    mImage = mImages != nullptr ? mImages->ItemAt(mCurrentIndex) : mStill.get();
    const Placement placement = CurrentPlacement();
    const YKPoint<double> leftTop = std::exchange(state->leftTop, placement.leftTop);
    const YKPoint<double> rightBottom = std::exchange(state->rightBottom, placement.rightBottom);
    // The image is new even where its size is not: no reuse of the last rendering.
    mRendered.reset();
    ModifyBoundingBox(leftTop, {rightBottom.x, leftTop.y}, rightBottom, {leftTop.x, rightBottom.y});
}
