#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "YKMessage.h"
#include "YKRaster.h"

namespace {

using Rect = YKRect<int32>;

// Distinct bytes, so that a copy from the wrong place shows.
void FillCounting(YKRaster* raster) {
    for (int32 i = 0; i < raster->BitsLength(); ++i) {
        raster->Bits()[i] = static_cast<uint8>(i * 7 + 3);
    }
}

std::vector<uint8> BytesOf(const YKRaster& raster) {
    return {raster.Bits(), raster.Bits() + raster.BitsLength()};
}

TEST(RasterTest, SmallFrameSizesAndByteIdenticalArchive) {
    YKRaster raster({0, 0, 9, 4}, "round trip");
    EXPECT_EQ(raster.BitsLength(), 200);  // the frame's corners are both inside
    FillCounting(&raster);
    YKMessage archive;
    raster.Archive(&archive);
    YKMessage flattened;
    ASSERT_TRUE(flattened.Unflatten(archive.Flatten().data(), archive.FlattenedSize()));

    YKRaster restored(flattened);
    EXPECT_EQ(restored.Frame(), raster.Frame());
    EXPECT_STREQ(restored.Name(), "round trip");
    EXPECT_EQ(BytesOf(restored), BytesOf(raster));
    YKMessage again;
    restored.Archive(&again);
    EXPECT_EQ(again.Flatten(), archive.Flatten());
}

TEST(RasterTest, ArchiveDataOfTheWrongLengthFillsOnlyTheStore) {
    const std::vector<uint8> data(1000, 0xAB);
    for (const ssize_t length : {ssize_t{0}, ssize_t{7}, ssize_t{200}, ssize_t{1000}}) {
        YKMessage archive;
        archive.AddRect("YKRaster::_frame", {0, 0, 9, 4});
        archive.AddData("YKRaster::_data", YK_RAW_TYPE, data.data(), length);
        const YKRaster raster(archive);
        ASSERT_EQ(raster.BitsLength(), 200);
        for (int32 i = 0; i < 200; ++i) {
            ASSERT_EQ(raster.Bits()[i], i < length ? 0xAB : 0)
                << "length " << length << " at " << i;
        }
    }
}

TEST(RasterTest, HostileArchiveFieldsLeaveDefaults) {
    YKMessage wrongTypes;
    wrongTypes.AddInt32("YKRaster::_name", 12);
    wrongTypes.AddRect("YKRaster::_frame", {0, 0, 1, 1});
    wrongTypes.AddString("YKRaster::_color_space", "four");
    wrongTypes.AddString("YKRaster::_data", "not raw bytes at all");
    const YKRaster raster(wrongTypes);
    EXPECT_STREQ(raster.Name(), "YKRaster");
    EXPECT_EQ(raster.ColorSpace(), YK_RGBA_COLOR_SPACE);
    EXPECT_EQ(BytesOf(raster), std::vector<uint8>(16, 0));

    YKMessage frameAsNumber;
    frameAsNumber.AddInt32("YKRaster::_frame", 5);
    EXPECT_EQ(YKRaster(frameAsNumber).Bits(), nullptr);

    // Sides whose product overflows, a side or a total beyond the store limit, an empty frame.
    for (const Rect& frame :
         {Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, Rect{-2000000000, 0, 2000000000, 0},
          Rect{0, 0, 32768, 0}, Rect{0, 0, 16383, 8192}, Rect{5, 0, 4, 0}}) {
        YKMessage huge;
        huge.AddRect("YKRaster::_frame", frame);
        huge.AddInt32("YKRaster::_color_space", YK_RGBA64_COLOR_SPACE);
        huge.AddData("YKRaster::_data", YK_RAW_TYPE, "xyz", 3);
        YKRaster refused(huge);
        EXPECT_EQ(refused.Bits(), nullptr) << frame.left;
        EXPECT_EQ(refused.BitsLength(), 0);
        refused.FillRect(0, 0, 10, 10);
        refused.SwapEndian();
        refused.OffsetBy(3, 3);
        EXPECT_FALSE(refused.Frame().IsValid());
    }
    EXPECT_TRUE(yk_image_size_ok(16384, 8192, 8));  // exactly 1 GiB
    EXPECT_FALSE(yk_image_size_ok(16384, 8193, 8));

    // Within the store limit, a large frame still needs the data to back it; a small one may
    // come without any.
    YKMessage unbacked;
    unbacked.AddRect("YKRaster::_frame", {0, 0, 8191, 8191});
    EXPECT_EQ(YKRaster(unbacked).Bits(), nullptr);
    YKMessage blank;
    blank.AddRect("YKRaster::_frame", {0, 0, 99, 99});
    EXPECT_EQ(YKRaster(blank).BitsLength(), 40000);
}

TEST(RasterTest, DuplicatesChooseTheirStore) {
    YKRaster own({2, 3, 12, 8}, "dup");
    FillCounting(&own);
    const std::unique_ptr<YKRaster> native = own.DuplicateRaster(YK_RASTER_NATIVE);
    ASSERT_NE(native->GetBBitmap(), nullptr);
    EXPECT_EQ(native->Bits(), native->GetBBitmap()->Bits());
    EXPECT_EQ(native->Frame(), own.Frame());
    EXPECT_STREQ(native->Name(), "dup");
    EXPECT_EQ(BytesOf(*native), BytesOf(own));
    EXPECT_NE(native->DuplicateRaster()->GetBBitmap(), nullptr);
    EXPECT_EQ(native->DuplicateRaster(YK_RASTER_OWN)->GetBBitmap(), nullptr);
    EXPECT_FALSE(own.IsLocked());

    const YKRaster wrapped(std::make_unique<YKPlatformBitmap>(YKRect<float>{0, 0, 4.7f, 2.2f}));
    EXPECT_EQ(wrapped.Frame(), (Rect{0, 0, 4, 2}));
    EXPECT_EQ(wrapped.BytesPerRow(), 20);
}

TEST(RasterTest, SwapEndianByPixelSize) {
    YKRaster wide({0, 0, 2, 1});
    FillCounting(&wide);
    const std::vector<uint8> before = BytesOf(wide);
    wide.SwapEndian();
    EXPECT_EQ(wide.Bits()[0], before[3]);
    EXPECT_EQ(wide.Bits()[5], before[6]);
    wide.SwapEndian();
    EXPECT_EQ(BytesOf(wide), before);

    YKRaster half({0, 0, 2, 0}, nullptr, YK_RGB16_COLOR_SPACE);
    YKRaster deep({0, 0, 2, 1}, nullptr, YK_RGBA64_COLOR_SPACE);
    FillCounting(&half);
    FillCounting(&deep);
    const std::vector<uint8> deepBefore = BytesOf(deep);
    half.SwapEndian();
    deep.SwapEndian();
    EXPECT_EQ(half.Bits()[1], 3);
    EXPECT_EQ(BytesOf(deep), deepBefore);
}

TEST(RasterTest, OptimizedFrameFollowsVisiblePixelsAndOffsets) {
    YKRaster raster({10, 20, 29, 39});
    raster.ResetOptmizedFrame();
    EXPECT_FALSE(raster.OptimizedFrame().IsValid());
    raster.SetHighColor(1, 2, 3, 1);
    raster.PutPixel(12, 38);
    raster.PutPixel(27, 21);
    raster.ResetOptmizedFrame();
    EXPECT_EQ(raster.OptimizedFrame(), (Rect{12, 21, 27, 38}));
    raster.OffsetTo(0, 0);
    raster.OffsetBy({-2, 5});
    EXPECT_EQ(raster.Frame(), (Rect{-2, 5, 17, 24}));
    EXPECT_EQ(raster.OptimizedFrame(), (Rect{0, 6, 15, 23}));
}

TEST(RasterTest, InitEmptyOnlyWhileLocked) {
    YKRaster raster({0, 0, 3, 3});
    raster.InitEmpty();
    EXPECT_EQ(raster.Bits()[0], 0);
    raster.Lock();
    raster.Lock();
    raster.InitEmpty();
    raster.Unlock();
    EXPECT_TRUE(raster.IsLocked());
    raster.Unlock();
    EXPECT_EQ(BytesOf(raster), std::vector<uint8>(64, 0xFF));
}

TEST(RasterDeathTest, LockMisuseIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            YKRaster raster({0, 0, 1, 1});
            raster.Lock();
        },
        "raster/src/YKRaster:[0-9]+: assertion failed: _lock_count == 0");
    EXPECT_DEATH(YKRaster({0, 0, 1, 1}).Unlock(), "assertion failed: _lock_count > 0");
    EXPECT_DEATH(YKRaster({0, 0, 1, 1}, nullptr, YK_GRAY8_COLOR_SPACE, true),
                 "assertion failed: _color_space == YK_RGBA_COLOR_SPACE");
}

}  // namespace
