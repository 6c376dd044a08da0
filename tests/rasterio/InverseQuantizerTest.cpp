#include <gtest/gtest.h>

#include <cmath>

#include "InverseQuantizer.h"
#include "QuantizerTestImages.h"

namespace {

// The first entry other than the transparent one nearest to (r, g, b) among `candidates`.
template <typename Candidates>
int32 FirstNearest(const Cmap& cmap, int32 r, int32 g, int32 b, Candidates candidates) {
    int32 best = -1;
    for (int32 i = 0; i < cmap.count; ++i) {
        if (i != cmap.transparent && candidates(i) &&
            (best < 0 ||
             Distance(r, g, b, cmap.colors[i]) < Distance(r, g, b, cmap.colors[best]))) {
            best = i;
        }
    }
    return best;
}

// Without tables: the entry nearest to the corner of the pixel's 8 x 8 x 8 cell, then the
// nearest among the entries in a box around that one.
int32 SlowInverse(const Cmap& cmap, int32 r, int32 g, int32 b) {
    const int32 base = FirstNearest(cmap, r & ~7, g & ~7, b & ~7, [](int32) { return true; });
    const Color c = cmap.colors[base];
    const auto inBox = [&](int32 j) {
        const Color n = cmap.colors[j];
        const auto near = [](int32 v, int32 centre) { return v >= centre - 8 && v <= centre + 16; };
        return near(n.red, c.red) && near(n.green, c.green) && near(n.blue, c.blue);
    };
    return FirstNearest(cmap, r, g, b, inBox);
}

TEST(InverseTest, WebSafeColoursMapExactly) {
    InverseQuantizer inverse(256, 1, 1, 1);
    inverse.SetCmap(*Cmap::GetCmap(0));
    EXPECT_EQ(inverse.QuantizePixel(51, 102, 153), 36 + 12 + 3);
    for (int32 i = 0; i < 216; ++i) {
        const Color c = Cmap::GetCmap(0)->colors[i];
        ASSERT_EQ(inverse.QuantizePixel(c.red, c.green, c.blue), i);
    }
    EXPECT_EQ(inverse.GetFrequencies()[0], 1);
    EXPECT_EQ(inverse.GetFrequencies()[255], 1);
}

class InverseMatrixTest : public testing::TestWithParam<std::tuple<int32, int32>> {};

// Over palettes from wide to tightly clustered, with a transparent entry and a colour given
// twice: the table answers as the slow search does, and never worse than the true nearest entry
// by more than twice the distance from the pixel to its cell's corner.
TEST_P(InverseMatrixTest, MatchesTheSlowSearchWithinTheCellBound) {
    const auto [count, spread] = GetParam();
    Cmap cmap = RandomCmap(count, uint32(count * 1000 + spread), spread);
    cmap.colors[count - 1] = cmap.colors[0];
    cmap.transparent = count / 2;
    InverseQuantizer inverse(256, 1, 1, 1);
    inverse.SetCmap(cmap);
    std::mt19937 random(uint32(count + spread));
    double worstRatio = 0;
    for (int32 n = 0; n < 20000; ++n) {
        int32 r = int32(random() & 255), g = int32(random() & 255), b = int32(random() & 255);
        if (n % 4 == 0) {
            const Color c = cmap.colors[random() % count];
            r = c.red, g = c.green, b = c.blue;
        }
        const int32 found = inverse.QuantizePixel(uint8(r), uint8(g), uint8(b));
        ASSERT_EQ(found, SlowInverse(cmap, r, g, b)) << r << "," << g << "," << b;
        ASSERT_NE(found, cmap.transparent);
        const double reached = std::sqrt(Distance(r, g, b, cmap.colors[found]));
        const double nearest = std::sqrt(NearestDistance(cmap, r, g, b));
        const double corner = std::sqrt((r & 7) * (r & 7) + (g & 7) * (g & 7) + (b & 7) * (b & 7));
        ASSERT_LE(reached, nearest + 2 * corner + 1e-9) << r << "," << g << "," << b;
        if (nearest > 0) {
            worstRatio = std::max(worstRatio, reached / nearest);
        }
    }
    RecordProperty("worst_distance_ratio", std::to_string(worstRatio));
}

INSTANTIATE_TEST_SUITE_P(Palettes, InverseMatrixTest,
                         testing::Combine(testing::Values(2, 16, 256),
                                          testing::Values(256, 64, 12)));

}  // namespace
