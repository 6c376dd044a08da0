#include <gtest/gtest.h>

#include <limits>

#include "PixelAt.h"
#include "YKAlphaBlend.h"
#include "YKBitmapLine.h"
#include "YKDrawBitmap.h"
#include "YKGammaCorrection.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "yk_composition.h"

namespace {

using Rect = YKRect<int32>;

TEST(GammaTest, TablesFollowTheInverseGamma) {
    YKGammaCorrection gamma;
    gamma.SetGamma(2.0, 1.0, 0.5);
    EXPECT_EQ(gamma.RedTable()[64], 127);
    EXPECT_EQ(gamma.GreenTable()[64], 64);
    EXPECT_EQ(gamma.BlueTable()[64], 16);  // 255 * (64 / 255)^2 = 16.06
}

TEST(GammaTest, MessageRoundTripKeepsMissingAndBadValues) {
    YKGammaCorrection gamma;
    gamma.SetGamma(1.8, 2.2, 0.9);
    YKMessage message('junk');
    message.AddInt32("stale", 1);
    gamma.SaveToMessage(&message);
    YKGammaCorrection loaded;
    loaded.LoadFromMessage(message);
    EXPECT_EQ(loaded.RedTable(), gamma.RedTable());

    YKMessage bad(YKGammaCorrection::kMessageWhat);
    bad.AddDouble("grn", std::numeric_limits<double>::quiet_NaN());
    bad.AddDouble("blu", -3.0);
    bad.AddFloat("red", 3.0f);  // wrong type
    loaded.LoadFromMessage(bad);
    YKMessage other('othr');
    other.AddDouble("red", 3.0);
    loaded.LoadFromMessage(other);
    EXPECT_DOUBLE_EQ(loaded.Red(), 1.8);
    EXPECT_DOUBLE_EQ(loaded.Green(), 2.2);
    EXPECT_DOUBLE_EQ(loaded.Blue(), 0.9);
}

TEST(GammaTest, PatternPatchesAndApplyFollowEachChannel) {
    YKGammaCorrection gamma;
    gamma.SetGamma(2.0, 1.0, 0.5);
    const std::unique_ptr<YKRaster> pattern = gamma.TestPattern();
    ASSERT_EQ(pattern->Width(), 64);
    ASSERT_EQ(pattern->Height(), 128);
    // 255 * (128 / 255)^(1 / g): 180 for 2.0, 128 for 1.0, 64 for 0.5.
    EXPECT_EQ(PixelAt(*pattern, 16, 0), 0xFFB40000u);    // red band, patch
    EXPECT_EQ(PixelAt(*pattern, 47, 40), 0xFF008000u);   // green band, patch
    EXPECT_EQ(PixelAt(*pattern, 30, 127), 0xFFB48040u);  // white band, every channel
    EXPECT_EQ(PixelAt(*pattern, 14, 64), 0xFF0000FFu);   // blue band, checker beside
    EXPECT_EQ(PixelAt(*pattern, 15, 64), 0xFF000000u);   // and its black square
    EXPECT_EQ(PixelAt(*pattern, 63, 33), 0xFF00FF00u);

    YKRaster raster({0, 0, 1, 0});
    reinterpret_cast<uint32*>(raster.Bits())[0] = 0x80404040u;
    reinterpret_cast<uint32*>(raster.Bits())[1] = 0xFFFFFFFFu;
    gamma.Apply(raster);
    EXPECT_EQ(PixelAt(raster, 0, 0), 0x807F4010u);  // alpha stays
    EXPECT_EQ(PixelAt(raster, 1, 0), 0xFFFFFFFFu);
    EXPECT_FALSE(gamma.IsIdentity());
    EXPECT_TRUE(YKGammaCorrection().IsIdentity());
}

TEST(BitmapLineTest, GrowsOverWritesAndReadsZeroOutside) {
    YKBitmapLine line;
    const uint32 pixels[3] = {0xFF000001, 0x00000002, 0x80000003};
    line.SetData(5, 7, pixels, YK_COPY);
    line.SetPixelAt(-2, -1, 0xFF0000FF, YK_OVER);
    EXPECT_EQ(line.Left(), -2);
    EXPECT_EQ(line.Right(), 7);
    uint32 out[12];
    line.GetData(-3, 8, out);
    const uint32 expected[12] = {0, 0xFF0000FF, 0xFF0000FF, 0,          0,          0,
                                 0, 0,          0xFF000001, 0x00000002, 0x80000003, 0};
    EXPECT_TRUE(std::equal(out, out + 12, expected));

    line.SetPixelAt(5, 5, 0x80FFFFFF, YK_NORMAL);  // other methods composite
    EXPECT_EQ(line.PixelAt(5), hash_pixel_func[YK_NORMAL](0xFF000001, 0x80FFFFFF, 255));
    line.ApplyTransparency(0.5f, 6, 100);
    EXPECT_EQ(line.PixelAt(7), 0x40000003u);
    YKBitmapLine copy(line);
    copy.OffsetBy(10);
    YKBitmapLine merged;
    merged.MergeWith(copy, 16, 40, YK_COPY);
    EXPECT_EQ(merged.Left(), 16);
    EXPECT_EQ(merged.Right(), 17);
    EXPECT_EQ(merged.PixelAt(17), 0x40000003u);
}

class DrawInTest : public ::testing::Test {
protected:
    void SetUp() override {
        mBitmap.SetBoardColor(kLight, true);  // the other squares: 0x20E0E0E0
        mBitmap.SetPixelAt(1, 1, 1, kRed, YK_COPY);
        mBitmap.SetPixelAt(1, 2, 1, kHalfGreen, YK_COPY);
    }
    uint32 Shown(int32 x, int32 y) const { return PixelAt(mScreen, x, y); }

    static constexpr uint32 kRed = 0xFFFF0000;
    static constexpr uint32 kHalfGreen = 0x8000FF00;
    static constexpr uint32 kLight = 0x20FFFFFF;
    YKDrawBitmap mBitmap;
    YKRaster mScreen{Rect{0, 0, 15, 15}};
};

TEST_F(DrawInTest, MagnifiedPixelsCoverWholeSquaresOverTheCheckerboard) {
    mBitmap.SetZoom(3);
    mBitmap.DrawIn(&mScreen, mScreen.Frame());
    for (int32 y = 0; y < 16; ++y) {
        for (int32 x = 0; x < 16; ++x) {
            const uint32 board = ((x / 8) ^ (y / 8)) & 1 ? 0x20E0E0E0u : kLight;
            const bool row = y / 4 == 1;
            const uint32 pixel = row && x / 4 == 1 ? kRed : row && x / 4 == 2 ? kHalfGreen : 0;
            ASSERT_EQ(Shown(x, y), YKAlphaBlend::Compose(pixel, board)) << x << "," << y;
        }
    }
}

TEST_F(DrawInTest, ReducedViewSamplesEveryOtherPixelAndHonoursTheDocumentFrame) {
    mBitmap.SetZoom(-1);
    mBitmap.SetPixelAt(2, 2, 1, kRed, YK_COPY);
    mBitmap.DrawIn(&mScreen, {0, 0, 3, 3});
    EXPECT_EQ(Shown(1, 1), kRed);  // document (2, 2)
    EXPECT_EQ(Shown(0, 0), kLight);
    EXPECT_EQ(Shown(4, 4), 0u);  // outside the rectangle drawn

    mBitmap.SetDocumentFrame({0, 0, 1, 1});
    mBitmap.SetOverscan(false);
    mBitmap.DrawIn(&mScreen, mScreen.Frame());
    EXPECT_EQ(Shown(1, 1), kLight);
}

}  // namespace
