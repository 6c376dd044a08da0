#include <gtest/gtest.h>

#include <string>

#include "QuantizerTestImages.h"

namespace {

Color Rgb(uint32 rgb) {
    return {uint8(rgb >> 16), uint8(rgb >> 8), uint8(rgb)};
}

struct Entry {
    int32 index;
    uint32 rgb;
};

struct FixedCase {
    const char* name;
    int32 count;
    int32 transparent;
    std::vector<Entry> entries;  // worked out by hand from the tables
};

class FixedCmapTest : public testing::TestWithParam<int32> {};

const FixedCase kFixed[] = {
    {"Web-safe",
     216,
     -1,
     {{0, 0x000000}, {1, 0x000033}, {6, 0x003300}, {51, 0x336699}, {215, 0xFFFFFF}}},
    {"Windows",
     256,
     -1,
     {{0, 0xFFFFFF},
      {8, 0xA0A0A4},
      {48, 0xFFDF55},
      {50, 0xFFBFFF},
      {73, 0xFF1F00},
      {74, 0xFF00AA},
      {75, 0xFF0055},
      {76, 0xD4FFFF},
      {111, 0xD40000},
      {112, 0xAAFFFF},
      {147, 0xAA0000},
      {148, 0x7FFFFF},
      {219, 0x550000},
      {220, 0x2AFFFF},
      {243, 0x2A5F00},
      {244, 0x2A3FFF},
      {245, 0x2A3FAA},
      {246, 0xA6CAF0},
      {255, 0x000000}}},
    {"MacOS",
     256,
     -1,
     {{0, 0x000000},
      {1, 0x111111},
      {10, 0xEEEEEE},
      {11, 0x000011},
      {20, 0x0000EE},
      {21, 0x001100},
      {30, 0x00EE00},
      {31, 0x110000},
      {40, 0xEE0000},
      {41, 0x000033},
      {255, 0xFFFFFF}}},
    {"BeOS",
     256,
     255,
     {{0, 0x000000},
      {31, 0xF8F8F8},
      {62, 0x009833},
      {63, 0xFFFFFF},
      {152, 0xE68600},
      {189, 0xFFAF13},
      {229, 0xFFE346},
      {254, 0xFFFFCB},
      {255, 0xFFFFFF}}},
};

TEST_P(FixedCmapTest, SizeTransparencyAndEntries) {
    const FixedCase& expected = kFixed[GetParam()];
    ASSERT_STREQ(Cmap::GetCmapName(GetParam()), expected.name);
    const Cmap* cmap = Cmap::GetCmap(GetParam());
    ASSERT_NE(cmap, nullptr);
    EXPECT_EQ(cmap->count, expected.count);
    EXPECT_EQ(cmap->transparent, expected.transparent);
    for (const Entry& entry : expected.entries) {
        EXPECT_EQ(cmap->colors[entry.index], Rgb(entry.rgb)) << "entry " << entry.index;
    }
}

INSTANTIATE_TEST_SUITE_P(AllFour, FixedCmapTest, testing::Range(0, 4), [](const auto& info) {
    std::string name = kFixed[info.param].name;
    std::erase(name, '-');
    return name;
});

TEST(CmapTest, OnlyFourFixedPalettes) {
    EXPECT_EQ(Cmap::NumCmaps(), 4);
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
