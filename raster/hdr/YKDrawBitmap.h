#pragma once

// YKDrawBitmap: the bitmap a document is shown from, with the zoom of the view and the board
// (a checkerboard by default) that shows through transparent pixels.
//
// Zoom n > 0 magnifies n + 1 times, n < 0 reduces 1 - n times, 0 is 1:1.

#include "YKBitmap.h"
#include "YKPoint.h"
#include "YKRect.h"

class YKRaster;

class YKDrawBitmap : public YKBitmap {
public:
    explicit YKDrawBitmap(const char* name = nullptr);

    // With checker, squares of c alternate with c lightened where it is translucent; without,
    // the board is plain c.
    void SetBoardColor(uint32 color, bool checker = true);
    uint32 BoardColor() const { return mBoardColor; }
    bool IsChecker() const { return mChecker; }
    // The two colours of the checkerboard as painted.
    uint32 BoardPixel(int32 index) const { return mBoardPixels[index & 1]; }

    // Without overscan, only the board is shown outside the document frame (when it is valid).
    void SetDocumentFrame(YKRect<int32> rect) { mDocumentFrame = rect; }
    YKRect<int32> DocumentFrame() const { return mDocumentFrame; }
    void SetOverscan(bool overscan) { mOverscan = overscan; }
    bool Overscan() const { return mOverscan; }

    void SetZoom(int32 zoom);
    int32 Zoom() const { return mZoom; }
    // Document pixels per screen pixel in 16.16 fixed point.
    int32 HorizontalStep() const { return mHorizontalStep; }
    int32 VerticalStep() const { return mVerticalStep; }

    // Document to screen. A rectangle magnified grows by n on the right and bottom so that its
    // last pixel is covered whole.
    float ApplyZoom(float value) const;
    YKRect<float> ApplyZoom(YKRect<float> rect) const;
    YKPoint<float> ApplyZoom(YKPoint<float> point) const;
    // Screen to document.
    float UnapplyZoom(float value) const;
    YKRect<float> UnapplyZoom(YKRect<float> rect) const;
    YKPoint<float> UnapplyZoom(YKPoint<float> point) const;

    // Paints `rect` (screen coordinates, clipped to the raster's frame) of the zoomed bitmap
    // composed over the board into a 32-bit raster. Checker squares are 8 screen pixels wide.
    void DrawIn(YKRaster* raster, YKRect<int32> rect);

private:
    // The document coordinate shown at a screen coordinate.
    int32 ToDocument(int32 screen) const;

    YKRect<int32> mDocumentFrame = YKRect<int32>::None();
    uint32 mBoardColor = 0xCCCCCCCC;
    bool mChecker = true;
    uint32 mBoardPixels[2] = {0xCCCCCCCC, 0xCCCCCCCC};
    int32 mZoom = 0;
    int32 mHorizontalStep = 0x10000;
    int32 mVerticalStep = 0x10000;
    bool mOverscan = true;
};
