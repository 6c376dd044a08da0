#include <gtest/gtest.h>

#include <cstring>

#include "YKMatrixManager.h"

namespace {

// Marks a block with a byte derived from its key so that a lookup returning the wrong block shows.
uint8 Mark(int32 column, int32 row) { return static_cast<uint8>(column * 7 + row * 13 + 1); }

TEST(MatrixManagerTest, BlockSizesFollowThePixelSize) {
    const struct {
        int32 space;
        int32 rowBytes;
    } cases[] = {{0, 64}, {1, 64}, {2, 128}, {3, 256}, {4, 512}, {9, 256}, {-1, 256}};
    for (const auto& c : cases) {
        YKMatrixManager store(static_cast<yk_color_space>(c.space));
        EXPECT_EQ(store.BytesPerBlockRow(), c.rowBytes) << "space " << c.space;
        EXPECT_EQ(store.BytesPerPixel(), c.rowBytes / 64) << "space " << c.space;
    }
}

TEST(MatrixManagerTest, BlocksAreMadeClearedOnlyWhenAsked) {
    YKMatrixManager store;
    EXPECT_EQ(store.Get(3, -2, false), nullptr);
    EXPECT_EQ(store.Stat(), 0);
    uint8* block = store.Get(3, -2, true);
    ASSERT_NE(block, nullptr);
    for (int32 i = 0; i < 64 * 256; ++i) {
        ASSERT_EQ(block[i], 0) << i;
    }
    EXPECT_EQ(store.Get(3, -2, true), block);
    EXPECT_EQ(static_cast<const YKMatrixManager&>(store).Get(3, -2), block);
    EXPECT_EQ(store.Stat(), 1);
    EXPECT_EQ(store.KeyAt(0), (YKPoint<int32>{3, -2}));
}

TEST(MatrixManagerTest, ClearingBlocksKeepsTheOthersFindable) {
    YKMatrixManager store(YK_GRAY8_COLOR_SPACE);
    for (int32 row = -3; row < 3; ++row) {
        for (int32 column = -3; column < 3; ++column) {
            std::memset(store.Get(column, row, true), Mark(column, row), 4096);
        }
    }
    ASSERT_EQ(store.Stat(), 36);
    store.Clr(-3, -3);  // the first block
    store.Clr(2, 2);    // the last block
    store.Clr(0, 0);
    store.Clr(0, 0);  // gone already
    store.Clr(40, 40);
    EXPECT_EQ(store.Stat(), 33);
    for (int32 row = -3; row < 3; ++row) {
        for (int32 column = -3; column < 3; ++column) {
            const uint8* block = static_cast<const YKMatrixManager&>(store).Get(column, row);
            const bool cleared = (column == -3 && row == -3) || (column == 2 && row == 2) ||
                                 (column == 0 && row == 0);
            if (cleared) {
                EXPECT_EQ(block, nullptr);
            } else {
                ASSERT_NE(block, nullptr);
                EXPECT_EQ(block[4095], Mark(column, row)) << column << "," << row;
            }
        }
    }
    for (int32 i = 0; i < store.Stat(); ++i) {
        const YKPoint<int32> key = store.KeyAt(i);
        EXPECT_EQ(store.BlockAt(i)[0], Mark(key.x, key.y)) << "index " << i;
    }
}

TEST(MatrixManagerTest, CopiesAreDeepAndColorSpaceChangesFreeBlocks) {
    YKMatrixManager store;
    store.Get(0, 0, true)[5] = 42;
    YKMatrixManager copy(store);
    copy.Get(0, 0, true)[5] = 7;
    EXPECT_EQ(store.Get(0, 0, false)[5], 42);

    YKMatrixManager assigned(YK_GRAY8_COLOR_SPACE);
    assigned.Get(9, 9, true);
    assigned = store;
    EXPECT_EQ(assigned.Stat(), 1);
    EXPECT_EQ(assigned.ColorSpace(), YK_RGBA_COLOR_SPACE);
    EXPECT_EQ(assigned.Get(0, 0, false)[5], 42);

    store.SetColorSpace(static_cast<yk_color_space>(12));  // also 4 bytes a pixel
    EXPECT_EQ(store.Stat(), 1);
    store.SetColorSpace(YK_RGBA64_COLOR_SPACE);
    EXPECT_EQ(store.Stat(), 0);
    EXPECT_EQ(store.BytesPerBlockRow(), 512);
}

TEST(MatrixManagerTest, MemoryStatisticsCountEveryStoreAt16KiBABlock) {
    const int64 before = yk_matrixmanager_statmemory();
    {
        YKMatrixManager wide;
        YKMatrixManager narrow(YK_GRAY1_COLOR_SPACE);
        wide.Get(0, 0, true);
        wide.Get(1, 0, true);
        narrow.Get(-5, 5, true);
        EXPECT_EQ(yk_matrixmanager_statmemory() - before, 3 * 16384);
        YKMatrixManager copy(wide);
        EXPECT_EQ(yk_matrixmanager_statmemory() - before, 5 * 16384);
        wide.Clr(0, 0);
        narrow.ClrAll();
        EXPECT_EQ(yk_matrixmanager_statmemory() - before, 3 * 16384);
        yk_matrixmanager_garbagecollector();
        EXPECT_EQ(yk_matrixmanager_statmemory() - before, 3 * 16384);
    }
    EXPECT_EQ(yk_matrixmanager_statmemory(), before);
}

}  // namespace
