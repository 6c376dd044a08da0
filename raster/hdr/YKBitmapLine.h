#pragma once

// YKBitmapLine: one growable run of 32-bit pixels of a row, covering columns Left()..Right().
// Writing outside the run grows it; the new pixels start transparent.

#include "yk_types.h"

class YKBitmapLine {
public:
    YKBitmapLine() = default;
    YKBitmapLine(const YKBitmapLine& other);
    YKBitmapLine& operator=(const YKBitmapLine& other);
    virtual ~YKBitmapLine();

    // Pixels x0..x1 into `out`: the covered ones copied, the others 0.
    void GetData(int32 x0, int32 x1, uint32* out) const;
    // Composites pixels x0..x1 with merge method `mode` at full opacity; "Copy" and "Over"
    // copy them.
    void SetData(int32 x0, int32 x1, const uint32* pixels, int32 mode);
    // Composites one colour over x0..x1 the same way.
    void SetPixelAt(int32 x0, int32 x1, uint32 color, int32 mode);
    // Multiplies the alpha of the covered pixels of x0..x1 by factor (0..1), truncating.
    void ApplyTransparency(float factor, int32 x0, int32 x1);
    // Clears the covered pixels of x0..x1; the run keeps its extent.
    void Erase(int32 x0, int32 x1);
    // Composites the covered part of x0..x1 of `line` into this one.
    void MergeWith(const YKBitmapLine& line, int32 x0, int32 x1, int32 mode);
    void OffsetBy(int32 dx);

    // 0 outside the run.
    uint32 PixelAt(int32 x) const;
    // Null outside the run.
    uint32* PixelPtrAt(int32 x) const;
    int32 Left() const { return mLeft; }
    int32 Right() const { return mRight; }
    bool IsEmpty() const { return mPixels == nullptr; }

private:
    // Grows the run over x0..x1 (reallocating, new pixels 0); false when memory runs out.
    bool Cover(int32 x0, int32 x1);
    void Release();

    uint32* mPixels = nullptr;  // C allocator
    int32 mSize = 0;            // bytes
    int32 mLeft = 0;
    int32 mRight = -1;
};
