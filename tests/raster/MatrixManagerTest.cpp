#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <utility>

#include "YKMatrixManager.h"

namespace {

// A byte derived from a block's key, so that a lookup returning the wrong block shows.
uint8 Mark(int32 column, int32 row) {
    return static_cast<uint8>(column * 7 + row * 13 + 1);
}

TEST(MatrixManagerTest, BlocksAreMadeClearedOnlyWhenAsked) {
    YKMatrixManager store;
    EXPECT_EQ(store.Get(3, -2, false), nullptr);
    uint8* block = store.Get(3, -2, true);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::count(block, block + 64 * 256, 0), 64 * 256);
    EXPECT_EQ(store.Get(3, -2, true), block);
    EXPECT_EQ(store.Stat(), 1);
    EXPECT_EQ(store.KeyAt(0), (YKPoint<int32>{3, -2}));
}

// Freed blocks are handed to the next store that needs one: they must come back cleared, from
// another thread as well.
TEST(MatrixManagerTest, BlocksFreedByOneStoreComeBackClearedToAnother) {
    const auto dirtyAndFree = [] {
        YKMatrixManager store;
        for (int32 column = 0; column < 8; ++column) {
            std::memset(store.Get(column, 0, true), 0xAB, 64 * 256);
        }
        store.Clr(0, 0);
    };
    dirtyAndFree();
    std::thread(dirtyAndFree).join();
    YKMatrixManager next;
    for (int32 column = 0; column < 16; ++column) {
        const uint8* block = next.Get(column, 5, true);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(std::count(block, block + 64 * 256, 0), 64 * 256) << column;
    }
}

// Clearing moves the last block into the freed slot: the index must follow it.
TEST(MatrixManagerTest, ClearingBlocksKeepsTheOthersFindable) {
    YKMatrixManager store(YK_GRAY8_COLOR_SPACE);
    for (int32 row = -3; row < 3; ++row) {
        for (int32 column = -3; column < 3; ++column) {
            std::memset(store.Get(column, row, true), Mark(column, row), 4096);
        }
    }
    store.Clr(-3, -3);  // the first block
    store.Clr(2, 2);    // the last block
    store.Clr(0, 0);
    store.Clr(0, 0);  // gone already
    EXPECT_EQ(store.Stat(), 33);
    for (int32 row = -3; row < 3; ++row) {
        for (int32 column = -3; column < 3; ++column) {
            const uint8* block = std::as_const(store).Get(column, row);
            if (column == row && (column == -3 || column == 0 || column == 2)) {
                EXPECT_EQ(block, nullptr) << column;
            } else {
                ASSERT_NE(block, nullptr);
                EXPECT_EQ(block[4095], Mark(column, row)) << column << "," << row;
            }
        }
    }
    for (int32 i = 0; i < store.Stat(); ++i) {
        EXPECT_EQ(store.BlockAt(i)[0], Mark(store.KeyAt(i).x, store.KeyAt(i).y)) << i;
    }
}

TEST(MatrixManagerTest, CopiesAreDeepAndPixelSizeChangesFreeBlocks) {
    YKMatrixManager store;
    store.Get(0, 0, true)[5] = 42;
    YKMatrixManager copy(store);
    copy.Get(0, 0, true)[5] = 7;
    YKMatrixManager assigned(YK_GRAY8_COLOR_SPACE);
    assigned.Get(9, 9, true);
    assigned = store;
    EXPECT_EQ(store.Get(0, 0, false)[5], 42);
    EXPECT_EQ(assigned.Get(0, 0, false)[5], 42);
    EXPECT_EQ(assigned.Stat(), 1);

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
        YKMatrixManager copy(wide);
        EXPECT_EQ(yk_matrixmanager_statmemory() - before, 5 * 16384);
        wide.Clr(0, 0);
        narrow.ClrAll();
        yk_matrixmanager_garbagecollector();
        EXPECT_EQ(yk_matrixmanager_statmemory() - before, 3 * 16384);
    }
    EXPECT_EQ(yk_matrixmanager_statmemory(), before);
}

}  // namespace
