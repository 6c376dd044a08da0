#pragma once

// YK3DLayer: an object that shows a polygon model turned about three axes, the angles being
// envelopes of their own ("Rotation 3D: X", "Y", "Z"). The model is drawn off screen through
// OSMesa into the rectangle between the object's left-top and right-bottom corners, then kept
// in the layer's bitmap and composed like any object's rendering. It is drawn again only when
// an angle, the drawing quality or the rectangle's size changed since the last drawing; a pure
// move shifts the rendering. Without OSMesa the layer shows nothing.

#include <memory>
#include <optional>
#include <string>

#include "YK3DObject.h"
#include "YKBitmap.h"
#include "YKEnvelopKinds.h"
#include "YKObjectLayer.h"

class YK3DLayer : public YKObjectLayer {
public:
    // Fast preview draws large models flat (above this many faces) or as outlines.
    static constexpr int32 kFlatAbove = 999;
    static constexpr int32 kOutlinesAbove = 49999;

    // A new layer without a model; each angle is 0 at frame 1.
    YK3DLayer(int32 id, const char* name);
    // A new layer showing `model` (owned from now on), first placed as a 256-pixel square
    // around `position`.
    YK3DLayer(int32 id, const char* name, std::unique_ptr<YK3DObject> model,
              YKPoint<double> position);
    // A loaded layer; a missing angle envelope is 0 at frame 1.
    explicit YK3DLayer(const YKMessage* archive);
    ~YK3DLayer() override;

    void Archive(YKMessage* message, bool deep) const override;
    bool InheritsFrom(const char* className) const override;
    void ComposeLayer(YKBitmap* destination, YKRect<int32> rect) override;
    YKRect<int32> Frame() const override;
    YKRect<int32> RealFrame() const override { return Frame(); }
    YKLayer* Replicate() const override;
    // Registers the angle envelopes with the document's manager, then renders.
    void SelfAdded() override;
    void SelfRemoved() override;

    bool IsValid() const override { return mModel != nullptr && mModel->CountFaces() > 0; }
    const char* Type() const override { return "3D object"; }
    bool SupportsResize() const override { return true; }
    YKBitmap* Bitmap() override { return &mBitmap; }
    // The placement given with the model, until the first rendering in a document.
    void AskBoundingBox(Placement* placement) override;
    void SuggestBoundingBox(const Placement& placement, bool force, bool switching) override;
    // Fast preview follows the object's preview mode.
    void NotifyPreviewModification() override;

    // --- Attributes: "_x_env", "_y_env", "_z_env" (float, the angles at the current frame;
    // setting one keys its envelope and renders) and "_count_faces" (int32, filled only).
    void FillWithAttributes(YKMessage* message) const override;
    void ExtractAttributes(const YKMessage* message) override;

    // --- Model
    // Replaces the model by the one in the file at `path`, placed around `position`. False with
    // `error` set when the file holds no model this system reads; the layer is then unchanged.
    bool Load(const char* path, YKPoint<double> position, std::string* error);
    const YK3DObject* Model() const { return mModel.get(); }

    // --- Drawing
    // Draws the model turned by the three rotation values into `rect`, which becomes the
    // bitmap's content (transparent where the model is not).
    void Render(YKRect<int32> rect, double rx, double ry, double rz);
    // 0 lit and smooth; with fast preview, 1 flat for large models and 2 outlines for very
    // large ones.
    int32 Quality() const;
    bool FastPreview() const { return mFastPreview; }
    void SetFastPreview(bool fast);
    // Drawings made so far (a pure move or an unchanged frame makes none).
    int32 RenderCount() const { return mRenderCount; }
    // glRotatef's angle, in degrees, for rotation value `r`.
    static double AngleOf(double r);

    YKEnvelopDouble* RotationXEnvelop() { return &mRotX; }
    YKEnvelopDouble* RotationYEnvelop() { return &mRotY; }
    YKEnvelopDouble* RotationZEnvelop() { return &mRotZ; }

private:
    // What the last drawing was made for: a drawing differing only in its left-top is a move.
    struct Drawn {
        YKRect<int32> target;
        double rx = 0, ry = 0, rz = 0;
        int32 quality = 0;
    };

    void InitEnvelops();
    void ReadEnvelop(const YKMessage* archive, const char* key, YKEnvelopDouble* envelope);
    // Takes the angles at the current frame into the values in use.
    void TakeAngles();
    // Renders again after a change that does not move the object.
    void Refresh();
    static Placement SquareAround(YKPoint<double> position);

    bool mFastPreview = false;
    std::unique_ptr<YK3DObject> mModel;
    double mRx = 0, mRy = 0, mRz = 0;
    YKEnvelopDouble mRotX;
    YKEnvelopDouble mRotY;
    YKEnvelopDouble mRotZ;
    YKBitmap mBitmap;
    std::optional<Drawn> mDrawn;
    std::optional<Placement> mPendingPlacement;
    int32 mRenderCount = 0;
};
