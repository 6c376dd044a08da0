#pragma once

// YKBitmap: an unbounded, tiled pixel store (64 x 64 blocks made on first write) with the
// bounding frame of what was written and a movable offset: the bitmap's own pixel (x, y) is
// shown at (x + offset.x, y + offset.y). Every operation below takes shown coordinates (the
// offset applied) unless it says otherwise. Layers keep their renderings in bitmaps and merge
// them into one another with the merge methods.

#include <memory>

#include "YKMatrixManager.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKRaster;

class YKBitmap : public YKMatrixManager {
public:
    explicit YKBitmap(const char* name = nullptr, yk_color_space space = YK_RGBA_COLOR_SPACE);
    YKBitmap(const YKBitmap& other);
    YKBitmap& operator=(const YKBitmap& other);
    // The raster's colour space and its whole frame, copied.
    explicit YKBitmap(const YKRaster* raster);
    ~YKBitmap() override;

    // Empties the bitmap, takes the raster's colour space, sets the frame to rect & the
    // raster's frame with offset (0, 0) and copies those pixels.
    void SetRaster(const YKRaster* raster, YKRect<int32> rect);
    // Copies `rect` into `raster` (made with frame rect when null; a given raster must have
    // this bitmap's colour space, else null is returned, and is moved so its frame begins at
    // rect's left-top, rect being clipped to it). Pixels without a block come out 0; pixels of
    // rect outside the bitmap's frame are left as they are.
    YKRaster* Raster(YKRect<int32> rect, YKRaster* raster = nullptr) const;

    // Pixels x0..x1 of row y (32-bit pixels) into `buffer`, or into the bitmap's own line buffer
    // when null; 0 outside the frame or without a block. Null when x1 < x0. `flag` is unused.
    uint32* GetLineAt(int32 y, int32 x0, int32 x1, bool flag = false, uint32* buffer = nullptr);
    // Writes pixels x0..x1 of row y as they are ("Copy"), growing the frame over them. This and
    // SetPixelsAt work on bitmaps of 4-byte pixels only.
    void SetLineAt(const uint32* pixels, int32 y, int32 x0, int32 x1);
    // Makes every block `rect` touches, so that later writes need not create any.
    void CreateBlocks(YKRect<int32> rect);
    // Copies pixels x0..x1 of row y into blocks that exist, leaving the frame and the block
    // list alone: threads may write distinct rows at once after CreateBlocks.
    void StoreLineAt(const uint32* pixels, int32 y, int32 x0, int32 x1);
    // Composites `count` pixels onto row y from x with merge method `mode` at level 255.
    void SetPixelsAt(int32 y, int32 x, int32 count, const uint32* pixels, int32 mode);
    // Composites one colour over `count` pixels of row y from x with merge method `mode` at
    // level 255 (32-bit bitmaps only).
    void SetPixelAt(int32 y, int32 x, int32 count, uint32 color, int32 mode);
    // Clears the pixels of rect & frame in existing blocks; blocks and frame stay.
    void Erase(YKRect<int32> rect);
    // Composites other's pixels within rect into this bitmap with merge method `mode` at
    // `opacity` (0..255). The frame grows by other's frame unless locked. 32-bit bitmaps only.
    void MergeWith(const YKBitmap* other, YKRect<int32> rect, int32 mode, int32 opacity);

    // Frame empty, offset (0, 0), every block freed.
    void MakeEmpty();
    // Sets the frame (own coordinates).
    void InitFrame(YKRect<int32> rect) { mFrame = rect; }
    // Grows the frame by rect (shown coordinates) unless the frame is locked.
    void AddFrame(YKRect<int32> rect);
    void LockFrame() { mFrameLocked = true; }
    void UnlockFrame() { mFrameLocked = false; }
    bool IsFrameLocked() const { return mFrameLocked; }

    // Unless the frame is locked: add to the offset.
    void MoveBy(int32 dx, int32 dy);
    void MoveBy(YKPoint<int32> delta) { MoveBy(delta.x, delta.y); }
    // Unless the frame is locked: the frame's left-top is shown at `point`.
    void MoveTo(YKPoint<int32> point);

    bool Contains(YKPoint<int32> point) const;
    // Contained, and the pixel is not transparent.
    bool ContainsAlpha(YKPoint<int32> point) const;
    // Shrinks the frame to the pixels whose alpha is not 0 (32-bit bitmaps only).
    void OptimizeFrame();

    static YKPoint<int32> ConvertToBlock(YKPoint<int32> point);
    static YKRect<int32> ConvertToBlock(YKRect<int32> rect);

    YKPoint<int32> Offset() const { return mOffset; }
    const char* Name() const { return mName.get(); }
    // The frame shown: moved by the offset.
    YKRect<int32> Frame() const;
    // The frame in own coordinates.
    YKRect<int32> OwnFrame() const { return mFrame; }
    bool IsEmpty() const { return !mFrame.IsValid(); }

private:
    YKRect<int32> mFrame = YKRect<int32>::None();
    YKPoint<int32> mOffset{0, 0};
    bool mFrameLocked = false;
    std::unique_ptr<uint32[]> mLineBuffer;
    int32 mLineCapacity = 0;
    std::unique_ptr<char[]> mName;
};
