#pragma once

// YKPencilBrushRenderer: the brush of the paint layers. CreatePencil precomputes a dab mask
// from the size, ellipse ratio, rotation, hardness and shape; DrawBrush decides where along a
// stroke dabs fall (spacing, continuous lines, random jitter) and blends each dab into a 32-bit
// bitmap with the brush mode. A renderer draws its random numbers from its own generator, so a
// stroke repeats exactly after SetRandomSeed.

#include <random>
#include <vector>

#include "YKBrushRenderer.h"
#include "yk_brush_modes.h"
#include "yk_color.h"

class YKPencilBrushRenderer : public YKBrushRenderer {
public:
    // Masks are kept at this row stride whatever the size.
    static constexpr int32 kMaskStride = 128;
    static constexpr double kMaxSize = 126;
    // The shared distance and angle tables are kTableSide x kTableSide.
    static constexpr int32 kTableSide = 64;
    // The type code of the archived texture bytes.
    static constexpr uint32 kTextureType = 0x52415754;

    // The defaults, then the archive's fields when one is given. Without an archive the masks
    // stay empty, and no dab shows, until CreatePencil is called.
    explicit YKPencilBrushRenderer(const YKMessage* archive = nullptr);

    // Both trunc(size) + 2.
    void GetBrushSize(uint32* width, uint32* height) const override;
    void DrawBrush(YKBitmap* bitmap, YKPoint<int32> point, YKRect<int32>* touched) override;
    // Every setting; the texture keys only when a texture is set.
    void Archive(YKMessage* archive) const override;
    // Reads the keys present (the texture is replaced by a copy of the archived one, or
    // dropped), then rebuilds the masks. A texture whose sizes do not match its bytes is dropped.
    void Unarchive(const YKMessage* archive) override;

    // Rebuilds both masks for `size` (limited to 0..126), which becomes the pencil size. The
    // setters of the mask's parameters do not call it.
    void CreatePencil(double size);

    // --- Settings
    void SetContinious(bool continuous) { mContinuous = continuous; }
    bool Continious() const { return mContinuous; }
    // Width over height of the dab before rotation.
    void SetEllipseRatio(double ratio) { mRatio = ratio; }
    double EllipseRatio() const { return mRatio; }
    // Radians.
    void SetRotation(double rotation) { mRotation = rotation; }
    double Rotation() const { return mRotation; }
    // 0 soft .. 1 hard.
    void SetHardness(double hardness) { mHardness = hardness; }
    double Hardness() const { return mHardness; }
    // A yk_brush_mode; other values change no pixel.
    void SetMode(int32 mode) { mMode = mode; }
    int32 Mode() const { return mMode; }
    // A yk_brush_shape; other values give an empty mask.
    void SetShape(int32 shape) { mShape = shape; }
    int32 Shape() const { return mShape; }
    // The distance in pixels the pointer must travel before the next dab; 0 dabs at every
    // position.
    void SetSpacing(double spacing) { mSpacing = spacing; }
    double Spacing() const { return mSpacing; }
    void SetColor(yk_color color);
    yk_color Color() const;
    // Fractions 0..1, kept as bytes (x 255, rounded, so that setting what a getter returned
    // changes nothing). Granulation is stored only.
    void SetGranulation(double granulation) { mGranulation = FractionToByte(granulation); }
    double Granulation() const { return mGranulation / 255.0; }
    void SetPressure(double pressure) { mPressure = FractionToByte(pressure); }
    double Pressure() const { return mPressure / 255.0; }
    // How far dabs are jittered: up to half of this times 255 pixels each way.
    void SetRandomizeCenter(double amount) { mRandomizeCenter = FractionToByte(amount); }
    double RandomizeCenter() const { return mRandomizeCenter / 255.0; }
    // A width x height grey map that scales the dab's weight, tiled over the bitmap. The bytes
    // are copied; null or sizes out of range remove the texture.
    void SetTexture(const uint8* data, int32 width, int32 height);
    // Null and 0 x 0 when there is none; the bytes stay the renderer's.
    void Texture(const uint8** data, int32* width, int32* height) const;
    double PencilSize() const { return mSize; }
    void SetRandomSeed(uint32 seed) { mRandom.seed(seed); }

    // The masks, kMaskStride bytes a row: the dab's weight and the distance from its centre
    // (0 centre .. 255 edge and beyond).
    const uint8* DabMask() const { return mDabMask.data(); }
    const uint8* DistanceMask() const { return mDistanceMask.data(); }

    // The tables every pencil shares: sqrt(i² + j²), and the angle of (i - 32, j - 32) about
    // the table's centre in turns (-0.5 .. 0.5). i and j are 0..63.
    static float Distance(int32 i, int32 j);
    static float Angle(int32 i, int32 j);

private:
    static uint8 FractionToByte(double fraction);
    // Whether `point` is far enough from the last dab; each axis counts at most 63 pixels.
    bool CheckSpacingAndRotate(YKPoint<int32> point) const;
    // The dabs pointer position `point` calls for; the rectangle they may have changed.
    YKRect<int32> PlaceDabs(YKBitmap* bitmap, YKPoint<int32> point);
    // A dab at every point of the line from the last dab to `to` that is far enough from the
    // dab before it, the end included.
    void DrawLineOfDabs(YKBitmap* bitmap, YKPoint<int32> to);
    // One dab centred on `point`.
    void DrawBrushReal(YKBitmap* bitmap, YKPoint<int32> point);
    // The dab's side x side square from `origin`, row by row, through the mode's pixel rule.
    template <int32 Mode>
    void DrawRows(YKBitmap* bitmap, YKPoint<int32> origin, int32 side);
    // A uniform fraction in [0, 1].
    double RandomFraction();

    std::vector<uint8> mDabMask;
    std::vector<uint8> mDistanceMask;
    bool mAntialiasing = true;
    int32 mRed = 255;
    int32 mGreen = 0;
    int32 mBlue = 0;
    int32 mAlpha = 255;
    double mSize = 16;
    int32 mColorIndex = 0;
    double mRatio = 1;
    double mRotation = 0;
    double mHardness = 1;
    int32 mMode = YK_BRUSH_COLOR;
    int32 mShape = YK_BRUSH_SOFT;
    YKPoint<int32> mLast{0, 0};
    double mSpacing = 1;
    bool mContinuous = true;
    uint8 mGranulation = 0;
    uint8 mPressure = 255;
    uint8 mRandomizeCenter = 0;
    std::vector<uint8> mTexture;
    int32 mTextureWidth = 0;
    int32 mTextureHeight = 0;
    std::mt19937 mRandom;
};
