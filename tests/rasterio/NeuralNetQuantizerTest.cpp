#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "NeuralNetQuantizer.h"
#include "QuantizerTestImages.h"

namespace {

int32 SumOfDifferences(int32 r, int32 g, int32 b, Color c) {
    return std::abs(r - c.red) + std::abs(g - c.green) + std::abs(b - c.blue);
}

std::unique_ptr<NeuralNetQuantizer> Learnt(int32 colors, const Pixels& image, bool reserve) {
    auto neural = std::make_unique<NeuralNetQuantizer>(colors, image.view.w, image.view.h, 1);
    neural->Submit(image.view, reserve);
    neural->Reduce();
    return neural;
}

TEST(NeuralNetTest, TwoHundredFiftySixColoursLeaveIndex255ForTransparency) {
    const Pixels image = Noise(64, 40, 1);
    const auto plain = Learnt(256, image, false);
    EXPECT_EQ(plain->GetCmap().count, 255);
    EXPECT_EQ(plain->GetCmap().transparent, -1);

    const auto reserved = Learnt(256, image, true);
    EXPECT_EQ(reserved->GetCmap().count, 256);
    EXPECT_EQ(reserved->GetCmap().transparent, 255);
    EXPECT_EQ(reserved->GetCmap().colors[255], (Color{0, 0, 0}));

    const auto sampled = Learnt(256, Noise(64, 40, 1, 3), false);
    EXPECT_EQ(sampled->GetCmap().transparent, 255);
    for (int32 n = 0; n < 4096; ++n) {
        const int32 index = sampled->QuantizePixel(uint8(n * 37), uint8(n * 101), uint8(n * 7));
        ASSERT_TRUE(index >= 0 && index < 255) << n;
    }
}

TEST(NeuralNetTest, FewerThanAHundredPixelsTeachNothing) {
    const auto ramp = Learnt(16, Noise(9, 11, 2), false);
    const auto taught = Learnt(16, Noise(10, 10, 2), false);
    ASSERT_EQ(ramp->GetCmap().count, 15);
    int32 moved = 0;
    for (int32 i = 0; i < 15; ++i) {
        const uint8 grey = uint8(((i << 12) / 15) >> 4);  // the initial ramp
        EXPECT_EQ(ramp->GetCmap().colors[i], (Color{grey, grey, grey})) << i;
        moved += !(taught->GetCmap().colors[i] == Color{grey, grey, grey});
    }
    EXPECT_GT(moved, 0);
}

// The green-ordered search is exact for the sum of channel differences.
TEST(NeuralNetTest, SearchFindsTheNearestEntryBySumOfDifferences) {
    for (const int32 colors : {2, 64, 256}) {
        const auto neural = Learnt(colors, Noise(50, 50, uint32(colors)), true);
        const Cmap& cmap = neural->GetCmap();
        std::mt19937 random{uint32(colors)};
        for (int32 n = 0; n < 5000; ++n) {
            const int32 r = int32(random() & 255), g = int32(random() & 255),
                        b = int32(random() & 255);
            int32 best = 1 << 30;
            for (int32 i = 0; i < colors - 1; ++i) {
                best = std::min(best, SumOfDifferences(r, g, b, cmap.colors[i]));
            }
            const int32 found = neural->QuantizePixel(uint8(r), uint8(g), uint8(b));
            ASSERT_TRUE(found >= 0 && found < colors - 1);
            ASSERT_EQ(SumOfDifferences(r, g, b, cmap.colors[found]), best)
                << r << "," << g << "," << b << " of " << colors;
        }
    }
}

// Four flat areas: the network settles a neuron on each of their colours.
TEST(NeuralNetTest, LearnsTheColoursOfFlatAreas) {
    const uint32 colours[4] = {0xFFE01010, 0xFF10C020, 0xFF2030D0, 0xFFF0F0E0};
    Pixels image(80, 80);
    for (int32 y = 0; y < 80; ++y) {
        for (int32 x = 0; x < 80; ++x) {
            image.At(x, y) = colours[(y / 40) * 2 + x / 40];
        }
    }
    const auto neural = Learnt(16, image, false);
    for (const uint32 p : colours) {
        const Color c = neural->GetCmap()
                            .colors[neural->QuantizePixel(uint8(p >> 16), uint8(p >> 8), uint8(p))];
        EXPECT_LE(SumOfDifferences(p >> 16 & 255, p >> 8 & 255, p & 255, c), 6) << std::hex << p;
    }
}

}  // namespace
