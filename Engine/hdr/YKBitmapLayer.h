#pragma once

// YKBitmapLayer: an object that shows an image, or a sequence of images one per frame, scaled
// and turned into the object's quadrilateral. The placement is read as a rectangle (left-top and
// right-bottom corners around the position) turned about the pivot by a whole number of degrees.
// A pure move of an unchanged rendering only shifts it; any other change renders the image again
// (unscaled when it fits the target exactly, else through YKRaster::CreateScaled).
//
// A sequence carries the "Animation" envelope: the index of the image to show at each frame.
// When the layer joins a document, an envelope without key frames is keyed so that the images
// follow one another from the current frame on.

#include <memory>
#include <optional>

#include "YKBitmap.h"
#include "YKEnvelopKinds.h"
#include "YKObjectLayer.h"
#include "YKRaster.h"
#include "YKRasterList.h"

class YKBitmapLayer : public YKObjectLayer {
public:
    // An empty layer: no image, nothing shown.
    YKBitmapLayer();
    // A still image, owned from now on, first shown unscaled with its left-top at `position`.
    YKBitmapLayer(int32 id, YKRaster* image, const char* name, YKPoint<double> position);
    // A sequence, owned from now on (its rasters as the list decides), placed like a still image
    // by its first image. An empty or null list gives a layer without image.
    YKBitmapLayer(int32 id, YKRasterList* images, const char* name, YKPoint<double> position);
    // A still image copied from the pixels of `bitmap`, shown where they are.
    YKBitmapLayer(int32 id, const YKBitmap* bitmap, const char* name);
    // A loaded layer. Images whose data does not hold their whole pixel store are left out.
    explicit YKBitmapLayer(const YKMessage* archive);
    ~YKBitmapLayer() override;

    void Archive(YKMessage* message, bool deep) const override;
    bool InheritsFrom(const char* className) const override;
    void ComposeLayer(YKBitmap* destination, YKRect<int32> rect) override;
    YKRect<int32> Frame() const override;
    YKRect<int32> RealFrame() const override { return Frame(); }
    // A detached copy rebuilt from this layer's archive.
    YKLayer* Replicate() const override;
    // Registers and keys the animation envelope of a sequence, then shows the image of the
    // current frame; a new object then leaves the drawing mode.
    void SelfAdded() override;
    void SelfRemoved() override;
    // 'gOPT' adds the attributes to the message itself; 'sOPT' applies them and broadcasts
    // 'lUTN'.

    bool IsValid() const override { return mImage != nullptr && mImage->Bits() != nullptr; }
    const char* Type() const override { return "Bitmap"; }
    bool SupportsRotation() const override { return true; }
    bool SupportsResize() const override { return true; }
    YKBitmap* Bitmap() override { return &mBitmap; }
    // A new image's natural placement (its own size, where it was given), until the first
    // rendering in a document.
    void AskBoundingBox(Placement* placement) override;
    void SuggestBoundingBox(const Placement& placement, bool force, bool switching) override;

    // --- Attributes: "_interpolation" (bool) and "_count_images" (int32, filled only).
    void FillWithAttributes(YKMessage* message) const override;
    void ExtractAttributes(const YKMessage* message) override;

    // --- Images
    // The sequence's images; null for a still image.
    YKRasterList* RasterList() const { return mImages.get(); }
    // Shows `images` (owned from now on) as a sequence in place of the layer's images.
    void SetRasterList(YKRasterList* images);
    // The image shown now; null when there is none.
    const YKRaster* Image() const { return mImage; }
    int32 CurrentIndex() const { return mCurrentIndex; }
    int32 CountImages() const;
    YKEnvelopInt32* AnimationEnvelop() const { return mAnimation.get(); }
    bool Interpolation() const { return mInterpolation; }
    void SetInterpolation(bool bilinear) { mInterpolation = bilinear; }

    // Angles are used in whole degrees: 0.3 degree shows the image straight.
    static double RoundToDegree(double radians);

    // --- Crop
    // What a crop changes, kept by its undo record: the images and the corners placing them.
    struct CropState {
        std::unique_ptr<YKRaster> still;
        std::unique_ptr<YKRasterList> images;
        YKPoint<double> leftTop;
        YKPoint<double> rightBottom;
    };
    // Keeps only the pixels of the images that `selection` (a mask over the canvas) selects
    // where the layer shows them now: alphas are multiplied by the mask's, and every image is
    // cut down to the part of its size where any image keeps a pixel. The corners follow, so
    // what remains stays in place. Returns what was there before; null when nothing changed,
    // and also when the selection misses the layer: an object is not cropped away to nothing.
    std::unique_ptr<CropState> CropToSelection(YKBitmap* selection);
    // Puts `state`'s images and corners in place of the layer's, which `state` then holds.
    void ExchangeCropState(CropState* state);

private:
    // What the last rendering was made for, to tell whether a move may reuse it.
    struct Rendered {
        YKRect<int32> target;
        double rotation = 0.0;
        YKPoint<double> rotationVector;
    };

    void ReadImages(const YKMessage* archive);
    void MakeAnimation();
    // Registers the animation envelope with the document's manager, keying it when new.
    void RegisterAnimation();
    // Keys a fresh animation envelope so the images follow one another from the current frame.
    void KeyAnimation();
    // Takes the image the animation envelope gives for the current frame; true when it changed.
    bool ShowImageOfFrame();
    void Render(YKRect<int32> target, const Placement& placement);
    // The placement that shows `image` unscaled with its left-top at `leftTop`.
    static Placement NaturalPlacement(const YKRaster& image, YKPoint<double> leftTop);

    bool mInterpolation = true;
    std::unique_ptr<YKRaster> mStill;
    std::unique_ptr<YKRasterList> mImages;
    YKRaster* mImage = nullptr;
    int32 mCurrentIndex = 0;
    std::unique_ptr<YKEnvelopInt32> mAnimation;
    YKBitmap mBitmap;
    std::optional<Rendered> mRendered;
    std::optional<Placement> mPendingPlacement;
};
