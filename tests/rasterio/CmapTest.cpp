#include <gtest/gtest.h>

#include "QuantizerTestImages.h"

namespace {

TEST(CmapTest, SetTransparentTakesTheFirstNearestEntry) {
    Cmap cmap;
    cmap.count = 4;
    cmap.colors[0] = {0, 0, 0};
    cmap.colors[1] = {10, 10, 10};
    cmap.colors[2] = {30, 10, 10};
    cmap.colors[3] = {10, 10, 10};
    cmap.SetTransparent({11, 10, 9});
    EXPECT_EQ(cmap.transparent, 1);
    cmap.SetTransparent({20, 10, 10});  // as far from 1 as from 2
    EXPECT_EQ(cmap.transparent, 1);
    cmap.SetTransparent({200, 0, 0});
    EXPECT_EQ(cmap.transparent, 2);
}

}  // namespace
