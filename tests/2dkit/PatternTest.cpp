#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "YKBitmapRoster.h"
#include "YKMessage.h"
#include "YKPattern.h"
#include "YKRaster.h"
#include "YKSharedBitmap.h"

namespace {

// A 32-bit raster whose every pixel tells its place: 0xFF000000 | y << 8 | x.
std::unique_ptr<YKRaster> Numbered(int32 width, int32 height) {
    auto raster = std::make_unique<YKRaster>(YKRect<int32>{0, 0, width - 1, height - 1});
    for (int32 y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32*>(raster->Bits() + y * raster->BytesPerRow());
        for (int32 x = 0; x < width; ++x) {
            row[x] = 0xFF000000u | static_cast<uint32>(y) << 8 | static_cast<uint32>(x);
        }
    }
    return raster;
}

TEST(PatternTest, CopiesOnlyThirtyTwoBitRasters) {
    const auto raster = Numbered(16, 16);
    YKPattern pattern(raster.get());
    ASSERT_EQ(pattern.BytesPerRow(), 64);
    EXPECT_EQ(std::memcmp(pattern.Data(), raster->Bits(), 16 * 64), 0);

    const YKRaster gray(YKRect<int32>{0, 0, 15, 15}, "gray", YK_GRAY8_COLOR_SPACE);
    EXPECT_FALSE(pattern.SetData(&gray));
    EXPECT_FALSE(pattern.SetData(nullptr));
    EXPECT_EQ(pattern.Data(), nullptr);
    EXPECT_EQ(pattern.Width(), 0);
    EXPECT_EQ(pattern.BytesPerRow(), 0);
    EXPECT_EQ(pattern.TexelAt(3, 4), 0u);
}

TEST(PatternTest, TexelsRepeatWithThePatternsSizeInEveryDirection) {
    for (const auto& [width, height] : {std::pair{16, 16}, std::pair{3, 5}}) {
        const YKPattern pattern(Numbered(width, height).get());
        for (int64 y = -40; y <= 40; ++y) {
            for (int64 x = -40; x <= 40; ++x) {
                const int64 column = ((x % width) + width) % width;
                const int64 row = ((y % height) + height) % height;
                const auto expected = static_cast<uint32>(0xFF000000 | row << 8 | column);
                ASSERT_EQ(pattern.TexelAt(x, y), expected) << x << "," << y;
                ASSERT_EQ(pattern.TexelAt(x + 3 * width, y - 7 * height), pattern.TexelAt(x, y));
            }
        }
    }
}

TEST(PatternTest, SharedBitmapArchiveRestoresPixelsAndTakesTheFirstCentreTwice) {
    YKSharedBitmap shared("bricks", Numbered(5, 3).get());
    YKPattern* pattern = shared.Pattern();
    pattern->SetAlpha(200);
    pattern->SetRotation({3.0, 4.0}, 0.5);
    pattern->SetScale(2.0, 0.5);
    pattern->SetRefPoint({7.0, 8.0});
    YKMessage archive;
    shared.ArchiveIn(&archive);
    EXPECT_TRUE(shared.Saved());

    const YKSharedBitmap restored(archive);
    EXPECT_STREQ(restored.Name(), "bricks");
    EXPECT_EQ(restored.NbrOccurrence(), 1);
    EXPECT_FALSE(restored.Saved());
    const YKPattern* copy = restored.Pattern();
    const YKPoint<double> centre{3.0, 4.0};
    EXPECT_EQ(std::tuple(copy->Alpha(), copy->Angle(), copy->ScaleX(), copy->ScaleY(),
                         copy->Center(), copy->RefPoint()),
              std::tuple(200, 0.5, 2.0, 0.5, centre, centre));
    ASSERT_EQ(copy->BytesPerRow(), 20);
    EXPECT_EQ(std::memcmp(copy->Data(), pattern->Data(), 3 * 20), 0);
}

TEST(PatternTest, DamagedArchivesLoadWithoutPixels) {
    YKMessage good;
    YKPattern(Numbered(4, 4).get()).ArchiveIn(&good);
    const std::vector<std::function<void(YKMessage&)>> damages = {
        [](YKMessage& m) { m.ReplaceInt32("ny", 5); },      // length no longer bpr x ny
        [](YKMessage& m) { m.ReplaceInt32("nx", 5); },      // rows shorter than the pixels
        [](YKMessage& m) { m.ReplaceInt32("nx", 40000); },  // beyond the side limit
        [](YKMessage& m) {  // bpr x ny is the data length only modulo 2^32
            m.ReplaceInt32("nx", 1);
            m.ReplaceInt32("ny", 64);
            m.ReplaceInt32("bpr", 0x40000001);
        },
        [](YKMessage& m) { m.ReplaceInt32("ny", -4); },
        [](YKMessage& m) { m.RemoveName("pattern_buffer"); },
    };
    for (std::size_t i = 0; i < damages.size(); ++i) {
        YKMessage archive = good;
        damages[i](archive);
        const YKPattern pattern(archive);
        EXPECT_FALSE(pattern.HasPixels()) << i;
        EXPECT_EQ(pattern.Width(), 0) << i;
        EXPECT_EQ(pattern.Height(), 0) << i;
    }
    EXPECT_TRUE(YKPattern(good).HasPixels());
}

TEST(BitmapRosterTest, SharesANameAndFreesItWithItsLastUser) {
    YKBitmapRoster roster;
    YKSharedBitmap* first = roster.AddBitmap(Numbered(2, 2), "tile");
    YKSharedBitmap* second = roster.AddBitmap(Numbered(9, 9), "tile");
    EXPECT_EQ(first, second);
    EXPECT_EQ(roster.CountBitmaps(), 1);
    EXPECT_EQ(first->NbrOccurrence(), 2);
    EXPECT_EQ(first->Pattern()->Width(), 2);  // the second raster was dropped
    EXPECT_EQ(roster.Bitmap("tile"), first);

    EXPECT_TRUE(roster.DeleteBitmap("tile"));
    EXPECT_EQ(roster.Bitmap("tile"), first);
    EXPECT_TRUE(roster.DeleteBitmap(first));
    EXPECT_EQ(roster.Bitmap("tile"), nullptr);
    EXPECT_FALSE(roster.DeleteBitmap("tile"));
    EXPECT_EQ(roster.AddBitmap(Numbered(2, 2), nullptr), nullptr);

    // From an archive the shared bitmap takes the name it is added under.
    YKMessage archive;
    YKSharedBitmap("old name", Numbered(3, 3).get()).ArchiveIn(&archive);
    YKSharedBitmap* loaded = roster.AddBitmap(archive, "loaded");
    EXPECT_STREQ(loaded->Name(), "loaded");
    EXPECT_EQ(loaded->Pattern()->Width(), 3);
    EXPECT_EQ(roster.AddBitmap(archive, "loaded")->NbrOccurrence(), 2);

    // Long names are kept shortened, and still found under the name given.
    const std::string longName(3000, 'n');
    YKSharedBitmap* longOne = roster.AddBitmap(Numbered(1, 1), longName.c_str());
    EXPECT_EQ(std::strlen(longOne->Name()), YKSharedBitmap::kMaxNameLength);
    EXPECT_EQ(roster.AddBitmap(Numbered(1, 1), longName.c_str()), longOne);
    EXPECT_EQ(roster.Bitmap(longName.c_str()), longOne);
}

TEST(BitmapRosterTest, EachPatternIsArchivedOncePerSave) {
    YKBitmapRoster roster;
    roster.AddBitmap(Numbered(4, 4), "once");
    YKMessage first;
    YKMessage second;
    EXPECT_TRUE(roster.ArchiveOnce("once", &first));
    EXPECT_FALSE(roster.ArchiveOnce("once", &second));
    EXPECT_TRUE(second.IsEmpty());
    EXPECT_FALSE(roster.ArchiveOnce("absent", &second));
    roster.ResetForArchiving();
    EXPECT_TRUE(roster.ArchiveOnce("once", &second));
    EXPECT_TRUE(second.HasData("pattern_buffer", YK_RAW_TYPE));
}

TEST(BitmapRosterTest, ConcurrentUsersBalanceOut) {
    YKBitmapRoster& roster = YKBitmapRoster::Default();
    EXPECT_EQ(&roster, &YKBitmapRoster::Default());
    const int32 before = roster.CountBitmaps();
    std::vector<std::thread> threads;
    for (int32 t = 0; t < 4; ++t) {
        threads.emplace_back([&roster, t] {
            for (int32 i = 0; i < 200; ++i) {
                const std::string name = "concurrent " + std::to_string((i + t) % 3);
                roster.AddBitmap(Numbered(2, 2), name.c_str());
                roster.Bitmap(name.c_str());
                roster.DeleteBitmap(name.c_str());
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(roster.CountBitmaps(), before);
}

}  // namespace
