#pragma once

// YKRaster: a rectangle of pixels in one contiguous store, row after row. Frames are rendered
// into it for export, image readers produce it and writers consume it, filters work on it. It
// also draws integer shapes with an 8 x 8 pattern and a merge method.
//
// The frame is inclusive and its left-top is the raster's origin in drawing coordinates: every
// drawing call takes those coordinates, so the frame's left-top is the first pixel of the store.

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "YKPlatformBitmap.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_color_space.h"
#include "yk_composition.h"
#include "yk_types.h"

class YKMessage;

// The store of a duplicate.
enum EYKRasterNatives : int32 {
    YK_RASTER_KEEP_KIND = 0,  // as the source
    YK_RASTER_NATIVE = 1,     // a platform bitmap
    YK_RASTER_OWN = 2,        // memory of the raster's own
};

class YKRaster {
public:
    // No store for an invalid frame. A store too large for yk_image_size_ok (or one that cannot
    // be allocated) is not made either, and the frame becomes empty. A native raster must be
    // YK_RGBA_COLOR_SPACE (fatal otherwise). The store starts cleared to 0.
    explicit YKRaster(YKRect<int32> frame, const char* name = nullptr,
                      yk_color_space space = YK_RGBA_COLOR_SPACE, bool native = false);
    // From Archive()'s fields. Wrong or missing fields leave their defaults; "_data" fills the
    // store up to the shorter of the two lengths.
    explicit YKRaster(const YKMessage& archive);
    // Around a platform bitmap, which the raster then owns.
    explicit YKRaster(std::unique_ptr<YKPlatformBitmap> bitmap, const char* name = nullptr);
    YKRaster(const YKRaster&) = delete;
    YKRaster& operator=(const YKRaster&) = delete;
    virtual ~YKRaster();

    // Adds name, frame, colour space and the whole store.
    void Archive(YKMessage* archive) const;
    // Same frame, name, colour space and bytes; native or not as asked.
    std::unique_ptr<YKRaster> DuplicateRaster(EYKRasterNatives natives = YK_RASTER_KEEP_KIND) const;
    // Copies the common top-left part, row by row (min of heights, min of bytes per row).
    void CopyFrom(const YKRaster* source);
    // Reverses the bytes of each 32-bit pixel, swaps those of each 16-bit one.
    void SwapEndian();

    uint8* Bits() const { return mBits; }
    int32 BytesPerRow() const { return mBytesPerRow; }
    int32 BytesPerPixel() const { return mBytesPerPixel; }
    int32 BitsLength() const { return mBits != nullptr ? Height() * mBytesPerRow : 0; }
    yk_color_space ColorSpace() const { return mColorSpace; }
    YKRect<int32> Bounds() const { return {0, 0, Width() - 1, Height() - 1}; }
    YKRect<int32> Frame() const { return mFrame; }
    int32 Width() const { return mFrame.right - mFrame.left + 1; }
    int32 Height() const { return mFrame.bottom - mFrame.top + 1; }
    YKPoint<int32> Origin() const { return mFrame.LeftTop(); }
    // "YKRaster" when the raster has no name.
    const char* Name() const { return mName ? mName.get() : "YKRaster"; }
    YKPlatformBitmap* GetBBitmap() const { return mPlatformBitmap.get(); }
    bool IsNative() const { return mPlatformBitmap != nullptr; }
    // Bounding box of the pixels whose alpha is not 0 as of the last ResetOptmizedFrame().
    YKRect<int32> OptimizedFrame() const { return mOptimizedFrame; }

    // Move frame and optimized frame together; nothing for an invalid frame.
    void OffsetTo(YKPoint<int32> point) { OffsetTo(point.x, point.y); }
    void OffsetTo(int32 x, int32 y) { OffsetBy(x - mFrame.left, y - mFrame.top); }
    void OffsetBy(YKPoint<int32> delta) { OffsetBy(delta.x, delta.y); }
    void OffsetBy(int32 dx, int32 dy);

    // Colour space 3 only: scans the store for the pixels whose alpha is not 0.
    void ResetOptmizedFrame();
    // While locked: every byte of the store becomes 0xFF.
    void InitEmpty();
    // A raster of frame `rect` with this one's pixels scaled into it, then, for a non-zero
    // angle (radians), rotated about `centre` into the bounding box of the rotated frame.
    // Null for an invalid rect, a raster without bits or pixels that are not 32-bit.
    std::unique_ptr<YKRaster> CreateScaled(YKRect<int32> rect, bool bilinear, double angle,
                                           YKPoint<double> centre) const;

    // --- Lock: a nesting count around bulk access, not a mutual exclusion ---
    bool Lock() const {
        ++mLockCount;
        return true;
    }
    void Unlock() const;
    bool IsLocked() const { return mLockCount > 0; }

    // --- Drawing state ---
    // Eight rows of eight bits (bit 0 is the leftmost column), copied; null draws solid.
    void SetPattern(const uint8* pattern);
    void SetHighColor(uint8 r, uint8 g, uint8 b, uint8 a = 255) { mHighColor = Pack(r, g, b, a); }
    void SetLowColor(uint8 r, uint8 g, uint8 b, uint8 a = 255) { mLowColor = Pack(r, g, b, a); }
    void SetDrawingMode(yk_composition_mode mode) { mDrawingMode = mode; }
    uint32 HighColor() const { return mHighColor; }
    uint32 LowColor() const { return mLowColor; }
    yk_composition_mode DrawingMode() const { return mDrawingMode; }

    // --- Drawing (32-bit pixels only; clipped to the frame) ---
    void FillRect(int32 left, int32 top, int32 right, int32 bottom);
    void FillRect(YKRect<int32> r) { FillRect(r.left, r.top, r.right, r.bottom); }
    void FillRect(YKPoint<int32> a, YKPoint<int32> b) { FillRect(a.x, a.y, b.x, b.y); }
    void StrokeRect(int32 left, int32 top, int32 right, int32 bottom);
    void StrokeRect(YKRect<int32> r) { StrokeRect(r.left, r.top, r.right, r.bottom); }
    void StrokeRect(YKPoint<int32> a, YKPoint<int32> b) { StrokeRect(a.x, a.y, b.x, b.y); }
    // From (x0, y0) to (x1, y1), both ends included.
    void StrokeLine(int32 x0, int32 y0, int32 x1, int32 y1);
    void StrokeLine(YKRect<int32> r) { StrokeLine(r.left, r.top, r.right, r.bottom); }
    void StrokeLine(YKPoint<int32> a, YKPoint<int32> b) { StrokeLine(a.x, a.y, b.x, b.y); }
    // The ellipse inscribed in the rectangle.
    void FillEllipse(int32 left, int32 top, int32 right, int32 bottom);
    void FillEllipse(YKRect<int32> r) { FillEllipse(r.left, r.top, r.right, r.bottom); }
    void FillEllipse(YKPoint<int32> a, YKPoint<int32> b) { FillEllipse(a.x, a.y, b.x, b.y); }
    void StrokeEllipse(int32 left, int32 top, int32 right, int32 bottom);
    void StrokeEllipse(YKRect<int32> r) { StrokeEllipse(r.left, r.top, r.right, r.bottom); }
    void StrokeEllipse(YKPoint<int32> a, YKPoint<int32> b) { StrokeEllipse(a.x, a.y, b.x, b.y); }
    void PutPixel(int32 x, int32 y);
    void PutPixel(YKPoint<int32> p) { PutPixel(p.x, p.y); }
    // Exact for convex polygons: each row takes the span between its first two edge crossings.
    void FillPolygon(const YKPoint<int32>* points, int32 count);
    void FillTriangle(YKPoint<int32> p1, YKPoint<int32> p2, YKPoint<int32> p3);

    // "YKRaster <name>, <text>", then the frame (marked "Invalid " when it is).
    void PrintToStream(const char* text, FILE* stream = stdout) const;

private:
    static constexpr uint32 Pack(uint8 r, uint8 g, uint8 b, uint8 a) {
        return uint32{a} << 24 | uint32{r} << 16 | uint32{g} << 8 | b;
    }
    // Allocates the store for the current frame and colour space (own or native).
    void MakeStore(bool native);
    bool CanDraw() const { return mBits != nullptr && mBytesPerPixel == 4; }
    // The pixel at frame coordinates already clipped to the frame.
    uint32* PixelAt(int32 x, int32 y) const {
        return reinterpret_cast<uint32*>(mBits +
                                         static_cast<int64>(y - mFrame.top) * mBytesPerRow) +
               (x - mFrame.left);
    }
    uint32 PatternColor(int32 x, int32 y) const;
    // Row y from left to right, clipped to the frame, through the drawing mode.
    void FillSpan(int32 y, int32 left, int32 right);
    // Calls visit(x, y) for the first-quadrant outline of the ellipse, row by row upwards.
    template <typename Visit>
    static void WalkEllipse(int64 a, int64 b, Visit visit);

    std::unique_ptr<char[]> mName;
    uint8* mBits = nullptr;
    uint8 mPattern[8] = {};
    bool mHasPattern = false;
    YKRect<int32> mFrame;
    YKRect<int32> mOptimizedFrame = YKRect<int32>::None();
    yk_color_space mColorSpace = YK_RGBA_COLOR_SPACE;
    yk_composition_mode mDrawingMode = YK_OVER;
    int32 mBytesPerRow = 0;
    int32 mBytesPerPixel = 4;
    mutable int32 mLockCount = 0;
    uint32 mHighColor = 0xFFFFFFFF;
    uint32 mLowColor = 0;
    struct FreeBits {
        void operator()(uint8* bits) const { std::free(bits); }
    };
    std::unique_ptr<uint8, FreeBits> mOwnBits;
    std::unique_ptr<YKPlatformBitmap> mPlatformBitmap;
};
