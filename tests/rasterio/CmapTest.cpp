#include <gtest/gtest.h>

#include "QuantizerTestImages.h"

namespace {

// The web-safe palette is the 6 x 6 x 6 cube in steps of 51, blue varying fastest.
TEST(CmapTest, WebSafeIsTheCubeInStepsOf51) {
    const Cmap& web = *Cmap::GetCmap(0);
    ASSERT_EQ(web.count, 216);
    EXPECT_EQ(web.transparent, -1);
    for (int32 i = 0; i < 216; ++i) {
        const Color expected{uint8(i / 36 * 51), uint8(i / 6 % 6 * 51), uint8(i % 6 * 51)};
        ASSERT_EQ(web.colors[i], expected) << i;
    }
}

TEST(CmapTest, FourFixedPalettesOfWhichOnlyTheLastHasATransparentEntry) {
    ASSERT_EQ(Cmap::NumCmaps(), 4);
    for (int32 i = 1; i < 4; ++i) {
        EXPECT_EQ(Cmap::GetCmap(i)->count, 256);
        EXPECT_EQ(Cmap::GetCmap(i)->transparent, i == 3 ? 255 : -1);
    }
    EXPECT_EQ(Cmap::GetCmap(4), nullptr);
    EXPECT_EQ(Cmap::GetCmapName(-1), nullptr);
}

// The cube part of the Mac palette is the web cube without its black, in the same order.
TEST(CmapTest, MacOSEndsWithTheWebCube) {
    const Cmap& mac = *Cmap::GetCmap(2);
    const Cmap& web = *Cmap::GetCmap(0);
    for (int32 i = 1; i < 216; ++i) {
        ASSERT_EQ(mac.colors[40 + i], web.colors[i]) << i;
    }
}

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
