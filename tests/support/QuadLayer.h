#pragma once

#include <algorithm>
#include <cmath>

#include "YKBitmap.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "yk_composition.h"

// An object that fills its turned quadrilateral with one colour: the smallest kind that renders,
// counts its renderings, moves its bitmap on a pure move and comes back from its archive (once
// kArchiveClass is registered), so that copies render too.
class QuadLayer : public YKObjectLayer {
public:
    static constexpr const char* kArchiveClass = "TestQuad";

    QuadLayer(int32 id, uint32 color) : YKObjectLayer(id, "quad", 0), mColor(color) {}
    explicit QuadLayer(const YKMessage* archive) : YKObjectLayer(archive) {
        archive->FindInt32("color", reinterpret_cast<int32*>(&mColor));
    }
    void Archive(YKMessage* message, bool deep) const override {
        YKObjectLayer::Archive(message, deep);
        SetArchiveClass(message, kArchiveClass);
        message->AddInt32("color", static_cast<int32>(mColor));
    }

    bool SupportsResize() const override { return true; }
    bool SupportsRotation() const override { return true; }
    const char* Type() const override { return "Quad"; }
    YKBitmap* Bitmap() override { return &mContent; }
    YKRect<int32> Frame() const override { return YKEffectLayer::Frame() | mContent.Frame(); }
    YKRect<int32> RealFrame() const override { return Frame(); }
    void ComposeLayer(YKBitmap* destination, YKRect<int32> rect) override {
        ++composeCount;
        ComposeRendering(destination, rect, &mContent);
    }
    void SuggestBoundingBox(const Placement& placement, bool force, bool switching) override {
        const YKRect<int32> before = Frame();
        const YKPoint<double> delta = placement.position - mRendered.position;
        Placement moved = mRendered;
        moved.position = placement.position;
        const bool wholeMove = delta.x == std::floor(delta.x) && delta.y == std::floor(delta.y);
        if (!force && mRenderCount > 0 && moved == placement && wholeMove) {
            ShiftRendering(&mContent, {static_cast<int32>(delta.x), static_cast<int32>(delta.y)});
            ++mShiftCount;
        } else {
            Render();
            ++mRenderCount;
        }
        mRendered = placement;
        lastForce = force;
        // A frame switch invalidates for itself.
        if (!switching) {
            InvalidateLayer(before | Frame(), true, nullptr);
        }
    }

    int32 RenderCount() const { return mRenderCount; }
    int32 ShiftCount() const { return mShiftCount; }
    bool lastForce = false;
    int32 composeCount = 0;

private:
    void Render() {
        mContent.MakeEmpty();
        YKPoint<double> corners[4];
        TurnedCorners(corners);
        YKList<YKPoint<double>> polygon;
        double top = corners[0].y, bottom = corners[0].y, left = corners[0].x, right = corners[0].x;
        for (const YKPoint<double>& c : corners) {
            polygon.AddItem(c);
            top = std::min(top, c.y);
            bottom = std::max(bottom, c.y);
            left = std::min(left, c.x);
            right = std::max(right, c.x);
        }
        for (int32 y = static_cast<int32>(std::floor(top)); y <= std::ceil(bottom); ++y) {
            for (int32 x = static_cast<int32>(std::floor(left)); x <= std::ceil(right); ++x) {
                if (PointInPoly({x + 0.5, y + 0.5}, polygon)) {
                    mContent.SetPixelAt(y, x, 1, mColor, YK_COPY);
                }
            }
        }
        if (IsEffectEnabled()) {
            ProcessEffect();
        }
    }

    uint32 mColor = 0xFF0000FFu;
    YKBitmap mContent;
    Placement mRendered;
    int32 mRenderCount = 0;
    int32 mShiftCount = 0;
};

// A quadrilateral object of `color` filling `box`, put into `layer` and not selected.
inline QuadLayer* PutQuad(YKLayer* layer, int32 id, uint32 color, YKRect<double> box) {
    auto* quad = new QuadLayer(id, color);
    layer->AddChild(quad, false);
    const double w = (box.right - box.left) / 2, h = (box.bottom - box.top) / 2;
    quad->ModifyBoundingBox({-w, -h}, {w, -h}, {w, h}, {-w, h});
    quad->MoveBoundingBoxBy({box.left + w, box.top + h}, false);
    quad->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
    return quad;
}
