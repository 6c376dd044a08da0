#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "PixelAt.h"
#include "YKBitmap.h"
#include "YKRaster.h"

namespace {

using Rect = YKRect<int32>;

TEST(BitmapTest, ReadingAFreshBitmapGivesZerosAndMakesNoBlock) {
    YKBitmap bitmap("fresh");
    const uint32* line = bitmap.GetLineAt(10, -100, 200);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(std::count(line, line + 301, 0u), 301);
    EXPECT_EQ(bitmap.Stat(), 0);
    EXPECT_EQ(bitmap.GetLineAt(0, 5, 4), nullptr);
}

TEST(BitmapTest, WritingAtMinusOneMakesBlockMinusOne) {
    YKBitmap bitmap;
    bitmap.SetPixelAt(-1, -1, 1, 0xFF102030, YK_COPY);
    ASSERT_EQ(bitmap.Stat(), 1);
    EXPECT_EQ(bitmap.KeyAt(0), (YKPoint<int32>{-1, -1}));
    EXPECT_EQ(bitmap.Frame(), (Rect{-1, -1, -1, -1}));
    EXPECT_EQ(PixelAt(bitmap, -1, -1), 0xFF102030u);
    EXPECT_EQ(PixelAt(bitmap, 0, -1), 0u);
    EXPECT_EQ(YKBitmap::ConvertToBlock(YKPoint<int32>{-1, -65}), (YKPoint<int32>{-64, -128}));
    EXPECT_EQ(YKBitmap::ConvertToBlock(Rect{-1, 0, 64, 63}), (Rect{-64, 0, 127, 63}));
}

// A run crossing three blocks, on a bitmap moved by an amount that is not a multiple of 64.
TEST(BitmapTest, LinesCrossBlocksUnderAnOffset) {
    YKBitmap bitmap;
    bitmap.MoveBy(-37, 21);
    std::vector<uint32> run(150);
    for (std::size_t i = 0; i < run.size(); ++i) {
        run[i] = 0xFF000000u | static_cast<uint32>(i + 1);
    }
    bitmap.SetLineAt(run.data(), 30, -60, 89);
    EXPECT_EQ(bitmap.Frame(), (Rect{-60, 30, 89, 30}));
    EXPECT_EQ(bitmap.OwnFrame(), (Rect{-23, 9, 126, 9}));
    EXPECT_EQ(bitmap.Stat(), 3);
    const uint32* line = bitmap.GetLineAt(30, -70, 99);
    for (int32 x = -70; x <= 99; ++x) {
        const uint32 expected = x < -60 || x > 89 ? 0u : run[static_cast<std::size_t>(x + 60)];
        ASSERT_EQ(line[x + 70], expected) << x;
    }
    bitmap.SetPixelsAt(30, -61, 3, run.data(), YK_NORMAL);
    EXPECT_EQ(bitmap.Frame().left, -61);
    EXPECT_EQ(PixelAt(bitmap, -59, 30), run[2]);
}

TEST(BitmapTest, LockedFrameStaysWhereItIs) {
    YKBitmap bitmap;
    bitmap.AddFrame({0, 0, 9, 9});
    bitmap.MoveTo({100, 50});
    EXPECT_EQ(bitmap.Frame(), (Rect{100, 50, 109, 59}));
    EXPECT_TRUE(bitmap.Contains({109, 59}));
    EXPECT_FALSE(bitmap.Contains({9, 9}));
    bitmap.LockFrame();
    bitmap.MoveBy(5, 5);
    bitmap.MoveTo({0, 0});
    bitmap.AddFrame({0, 0, 500, 500});
    EXPECT_EQ(bitmap.Frame(), (Rect{100, 50, 109, 59}));
    bitmap.UnlockFrame();
    bitmap.MakeEmpty();
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(bitmap.Offset(), (YKPoint<int32>{0, 0}));
}

TEST(BitmapTest, EraseClearsPixelsButKeepsBlocksAndFrame) {
    YKBitmap bitmap;
    for (int32 y = 0; y < 100; ++y) {
        bitmap.SetPixelAt(y, 0, 100, 0xFF00FF00, YK_COPY);
    }
    bitmap.Erase({10, 10, 80, 70});
    EXPECT_EQ(bitmap.Stat(), 4);
    EXPECT_EQ(bitmap.Frame(), (Rect{0, 0, 99, 99}));
    EXPECT_EQ(PixelAt(bitmap, 10, 10), 0u);
    EXPECT_EQ(PixelAt(bitmap, 80, 70), 0u);
    EXPECT_EQ(PixelAt(bitmap, 81, 70), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(bitmap, 9, 10), 0xFF00FF00u);
}

TEST(BitmapTest, OptimizeFrameShrinksToVisiblePixels) {
    YKBitmap bitmap;
    bitmap.AddFrame({-200, -200, 300, 300});
    bitmap.SetPixelAt(-70, 5, 1, 0x01000000, YK_COPY);
    bitmap.SetPixelAt(130, -3, 70, 0x80FFFFFF, YK_COPY);
    bitmap.SetPixelAt(200, 0, 10, 0x00FFFFFF, YK_COPY);  // transparent: does not count
    bitmap.MoveBy(1000, 0);
    bitmap.OptimizeFrame();
    EXPECT_EQ(bitmap.Frame(), (Rect{997, -70, 1066, 130}));
    EXPECT_TRUE(bitmap.ContainsAlpha({1005, -70}));
    EXPECT_FALSE(bitmap.ContainsAlpha({1004, -70}));
    bitmap.Erase(bitmap.Frame());
    bitmap.OptimizeFrame();
    EXPECT_TRUE(bitmap.IsEmpty());
}

TEST(BitmapTest, RasterRoundTripThroughBlocks) {
    YKRaster source({-30, 40, 99, 140});
    auto* pixels = reinterpret_cast<uint32*>(source.Bits());
    for (int32 i = 0; i < source.Width() * source.Height(); ++i) {
        pixels[i] = 0x80000000u | static_cast<uint32>(i);
    }
    YKBitmap bitmap(&source);
    EXPECT_EQ(bitmap.Frame(), source.Frame());
    bitmap.SetRaster(&source, {0, 0, 1000, 100});  // clipped to the raster
    EXPECT_EQ(bitmap.Frame(), (Rect{0, 40, 99, 100}));

    bitmap.MoveBy(3, -2);
    std::unique_ptr<YKRaster> copy(bitmap.Raster({3, 38, 102, 98}));
    ASSERT_EQ(copy->Frame(), (Rect{3, 38, 102, 98}));
    EXPECT_EQ(std::memcmp(copy->Bits(), source.Bits() + 30 * 4, 100 * 4), 0);

    // A given raster is moved to the rectangle; pixels of missing blocks come out 0.
    YKRaster target({0, 0, 199, 9});
    std::memset(target.Bits(), 0xFF, static_cast<std::size_t>(target.BitsLength()));
    bitmap.Clr(0, 0);  // own pixels 0..63 of rows 40..63
    EXPECT_EQ(bitmap.Raster({-40, 50, 1000, 1000}, &target), &target);
    EXPECT_EQ(target.Frame(), (Rect{-40, 50, 159, 59}));
    const auto* row = reinterpret_cast<const uint32*>(target.Bits());
    EXPECT_EQ(row[42], 0xFFFFFFFFu);  // x = 2: outside the bitmap's frame, left alone
    EXPECT_EQ(row[43], 0u);           // x = 3: own pixel 0, block gone
    EXPECT_EQ(row[43 + 64], pixels[(50 + 2 - 40) * 130 + 30 + 64]);

    YKRaster gray({0, 0, 9, 9}, nullptr, YK_GRAY8_COLOR_SPACE);
    EXPECT_EQ(bitmap.Raster({0, 0, 9, 9}, &gray), nullptr);
}

}  // namespace
