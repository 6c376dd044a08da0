#pragma once

// Whether a canvas shows what the document renders: every document pixel in sight, at the
// canvas's zoom, must be the rendered frame over the board, through the monitor gamma.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <memory>

#include "YKCanvasView.h"
#include "YKDocument.h"
#include "YKDrawBitmap.h"
#include "YKGammaCorrection.h"
#include "YKRaster.h"
#include "yk_composition.h"

namespace canvas_match {

// The view composes the layers before it lays them over the background, the export after:
// the two orders round differently.
constexpr int kTolerance = 2;

// How far a shown channel lies outside what `want`, give or take that rounding, shows as
// through the gamma table.
inline int Miss(int got, uint32 want, const std::array<uint8, 256>& table) {
    const int low = table[std::max<int>(0, int(want) - kTolerance)];
    const int high = table[std::min<int>(255, int(want) + kTolerance)];
    return got < low ? low - got : (got > high ? got - high : 0);
}

}  // namespace canvas_match

inline void ExpectCanvasShowsFrame(YKDocument* document, YKCanvasView* canvas,
                                   const YKGammaCorrection& gamma, int32 frame) {
    using canvas_match::Miss;
    std::unique_ptr<YKRaster> exported(document->RenderFrame(frame));
    ASSERT_NE(exported, nullptr);
    const QImage shown = canvas->viewport()->grab().toImage();
    YKDrawBitmap board;
    board.SetBoardColor(document->BackgroundColor().ARGBPixel(), true);
    const int32 scale = canvas->Zoom() + 1;
    const YKRect<int32> frameRect = exported->Frame();
    int32 compared = 0;
    for (int32 y = frameRect.top; y <= frameRect.bottom; ++y) {
        for (int32 x = frameRect.left; x <= frameRect.right; ++x) {
            const YKPoint<float> at =
                canvas->BitmapToView(YKPoint<float>{static_cast<float>(x), static_cast<float>(y)});
            const QPoint point(static_cast<int>(at.x), static_cast<int>(at.y));
            if (!shown.rect().contains(point)) {
                continue;
            }
            const uint32 pixel = reinterpret_cast<const uint32*>(
                exported->Bits() +
                (y - frameRect.top) * exported->BytesPerRow())[x - frameRect.left];
            const uint32 under = board.BoardPixel(((x * scale) >> 3 ^ (y * scale) >> 3) & 1);
            const uint32 want = hash_pixel_func[YK_NORMAL](under, pixel, 255);
            const QRgb got = shown.pixel(point);
            const int error = std::max({Miss(qRed(got), want >> 16 & 255, gamma.RedTable()),
                                        Miss(qGreen(got), want >> 8 & 255, gamma.GreenTable()),
                                        Miss(qBlue(got), want & 255, gamma.BlueTable())});
            ASSERT_EQ(error, 0) << "at " << x << ", " << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, frameRect.Width() * 4);
}
