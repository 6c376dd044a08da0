#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>

#include "InverseQuantizer.h"
#include "NeuralNetQuantizer.h"
#include "OctreeQuantizer.h"
#include "QuantizerTestImages.h"

namespace {

// --- A slow Floyd-Steinberg, written from the rules on a whole image of errors ---

std::vector<uint8> SlowFloydSteinberg(Quantizer& quantizer, Pixels& image) {
    const int32 w = image.view.w, h = image.view.h;
    const Cmap& cmap = quantizer.GetCmap();
    std::vector<std::array<int32, 3>> error(size_t(w) * h);  // in 16ths
    const auto spread = [&](int32 x, int32 y, const int32* e, int32 weight) {
        if (x >= 0 && x < w && y < h) {
            for (int32 k = 0; k < 3; ++k) {
                error[size_t(y) * w + x][k] += weight * e[k];
            }
        }
    };
    std::vector<uint8> out(size_t(w) * h);
    for (int32 y = 0; y < h; ++y) {
        const int32 d = y % 2 == 0 ? 1 : -1;
        for (int32 n = 0; n < w; ++n) {
            const int32 x = d > 0 ? n : w - 1 - n;
            const uint32 p = image.At(x, y);
            if (p >> 24 == 0 && cmap.transparent >= 0) {
                out[size_t(y) * w + x] = uint8(cmap.transparent);
                continue;
            }
            const std::array<int32, 3>& carried = error[size_t(y) * w + x];
            int32 v[3];
            for (int32 k = 0; k < 3; ++k) {
                v[k] = std::clamp(int32(p >> (16 - 8 * k) & 255) + carried[k] / 16, 0, 255);
            }
            const int32 index = quantizer.QuantizePixel(uint8(v[0]), uint8(v[1]), uint8(v[2]));
            out[size_t(y) * w + x] = uint8(index);
            const Color c = cmap.colors[uint8(index)];
            const int32 e[3] = {v[0] - c.red, v[1] - c.green, v[2] - c.blue};
            spread(x + d, y, e, 7);
            spread(x - d, y + 1, e, 3);
            spread(x, y + 1, e, 5);
            spread(x + d, y + 1, e, 1);
        }
    }
    return out;
}

std::vector<uint8> Mapped(Quantizer& quantizer, const Pixels& image,
                          Quantizer::DitherMethod method) {
    Indices indices(image.view.w, image.view.h, 2);
    quantizer.Quantize(image.view, indices.view, method);
    std::vector<uint8> out;
    for (int32 y = 0; y < image.view.h; ++y) {
        out.insert(out.end(), indices.view.Row(y), indices.view.Row(y) + image.view.w);
    }
    return out;
}

Pixels Gradient(int32 width, int32 height, int32 pad) {
    Pixels image(width, height, pad);
    for (int32 y = 0; y < height; ++y) {
        for (int32 x = 0; x < width; ++x) {
            image.At(x, y) = Argb(x % 11 == 5 ? 0 : 255, x * 255 / width, y * 255 / height,
                                  (x + y) * 127 / (width + height));
        }
    }
    return image;
}

// Each kind, given or taught its palette the way the writers do it.
enum class Kind { kFixedWebSafe, kOctreeGiven, kOctreeLearnt, kNeuralNet };

std::unique_ptr<Quantizer> Prepared(Kind kind, const Pixels& image) {
    const int32 w = image.view.w, h = image.view.h;
    std::unique_ptr<Quantizer> quantizer;
    switch (kind) {
        case Kind::kFixedWebSafe:
            quantizer = std::make_unique<InverseQuantizer>(256, w, h, 1);
            quantizer->SetCmap(*Cmap::GetCmap(0));
            break;
        case Kind::kOctreeGiven: {
            Cmap cmap = RandomCmap(40, 7, 48);
            cmap.transparent = 3;
            quantizer = std::make_unique<OctreeQuantizer>(256, w, h, 1);
            quantizer->SetCmap(cmap);
            break;
        }
        case Kind::kOctreeLearnt:
            quantizer = std::make_unique<OctreeQuantizer>(16, w, h, 1);
            quantizer->Submit(image.view, false);
            quantizer->Reduce();
            break;
        case Kind::kNeuralNet: {
            quantizer = std::make_unique<NeuralNetQuantizer>(64, w, h, 1);
            Pixels packed(w, h);
            for (int32 y = 0; y < h; ++y) {
                std::copy_n(image.view.Row(y), w, packed.view.Row(y));
            }
            quantizer->Submit(packed.view, true);
            quantizer->Reduce();
            break;
        }
    }
    return quantizer;
}

class DiffusionTest : public testing::TestWithParam<Kind> {};

TEST_P(DiffusionTest, MatchesTheSlowReference) {
    for (Pixels image : {Noise(37, 23, 5, 13, 3), Gradient(64, 41, 1), Noise(1, 9, 6, 4)}) {
        const std::unique_ptr<Quantizer> quantizer = Prepared(GetParam(), image);
        ASSERT_EQ(Mapped(*quantizer, image, Quantizer::DITHER_FLOYD_STEINBERG),
                  SlowFloydSteinberg(*quantizer, image))
            << image.view.w << "x" << image.view.h;
    }
}

TEST_P(DiffusionTest, PlainMappingAsksEveryPixel) {
    Pixels image = Noise(29, 17, 8, 7, 2);
    const std::unique_ptr<Quantizer> quantizer = Prepared(GetParam(), image);
    const std::vector<uint8> indices = Mapped(*quantizer, image, Quantizer::DITHER_NONE);
    for (int32 y = 0; y < 17; ++y) {
        for (int32 x = 0; x < 29; ++x) {
            const uint32 p = image.At(x, y);
            const int32 transparent = quantizer->GetCmap().transparent;
            const int32 expected =
                p >> 24 == 0 && transparent >= 0
                    ? transparent
                    : quantizer->QuantizePixel(uint8(p >> 16), uint8(p >> 8), uint8(p));
            ASSERT_EQ(indices[y * 29 + x], uint8(expected)) << x << "," << y;
        }
    }
}

// In place, every pixel is mapped as if opaque and keeps its own alpha.
TEST_P(DiffusionTest, InPlaceGivesTheColoursOfTheIndicesOfTheOpaqueImage) {
    const Pixels image = Noise(31, 12, 9, 5, 1);
    const std::unique_ptr<Quantizer> quantizer = Prepared(GetParam(), image);
    const Cmap& cmap = quantizer->GetCmap();
    for (const auto method : {Quantizer::DITHER_NONE, Quantizer::DITHER_FLOYD_STEINBERG}) {
        Pixels opaque = image;
        Pixels inPlace = image;
        std::transform(opaque.pixels.begin(), opaque.pixels.end(), opaque.pixels.begin(),
                       [](uint32 p) { return p | 0xFF000000u; });
        const std::vector<uint8> indices = Mapped(*quantizer, opaque, method);
        quantizer->Quantize(inPlace.view, method);
        for (int32 y = 0; y < 12; ++y) {
            for (int32 x = 0; x < 31; ++x) {
                const Color c = cmap.colors[indices[y * 31 + x]];
                ASSERT_EQ(inPlace.At(x, y), Argb(image.At(x, y) >> 24, c.red, c.green, c.blue))
                    << x << "," << y << " method " << method;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, DiffusionTest,
                         testing::Values(Kind::kFixedWebSafe, Kind::kOctreeGiven,
                                         Kind::kOctreeLearnt, Kind::kNeuralNet));

// --- Cases where no error can build up ---

TEST(MappingTest, AFullyClearImageIsTransparentEverywhere) {
    const Pixels clear = Filled(30, 20, Argb(0, 10, 200, 30), 1);
    OctreeQuantizer octree(256, 30, 20, 1);
    octree.Submit(clear.view, false);
    octree.Reduce();
    EXPECT_EQ(octree.GetCmap().count, 1);
    EXPECT_EQ(octree.GetCmap().transparent, 0);
    EXPECT_EQ(octree.GetCmap().colors[0], (Color{10, 200, 30}));
    const Pixels packed = Filled(30, 20, Argb(0, 10, 200, 30));
    NeuralNetQuantizer neural(32, 30, 20, 1);
    neural.Submit(packed.view, false);
    neural.Reduce();
    EXPECT_EQ(neural.GetCmap().transparent, 31);
    for (const auto method : {Quantizer::DITHER_NONE, Quantizer::DITHER_FLOYD_STEINBERG}) {
        EXPECT_EQ(Mapped(octree, clear, method), std::vector<uint8>(600, 0));
        EXPECT_EQ(Mapped(neural, clear, method), std::vector<uint8>(600, 31));
    }
}

// --- Programming errors ---

TEST(QuantizerDeathTest, MisuseIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* range = "assertion failed: num_colors>=2&&num_colors<=_QUANTIZER_MAX_COLORS";
    EXPECT_DEATH(OctreeQuantizer(1, 1, 1, 1), range);
    EXPECT_DEATH(InverseQuantizer(257, 1, 1, 1), range);
    EXPECT_DEATH(NeuralNetQuantizer(300, 1, 1, 1), range);
    const Pixels image = Filled(4, 4, 0xFF000000u, 1);
    EXPECT_DEATH(InverseQuantizer(16, 4, 4, 1).Submit(image.view, false),
                 "rasterio/src/Quantizer:[0-9]+: assertion failed: 0\n");
    EXPECT_DEATH(NeuralNetQuantizer(16, 4, 4, 1).SetCmap(*Cmap::GetCmap(0)),
                 "rasterio/src/Quantizer:[0-9]+: assertion failed: 0\n");
    EXPECT_DEATH(NeuralNetQuantizer(16, 4, 4, 1).Submit(image.view, false),
                 "assertion failed: src.w\\*4==src.bpr");
}

}  // namespace
