#pragma once

// YKPaintLayer: painted strokes. It keeps the points of its strokes, relative to the object's
// position, and the pencil brush they are stamped with; its rendering is the brush stamped at
// every point in order. While the object is being drawn (mode 2) the mouse paints into it; a
// program adds points with AddStrokePoint and shows them with Redraw. Strokes are neither
// scaled nor turned: the placement moves them, and its corners follow the strokes' extent.

#include <optional>

#include "YKBitmap.h"
#include "YKList.h"
#include "YKObjectLayer.h"
#include "YKPencilBrushRenderer.h"

class YKPaintLayer : public YKObjectLayer {
public:
    // A new layer without strokes, painting with the default brush. `kind` is the tool's kind.
    YKPaintLayer(int32 id, const char* name, int32 kind = 0);
    // A loaded layer: its brush and stroke points; points that are not finite or that would
    // spread the strokes beyond the largest image are left out.
    explicit YKPaintLayer(const YKMessage* archive);
    ~YKPaintLayer() override;

    void Archive(YKMessage* message, bool deep) const override;
    bool InheritsFrom(const char* className) const override;
    void ComposeLayer(YKBitmap* destination, YKRect<int32> rect) override;
    YKRect<int32> Frame() const override;
    YKRect<int32> RealFrame() const override { return Frame(); }
    // A detached copy rebuilt from this layer's archive.
    YKLayer* Replicate() const override;
    // Renders the strokes a loaded or prepared layer already holds.
    void SelfAdded() override;
    // In mode 2 the press and every held position paint, and the release ends the painting;
    // otherwise as for any object. Points that are not finite paint nothing.
    bool MouseDown(YKPoint<double> point, uint32 buttons, uint32 clicks, int32 tool) override;
    bool MouseHold(YKPoint<double> point, uint32 buttons, int32 tool) override;
    // A move with the button down is a position reported while held: painting follows the
    // pointer, not only the hold timer.
    bool MouseMoved(YKPoint<double> point, uint32 buttons, int32 tool) override;
    bool MouseUp(YKPoint<double> point, int32 tool) override;
    // A painting without a stroke point is not kept.
    bool IsValid() const override { return mPoints.CountItems() > 0; }
    // 'gOPT' adds the attributes to the message itself; 'sOPT' applies them and broadcasts
    // 'lUTN'.

    const char* Type() const override { return "PaintBrush"; }
    YKBitmap* Bitmap() override { return &mBitmap; }
    // The corners become the strokes' extent, grown by half the brush.
    void AskBoundingBox(Placement* placement) override;
    // A move by whole units shifts the rendering; anything else stamps the strokes again.
    void SuggestBoundingBox(const Placement& placement, bool force, bool switching) override;

    // --- Strokes
    // Appends a point relative to the position, shown at the next Redraw(). False, and nothing
    // appended, for a point that is not finite or would spread the strokes beyond the largest
    // image.
    bool AddStrokePoint(YKPoint<double> point);
    // Stamps the brush at every point again, at the current position.
    void Redraw();
    const YKList<YKPoint<double>>& StrokePoints() const { return mPoints; }
    YKPencilBrushRenderer& Renderer() { return mRenderer; }

    // --- Attributes: "_brush" (message: the brush's archive).
    void FillWithAttributes(YKMessage* message) const override;
    // A new brush stamps the strokes again.
    void ExtractAttributes(const YKMessage* message) override;

private:
    // Paints at document point `point` unless it rounds to the last stroke point.
    void Paint(YKPoint<double> point);
    // Empties the rendering and stamps every point around `position`.
    void Stamp(YKPoint<double> position);

    YKPencilBrushRenderer mRenderer;
    YKList<YKPoint<double>> mPoints;
    // The extent of the stroke points, relative to the position.
    YKPoint<double> mLow{0, 0};
    YKPoint<double> mHigh{0, 0};
    YKBitmap mBitmap;
    // The position the rendering was stamped at.
    std::optional<YKPoint<double>> mDrawnAt;
};
