// YKBitmap::MergeWith against the obvious per-pixel loop over the merge methods, on random
// sparse bitmaps whose offsets and rectangles do not line up with the 64-pixel blocks.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "YKBitmap.h"
#include "yk_composition.h"

namespace {

using Rect = YKRect<int32>;

// Pixels of a rectangle, row after row, read through GetLineAt.
std::vector<uint32> Snapshot(YKBitmap& bitmap, Rect area) {
    const int32 width = area.right - area.left + 1;
    std::vector<uint32> pixels(static_cast<std::size_t>(width) * (area.bottom - area.top + 1));
    for (int32 y = area.top; y <= area.bottom; ++y) {
        bitmap.GetLineAt(y, area.left, area.right, false,
                         pixels.data() + static_cast<std::size_t>(y - area.top) * width);
    }
    return pixels;
}

class BitmapMergeTest : public ::testing::Test {
protected:
    uint32 RandomPixel() {
        // Transparent and opaque pixels are the edge cases of every method: make them common.
        const uint32 alphas[] = {0, 255, 255, static_cast<uint32>(mRandom() & 255)};
        return alphas[mRandom() % 4] << 24 | (mRandom() & 0xFFFFFF);
    }
    int32 Between(int32 low, int32 high) {
        return std::uniform_int_distribution<int32>(low, high)(mRandom);
    }
    // A few runs scattered over a 300 x 300 area: leaves gaps of missing blocks inside the frame.
    void Scatter(YKBitmap* bitmap) {
        std::vector<uint32> run(300);
        for (int32 i = Between(1, 40); i > 0; --i) {
            for (uint32& pixel : run) {
                pixel = RandomPixel();
            }
            const int32 x = Between(-150, 100);
            bitmap->SetLineAt(run.data(), Between(-150, 150), x, x + Between(0, 199));
        }
        bitmap->MoveBy(Between(-100, 100), Between(-100, 100));
    }

    std::mt19937 mRandom{20240611};
};

TEST_F(BitmapMergeTest, MatchesPerPixelReferenceOnUnalignedBitmaps) {
    for (int32 round = 0; round < 400; ++round) {
        const int32 mode = round % YK_COMPOSITION_MODE_COUNT;
        if (mode == YK_DISSOLVE) {
            continue;  // random by nature: the two paths draw their numbers in another order
        }
        YKBitmap target;
        YKBitmap source;
        Scatter(&target);
        Scatter(&source);
        if (round % 7 == 0) {
            target.MakeEmpty();
        }
        const int32 opacity = round % 5 == 0 ? 255 : Between(0, 255);
        const Rect rect = round % 3 == 0 ? Rect{-100000, -100000, 100000, 100000}
                                         : Rect{Between(-250, 50), Between(-250, 50),
                                                Between(50, 250), Between(50, 250)};

        const Rect grown = target.Frame() | source.Frame();
        std::vector<uint32> expected = Snapshot(target, grown);
        const std::vector<uint32> from = Snapshot(source, grown);
        const Rect merged = rect & grown & source.Frame();
        const yk_pixel_func pixel = hash_pixel_func[mode];
        const int32 width = grown.right - grown.left + 1;
        for (int32 y = merged.top; y <= merged.bottom; ++y) {
            for (int32 x = merged.left; x <= merged.right; ++x) {
                const std::size_t i =
                    static_cast<std::size_t>(y - grown.top) * width + (x - grown.left);
                expected[i] = pixel(expected[i], from[i], static_cast<uint32>(opacity));
            }
        }

        target.MergeWith(&source, rect, mode, opacity);
        ASSERT_EQ(target.Frame(), grown) << "round " << round;
        const std::vector<uint32> actual = Snapshot(target, grown);
        for (std::size_t i = 0; i < actual.size(); ++i) {
            ASSERT_EQ(actual[i], expected[i])
                << "round " << round << " mode " << mode << " pixel ("
                << grown.left + int32(i % width) << ", " << grown.top + int32(i / width) << ")";
        }
    }
}

TEST_F(BitmapMergeTest, LockedTargetMergesOnlyInsideItsFrame) {
    YKBitmap target;
    target.SetPixelAt(0, 0, 10, 0xFF000000, YK_COPY);
    target.LockFrame();
    YKBitmap source;
    source.SetPixelAt(0, -5, 30, 0xFFFFFFFF, YK_COPY);
    target.MergeWith(&source, {-100, -100, 100, 100}, YK_NORMAL, 255);
    EXPECT_EQ(target.Frame(), (Rect{0, 0, 9, 0}));
    const std::vector<uint32> row = Snapshot(target, {-5, 0, 24, 0});
    for (int32 x = -5; x <= 24; ++x) {
        EXPECT_EQ(row[static_cast<std::size_t>(x + 5)], x >= 0 && x <= 9 ? 0xFFFFFFFFu : 0u) << x;
    }
}

TEST_F(BitmapMergeTest, TransparentSourceMakesNoTargetBlocks) {
    YKBitmap target;
    YKBitmap source;
    source.SetPixelAt(0, 0, 1, 0xFF0000FF, YK_COPY);
    source.SetPixelAt(1000, 1000, 1, 0xFF0000FF, YK_COPY);  // frame spans 16 x 16 blocks
    target.MergeWith(&source, source.Frame(), YK_NORMAL, 255);
    EXPECT_EQ(target.Stat(), 2);
    target.MergeWith(&source, source.Frame(), YK_COPY, 255);
    EXPECT_EQ(target.Stat(), 2);
}

}  // namespace
