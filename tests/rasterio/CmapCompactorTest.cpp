#include <gtest/gtest.h>

#include "CmapCompactor.h"
#include "QuantizerTestImages.h"

namespace {

Cmap Numbered(int32 count) {
    Cmap cmap;
    cmap.count = count;
    for (int32 i = 0; i < count; ++i) {
        cmap.colors[i] = {uint8(i), uint8(10 + i), uint8(20 + i)};
    }
    return cmap;
}

Indices Using(std::initializer_list<uint8> used) {
    Indices indices(int32(used.size()), 2, 1);
    int32 x = 0;
    for (const uint8 i : used) {
        indices.At(x, 0) = i;
        indices.At(x++, 1) = i;
    }
    return indices;
}

TEST(CmapCompactorTest, ASecondEntryOfTheSameColourFoldsIntoTheFirst) {
    Cmap cmap = Numbered(10);
    cmap.colors[7] = cmap.colors[3];
    Indices indices = Using({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 7});
    CmapCompactor compactor(cmap);
    compactor.Stat(indices.view);
    compactor.CompactCmap();
    compactor.CompactPixmap(indices.view);
    EXPECT_EQ(cmap.count, 9);
    EXPECT_EQ(indices.At(7, 1), 3);
    EXPECT_EQ(indices.At(10, 0), 3);
    EXPECT_EQ(indices.At(8, 0), 7);
    EXPECT_EQ(cmap.colors[7], Numbered(10).colors[8]);
    EXPECT_EQ(cmap.colors[8], Numbered(10).colors[9]);
}

// The transparent entry stays, used or not, and takes no other entry of its colour.
TEST(CmapCompactorTest, UnusedEntriesGoTheTransparentOneStays) {
    Cmap cmap = Numbered(8);
    cmap.transparent = 4;
    cmap.colors[6] = cmap.colors[4];
    Indices indices = Using({1, 6, 3, 1, 6});
    CmapCompactor compactor(cmap);
    compactor.Stat(indices.view);
    compactor.CompactCmap();
    compactor.CompactPixmap(indices.view);
    ASSERT_EQ(cmap.count, 4);
    EXPECT_EQ(cmap.transparent, 2);
    const Cmap before = Numbered(8);
    EXPECT_EQ(cmap.colors[0], before.colors[1]);
    EXPECT_EQ(cmap.colors[1], before.colors[3]);
    EXPECT_EQ(cmap.colors[2], before.colors[4]);
    EXPECT_EQ(cmap.colors[3], before.colors[4]);
    for (int32 y = 0; y < 2; ++y) {
        EXPECT_EQ(indices.At(0, y), 0);
        EXPECT_EQ(indices.At(1, y), 3);
        EXPECT_EQ(indices.At(2, y), 1);
    }
}

}  // namespace
