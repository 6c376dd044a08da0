// The merge methods and YKAlphaBlend against a plain transcription of their formulas: every
// method in all three forms over a dense grid of pixels and opacities, and over layer-shaped
// arrays that drive the vector paths.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "YKAlphaBlend.h"
#include "yk_composition.h"

namespace {

// --- Reference formulas, written for clarity rather than speed ---

uint32 Round255(uint32 x) {
    return ((x >> 8) + x + 1) >> 8;
}
uint32 Scale(uint32 a, uint32 level) {
    return level == 255 ? a : Round255(std::min(65025u, level * a));
}
uint32 Alpha(uint32 p) {
    return p >> 24;
}
int32 Ch(uint32 p, int i) {
    return static_cast<int32>((p >> (16 - 8 * i)) & 255);
}
uint32 Rgb(int32 r, int32 g, int32 b) {
    return uint32(r) << 16 | uint32(g) << 8 | uint32(b);
}
uint32 Argb(uint32 a, int32 r, int32 g, int32 b) {
    return a << 24 | Rgb(r, g, b);
}

template <class F>
uint32 EachChannel(uint32 alpha, uint32 d, uint32 s, F f) {
    return Argb(alpha, f(Ch(d, 0), Ch(s, 0)), f(Ch(d, 1), Ch(s, 1)), f(Ch(d, 2), Ch(s, 2)));
}

uint32 RefCompose(uint32 d, uint32 s, uint32 level) {
    const uint32 a = Scale(Alpha(s), level);
    const uint32 dA = Alpha(d);
    if (a == 0) {
        return d;
    }
    if (a == 255 || dA == 0) {
        return (s & 0xFFFFFF) | a << 24;
    }
    if (dA == 255) {
        return EachChannel(
            255, d, s, [&](int32 dc, int32 sc) { return ((sc - dc) * int32(a) + dc * 255) >> 8; });
    }
    const uint32 ws = a * 255, wd = (255 - a) * dA, sum = ws + wd;
    return EachChannel(Round255(sum), d, s,
                       [&](int32 dc, int32 sc) { return int32((sc * ws + dc * wd) / (sum + 1)); });
}

struct Hsv {
    int32 h, s, v;
};

Hsv ToHsv(uint32 p) {
    const int32 r = Ch(p, 0), g = Ch(p, 1), b = Ch(p, 2);
    const int32 v = std::max({r, g, b}), mn = std::min({r, g, b});
    const int32 s = v == 0 ? 0 : (v - mn) * 255 / v;
    int32 h = -255;
    if (s != 0) {
        const int32 delta = v - mn;
        h = r == v ? (g - b) * 255 / delta
                   : (g == v ? (b - r) * 255 / delta + 510 : (r - g) * 255 / delta + 1020);
    }
    return {h < 0 ? h + 1530 : h, s, v};
}

uint32 ToRgb(Hsv c) {
    const int32 v = c.v, s = c.s;
    if (s == 0) {
        return Rgb(v, v, v);
    }
    const int32 sector = c.h / 255, f = c.h - 255 * sector;
    const int32 p = (255 - s) * v / 255;
    const int32 q = (255 - s * f / 255) * v / 255;
    const int32 t = (255 - s * (255 - f) / 255) * v / 255;
    const uint32 bySector[6] = {Rgb(v, t, p), Rgb(q, v, p), Rgb(p, v, t),
                                Rgb(p, q, v), Rgb(t, p, v), Rgb(v, p, q)};
    return bySector[sector];
}

// m(d, s) gives the mixed colour of the whole pixel.
template <class M>
uint32 RefMix(uint32 d, uint32 s, uint32 level, M m) {
    const uint32 sA = Alpha(s), dA = Alpha(d);
    if (sA == 0) {
        return d;
    }
    if (dA == 0) {
        return (s & 0xFFFFFF) | Scale(sA, level) << 24;
    }
    const uint32 c = EachChannel(sA, m(d, s), s, [&](int32 mc, int32 sc) {
        return int32(Round255(mc * dA + sc * (255 - dA)));
    });
    return RefCompose(d, c, level);
}

template <class F>
uint32 RefSeparable(uint32 d, uint32 s, uint32 level, F f) {
    return RefMix(d, s, level, [&](uint32 dd, uint32 ss) { return EachChannel(0, dd, ss, f); });
}

uint32 RefHsv(uint32 d, uint32 s, uint32 level, bool hueOfS, bool satOfS, bool valOfS) {
    return RefMix(d, s, level, [&](uint32 dd, uint32 ss) {
        const Hsv hd = ToHsv(dd), hs = ToHsv(ss);
        return ToRgb({hueOfS ? hs.h : hd.h, satOfS ? hs.s : hd.s, valOfS ? hs.v : hd.v});
    });
}

// Dissolve draws from rand() only where it does not take the source whole.
uint32 RefDissolve(uint32 d, uint32 s, uint32 level) {
    const uint32 p = std::min(255u, Alpha(s) * level / 255);
    if (p == 255) {
        return s;
    }
    return uint32(std::rand() & 255) < p ? s | 0xFF000000 : d;
}

uint32 RefOverlay(uint32 d, uint32 s, uint32 level) {
    const uint32 a = Scale(Alpha(s), level);
    if (a == 0 || a == 255) {
        return a == 0 ? d : s;
    }
    return EachChannel(255, d, s, [&](int32 dc, int32 sc) {
        return int32(Round255(uint32((sc - dc) * int32(a) + dc * 255)));
    });
}

uint32 Reference(int32 mode, uint32 d, uint32 s, uint32 level) {
    const auto sep = [&](auto f) { return RefSeparable(d, s, level, f); };
    switch (mode) {
        case YK_NORMAL:
        case YK_FILTER:
            return RefCompose(d, s, level);
        case YK_MULTIPLY:
            return sep([](int32 a, int32 b) { return int32(Round255(a * b)); });
        case YK_SCREEN:
            return sep(
                [](int32 a, int32 b) { return int32(Round255(65025 - (255 - a) * (255 - b))); });
        case YK_ERASE:
            return Alpha(s) == 0 ? d
                                 : (d & 0xFFFFFF) |
                                       uint32(std::max(0, int32(Alpha(d)) - int32(Alpha(s)))) << 24;
        case YK_ADD:
            return sep([](int32 a, int32 b) { return std::min(255, a + b); });
        case YK_SUBTRACT:
            return sep([](int32 a, int32 b) { return std::max(0, a - b); });
        case YK_DARKEST:
            return sep([](int32 a, int32 b) { return std::min(a, b); });
        case YK_LIGHTEST:
            return sep([](int32 a, int32 b) { return std::max(a, b); });
        case YK_DIFFERENCE:
            return sep([](int32 a, int32 b) { return std::abs(a - b); });
        case YK_AVERAGE:
            return sep([](int32 a, int32 b) { return (a + b) >> 1; });
        case YK_INVERT:
            return sep([](int32 a, int32) { return 255 - a; });
        case YK_DISSOLVE:
            return RefDissolve(d, s, level);
        case YK_REPLACE_HUE:
            return RefHsv(d, s, level, true, false, false);
        case YK_REPLACE_SATURATION:
            return RefHsv(d, s, level, false, true, false);
        case YK_REPLACE_LUMINOSITY:
            return RefHsv(d, s, level, false, false, true);
        case YK_REPLACE_COLOR:
            return RefHsv(d, s, level, true, true, false);
        case YK_XOR_MASK:
            return sep([](int32 a, int32 b) { return a ^ b; });
        case YK_COPY:
            return s;
        case YK_OVER:
            return Alpha(s) != 0 ? s : d;
        default:
            return RefOverlay(d, s, level);
    }
}

// --- Inputs ---

constexpr uint32 kEdges[] = {0, 1, 2, 63, 64, 127, 128, 129, 191, 254, 255};

// Every edge alpha with colours drawn from the edge values (all hue sectors, greys, black,
// white), plus random pixels.
std::vector<uint32> GridPixels() {
    std::vector<uint32> pixels;
    for (uint32 a : kEdges) {
        for (int32 i = 0; i < 11; ++i) {
            pixels.push_back(Argb(a, kEdges[i], kEdges[(i + 3) % 11], kEdges[(i + 7) % 11]));
        }
        pixels.push_back(Argb(a, 90, 90, 90));
    }
    std::mt19937 random(12);
    for (int32 i = 0; i < 40; ++i) {
        pixels.push_back(random());
    }
    return pixels;
}

// Layers as they come: an opaque or empty destination region and a source of shape runs that
// are empty, solid or partly covered, with run lengths that straddle any vector width.
void ShapedLayers(std::vector<uint32>& d, std::vector<uint32>& s, uint32 seed) {
    std::mt19937 random(seed);
    d.clear();
    s.clear();
    while (s.size() < 5000) {
        const uint32 kind = random() % 4;
        const uint32 length = 1 + random() % 19;
        const bool thinDestination = random() % 5 == 0;
        for (uint32 i = 0; i < length; ++i) {
            const uint32 colour = random() & 0xFFFFFF;
            const uint32 alpha = kind == 0 ? 0 : kind == 1 ? 255 : random() & 255;
            s.push_back(colour | alpha << 24);
            d.push_back((random() & 0xFFFFFF) | (thinDestination ? random() % 3 * 127u : 255u)
                                                    << 24);
        }
    }
}

const std::vector<uint32> kLevels = {0, 1, 64, 127, 128, 200, 254, 255};

// Formats the case only when it fails: the grids are large.
testing::AssertionResult Same(uint32 actual, uint32 expected, uint32 d, uint32 s, uint32 level) {
    if (actual == expected) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << std::hex << "d " << d << " s " << s << std::dec << " level " << level << std::hex
           << ": got " << actual << ", want " << expected;
}

class MergeMethods : public ::testing::TestWithParam<int32> {};

TEST_P(MergeMethods, AllFormsFollowTheFormulas) {
    const int32 mode = GetParam();
    const std::vector<uint32> pixels = GridPixels();
    for (uint32 level : kLevels) {
        // Destinations vary fastest, so the colour-run form sees each source over all of them.
        std::vector<uint32> expected, byPixel, byColour, byArray, sources;
        std::srand(99);
        for (uint32 s : pixels) {
            for (uint32 d : pixels) {
                expected.push_back(Reference(mode, d, s, level));
                sources.push_back(s);
            }
        }
        std::srand(99);
        for (uint32 s : pixels) {
            for (uint32 d : pixels) {
                byPixel.push_back(hash_pixel_func[mode](d, s, level));
            }
        }
        std::srand(99);
        for (uint32 s : pixels) {
            std::vector<uint32> run = pixels;
            hash_color_func[mode](run.data(), s, level, int32(run.size()));
            byColour.insert(byColour.end(), run.begin(), run.end());
        }
        std::srand(99);
        for (size_t i = 0; i < pixels.size(); ++i) {
            byArray.insert(byArray.end(), pixels.begin(), pixels.end());
        }
        hash_array_func[mode](byArray.data(), sources.data(), level, int32(byArray.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            const uint32 d = pixels[i % pixels.size()], s = sources[i];
            ASSERT_TRUE(Same(byPixel[i], expected[i], d, s, level)) << "pixel form";
            ASSERT_TRUE(Same(byColour[i], expected[i], d, s, level)) << "colour-run form";
            ASSERT_TRUE(Same(byArray[i], expected[i], d, s, level)) << "array form";
        }
    }
}

TEST_P(MergeMethods, ArrayFormFollowsTheFormulasOnShapedLayers) {
    const int32 mode = GetParam();
    std::vector<uint32> d, s;
    for (uint32 seed = 1; seed <= 3; ++seed) {
        ShapedLayers(d, s, seed);
        for (uint32 level : kLevels) {
            // Start and length off any vector boundary.
            const int32 first = int32(seed), count = int32(d.size()) - 2 * first - 1;
            std::vector<uint32> actual = d, expected = d;
            std::srand(5);
            for (int32 i = first; i < first + count; ++i) {
                expected[i] = Reference(mode, d[i], s[i], level);
            }
            std::srand(5);
            hash_array_func[mode](actual.data() + first, s.data() + first, level, count);
            for (size_t i = 0; i < d.size(); ++i) {
                ASSERT_TRUE(Same(actual[i], expected[i], d[i], s[i], level)) << "at " << i;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Merge, MergeMethods, ::testing::Range(0, YK_COMPOSITION_MODE_COUNT),
                         [](const testing::TestParamInfo<int32>& info) {
                             std::string name = yk_composition_label[info.param];
                             std::erase(name, ' ');
                             return name;
                         });

// --- Cases worth a name ---

TEST(MergeCases, ModesOutsideTheTableMergeAsNormal) {
    EXPECT_EQ(yk_array_func_for(21), &yk_array_alpha_compose);
    EXPECT_EQ(yk_color_func_for(-1), &yk_color_alpha_compose);
    EXPECT_EQ(yk_pixel_func_for(YK_OVERLAY), &yk_pixel_alpha_overlay);
}

// Compose onto a thin destination divides each channel by the weights' sum: every pair of
// source and destination alpha, with the channels at their extremes and in between, through the
// array form's vector lanes and its partial last group.
TEST(MergeCases, ComposeOntoThinDestinationsAtEveryAlphaPair) {
    const uint32 channels[][2] = {{255, 0}, {0, 255}, {255, 255}, {254, 1}, {1, 254}, {128, 127}};
    std::vector<uint32> d, s;
    for (uint32 a = 1; a < 255; ++a) {
        for (uint32 dA = 1; dA < 255; ++dA) {
            for (const auto& [sc, dc] : channels) {
                s.push_back(Argb(a, int32(sc), int32(dc), int32(sc ^ dc)));
                d.push_back(Argb(dA, int32(dc), int32(sc), int32(255 - dc)));
            }
        }
    }
    for (uint32 level : {255u, 200u}) {
        std::vector<uint32> actual = d;
        const int32 count = int32(actual.size()) - 3;  // not a whole number of groups
        yk_array_alpha_compose(actual.data(), s.data(), level, count);
        for (int32 i = 0; i < count; ++i) {
            ASSERT_TRUE(Same(actual[i], Reference(YK_NORMAL, d[i], s[i], level), d[i], s[i], level))
                << "at " << i;
        }
    }
}

TEST(MergeCases, FloatDivisionIsExactOverItsDomain) {
    for (int32 divisor = 1; divisor < 256; ++divisor) {
        for (int32 x = -65025; x <= 65025; ++x) {
            ASSERT_EQ(yk_divide(x, divisor), x / divisor) << x << " / " << divisor;
        }
    }
}

// --- YKAlphaBlend ---

uint32 RefBlendCompose(uint32 t, uint32 b, uint32 a) {
    const uint32 bA = Alpha(b), sum = 255 * (a + bA) - bA * a, w = (255 - a) * bA;
    if (sum == 0) {
        return 0;
    }
    return EachChannel(Round255(sum), b, t,
                       [&](int32 bc, int32 tc) { return int32((w * bc + tc * a * 255) / sum); });
}

uint32 RefBlendOverlay(uint32 t, uint32 b, uint32 a) {
    return EachChannel(255, b, t, [&](int32 bc, int32 tc) {
        return int32(Round255(uint32((tc - bc) * int32(a) + bc * 255)));
    });
}

TEST(AlphaBlend, FollowsTheFormulas) {
    const std::vector<uint32> pixels = GridPixels();
    for (uint32 t : pixels) {
        const uint32 tA = Alpha(t);
        // An opaque or empty top pixel is taken or skipped whole, whatever the level.
        const auto ends = [&](uint32 b, uint32 mixed) {
            return tA == 255 ? t : tA == 0 ? b : mixed;
        };
        for (uint32 b : pixels) {
            const uint32 compose = Alpha(b) == 0 ? t : RefBlendCompose(t, b, tA);
            ASSERT_TRUE(Same(YKAlphaBlend::Compose(t, b), ends(b, compose), b, t, 255));
            ASSERT_TRUE(
                Same(YKAlphaBlend::Overlay(t, b), ends(b, RefBlendOverlay(t, b, tA)), b, t, 255));
            for (uint32 level : kLevels) {
                const uint32 a = Round255(tA * level);
                ASSERT_TRUE(Same(YKAlphaBlend::Compose(t, b, level),
                                 ends(b, RefBlendCompose(t, b, a)), b, t, level));
                ASSERT_TRUE(Same(YKAlphaBlend::Overlay(t, b, level),
                                 ends(b, RefBlendOverlay(t, b, a)), b, t, level));
            }
        }
    }
}

}  // namespace
