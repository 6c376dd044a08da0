#pragma once

// YKEffectLayer: a layer that can carry effects computed from the alpha of its own rendering:
// outer and inner shadow, outer and inner glow, emboss and outline. It is the base of the
// object layers and the cache layers. This class holds the effect parameters, archives them,
// tells how far the effects reach beyond the content (the effect radius, by which a cache
// layer grows what it redraws) and provides the 8-bit mask operations the effects are built
// from: a separable cosine-window blur and the outline's square spread.
//
// Colours are packed 32-bit pixels (alpha in bits 24-31); intensities are fixed-point factors
// with 256 meaning 1.0.

#include "YKBitmap.h"
#include "YKLayer.h"
#include "yk_types.h"

class YKMessage;

class YKEffectLayer : public YKLayer {
public:
    // Bits of the process flags: which effects are on.
    enum ProcessFlag : int32 {
        kGaussBlur = 1,
        kOuterShadow = 2,
        kInnerShadow = 4,
        kOuterGlow = 8,
        kInnerGlow = 16,
        kEmboss = 32,
        kOutline = 64,
    };

    static constexpr int32 kOpaqueBlack = static_cast<int32>(0xFF000000u);
    static constexpr int32 kOpaqueWhite = static_cast<int32>(0xFFFFFFFFu);
    // Blur radii are capped here, so the kernel never has more than 2 * 255 + 1 weights.
    static constexpr int32 kMaxBlurRadius = 255;
    static constexpr int32 kKernelCapacity = 512;

    // Effects off, no process flags, default parameters, no kernel yet.
    explicit YKEffectLayer(int32 id);
    // The base's fields, then the defaults overwritten by SetEffectProperties(archive).
    explicit YKEffectLayer(const YKMessage* archive);

    // Adds "_pr_flags", the parameters of each effect in flag order, "_is_effect_enabled",
    // then the base's fields and children, and sets "Class" to "YKEffectLayer".
    void Archive(YKMessage* message, bool deep) const override;
    bool InheritsFrom(const char* className) const override;
    // When effects are on, turns them off, recomputes the effect radius and invalidates
    // Frame(); the result tells whether that happened.
    bool SetFiltersOff(bool off) override;
    // When any process flag is set, turns effects on, recomputes the effect radius and
    // invalidates Frame(); the result tells whether that happened.
    bool SetFiltersOn() override;
    // The before effects, the children (those whose frame meets rect), the after effects.
    void ComposeLayer(YKBitmap* destination, YKRect<int32> rect) override;
    // The union of the effect bitmaps' frames; the kinds add their content's frame.
    YKRect<int32> Frame() const override;
    YKRect<int32> RealFrame() const override { return Frame(); }

    // --- Effects
    // Stores `on`; turning effects on computes them at once.
    void SetEffectEnable(bool on);
    // Recomputes both effect bitmaps from the alpha of this layer's rendering (effects on only).
    void ProcessEffect();
    // Empties both effect bitmaps.
    void ClearEffect();
    // Moves both effect bitmaps, as a moved layer keeps its effects.
    void MoveEffectBy(YKPoint<int32> offset);
    // Merge the before (under the content) or after (over it) effect bitmap into `destination`
    // within rect with merge method `mode`, when effects are on.
    void ComposeBeforeEffect(YKBitmap* destination, YKRect<int32> rect, int32 mode);
    void ComposeAfterEffect(YKBitmap* destination, YKRect<int32> rect, int32 mode);
    const YKBitmap& BeforeEffectBitmap() const { return mBeforeEffect; }
    const YKBitmap& AfterEffectBitmap() const { return mAfterEffect; }
    bool IsEffectEnabled() const { return mEffectEnabled; }
    // Adds the effect keys alone, as Archive() does: "_pr_flags", the parameters,
    // "_is_effect_enabled". SetEffectProperties() takes them back.
    void ArchiveEffects(YKMessage* message) const;
    // Reads every effect key the message holds with its archived type (others keep their
    // values), then recomputes the effect radius.
    void SetEffectProperties(const YKMessage* message);
    void SetProcessMask(int32 flags);
    int32 ProcessMask() const { return mProcessFlags; }
    // The value of the last ComputeTotalRadius().
    int32 EffectRadius() const { return mEffectRadius; }
    // How far the enabled effects reach beyond the content: 0 when effects are off, else the
    // largest reach of the flagged shadows, glows and emboss (blur and outline add nothing).
    // Stores the result as the effect radius and returns it.
    int32 ComputeTotalRadius();

    // --- Parameters; each setter stores and recomputes the effect radius.
    void SetGaussBlurParam(float radius);
    void SetOuterShadowParam(float radius, int32 dx, int32 dy, int32 intensity, int32 color);
    void SetInnerShadowParam(float radius, int32 dx, int32 dy, int32 intensity, int32 color);
    void SetOuterGlowParam(float radius, int32 intensity, int32 color);
    void SetInnerGlowParam(float radius, int32 intensity, int32 color);
    // Mode 1 draws under the content, modes 0 and 2 over it (2 only where the content is).
    void SetEmbossParam(float radius, int32 dx, int32 dy, int32 intensity, int32 highColor,
                        int32 lowColor, int32 mode);
    void SetOutlineParam(int32 radius, int32 color);

    float GaussBlurRadius() const { return mBlurRadius; }
    float OuterShadowBlur() const { return mOuterShadowRadius; }
    int32 OuterShadowOffsetX() const { return mOuterShadowDx; }
    int32 OuterShadowOffsetY() const { return mOuterShadowDy; }
    int32 OuterShadowIntensity() const { return mOuterShadowIntensity; }
    int32 OuterShadowColor() const { return mOuterShadowColor; }
    float InnerShadowBlur() const { return mInnerShadowRadius; }
    int32 InnerShadowOffsetX() const { return mInnerShadowDx; }
    int32 InnerShadowOffsetY() const { return mInnerShadowDy; }
    int32 InnerShadowIntensity() const { return mInnerShadowIntensity; }
    int32 InnerShadowColor() const { return mInnerShadowColor; }
    float OuterGlowBlur() const { return mOuterGlowRadius; }
    int32 OuterGlowIntensity() const { return mOuterGlowIntensity; }
    int32 OuterGlowColor() const { return mOuterGlowColor; }
    float InnerGlowBlur() const { return mInnerGlowRadius; }
    int32 InnerGlowIntensity() const { return mInnerGlowIntensity; }
    int32 InnerGlowColor() const { return mInnerGlowColor; }
    float EmbossBlur() const { return mEmbossRadius; }
    int32 EmbossOffsetX() const { return mEmbossDx; }
    int32 EmbossOffsetY() const { return mEmbossDy; }
    int32 EmbossIntensity() const { return mEmbossIntensity; }
    int32 EmbossHighColor() const { return mEmbossHighColor; }
    int32 EmbossLowColor() const { return mEmbossLowColor; }
    int32 EmbossType() const { return mEmbossMode; }
    int32 OutlineRadius() const { return mOutlineRadius; }
    int32 OutlineColor() const { return mOutlineColor; }

    // --- Blur machinery on 8-bit maps

    // Sets the blur diameter to 2 * min(255, floor(r)) (negative and NaN radii count as 0) and
    // recomputes the kernel, unless that diameter's kernel is already there.
    void SetRadius(float radius);
    // Half the blur diameter.
    float Radius() const { return mDiameter / 2; }
    // Fills the kernel with a cosine window over the diameter: 0 at both ends, 255 in the
    // middle. A diameter of 0 gives the single weight 255, a blur that changes nothing.
    void CalcMatrix();
    const uint8* Kernel() const { return mKernel; }
    int32 KernelLength() const { return mKernelLength; }
    // Blurs a width x height map in place with the kernel, rows then columns. Weights that fall
    // outside the map are left out, so edges are not darkened. Does nothing for an empty map or
    // before a radius was set.
    void Blur8(uint8* map, int32 width, int32 height) const;
    // Blurs one line of `length` values and writes result i to out[i * outStride], so a row can
    // be written down a column of a transposed map.
    void Blur8Inner(const uint8* line, int32 length, uint8* out, int32 outStride) const;
    // Replaces the map by the outline's spread: each value v > 0 is added, saturating at 255,
    // to every value of the square of side 2r + 1 around it (r the outline radius, clipped to
    // the map). Does nothing for an empty map.
    void Outline(uint8* map, int32 width, int32 height) const;

protected:
    // The rendering the effects are computed from, over `frame`: by default this layer composed
    // into `scratch`; a layer that keeps its rendering (a cache) may hand that over instead.
    virtual const YKBitmap* EffectSource(YKBitmap* scratch, YKRect<int32> frame);

private:
    struct AlphaMap;
    void ApplyShadow(const AlphaMap& alpha, YKBitmap* target, bool inner, float radius, int32 dx,
                     int32 dy, int32 intensity, int32 color);
    void ApplyOutline(const AlphaMap& alpha);
    void ApplyEmboss(const AlphaMap& alpha);

    // One archived parameter: its key and the member it fills, a radius (float) or not (int32).
    struct ParamKey {
        const char* key;
        float YKEffectLayer::*radius;
        int32 YKEffectLayer::*value;
    };
    // Every parameter in process-flag order, as archived.
    static const ParamKey kParamKeys[];

    // Outer shadow, outer glow, outline and emboss mode 1: merged under the content.
    YKBitmap mBeforeEffect;
    // Inner shadow, inner glow and emboss modes 0 and 2: merged over it.
    YKBitmap mAfterEffect;
    bool mEffectEnabled = false;
    int32 mProcessFlags = 0;
    // Stored and archived; no effect uses it.
    float mBlurRadius = 4.0f;
    float mOuterShadowRadius = 4.0f;
    int32 mOuterShadowDx = 4;
    int32 mOuterShadowDy = 4;
    int32 mOuterShadowIntensity = 256;
    int32 mOuterShadowColor = kOpaqueBlack;
    float mInnerShadowRadius = 4.0f;
    int32 mInnerShadowDx = 2;
    int32 mInnerShadowDy = 2;
    int32 mInnerShadowIntensity = 256;
    int32 mInnerShadowColor = kOpaqueBlack;
    float mOuterGlowRadius = 6.0f;
    int32 mOuterGlowIntensity = 512;
    int32 mOuterGlowColor = kOpaqueWhite;
    float mInnerGlowRadius = 6.0f;
    int32 mInnerGlowIntensity = 512;
    int32 mInnerGlowColor = kOpaqueWhite;
    float mEmbossRadius = 4.0f;
    int32 mEmbossDx = 3;
    int32 mEmbossDy = 3;
    int32 mEmbossIntensity = 256;
    int32 mEmbossHighColor = kOpaqueWhite;
    int32 mEmbossLowColor = kOpaqueBlack;
    int32 mEmbossMode = 0;
    int32 mOutlineRadius = 2;
    int32 mOutlineColor = 0;
    uint8 mKernel[kKernelCapacity] = {};
    float mDiameter = 0.0f;
    int32 mKernelLength = 0;
    int32 mEffectRadius = 0;
};
