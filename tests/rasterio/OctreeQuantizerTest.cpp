#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <map>
#include <memory>
#include <tuple>

#include "OctreeQuantizer.h"
#include "QuantizerTestImages.h"

namespace {

// --- Learning a palette ---

// Five colours, each on a run of its own length.
Pixels FiveColours() {
    const uint32 colours[5] = {0xFF102030, 0xFFFF0000, 0xFF00FF80, 0xFF0000FF, 0xFFFFFFFF};
    Pixels image(15, 1, 2);
    for (int32 c = 0, x = 0; c < 5; ++c) {
        for (int32 n = 0; n <= c; ++n) {
            image.At(x++, 0) = colours[c];
        }
    }
    return image;
}

// colour -> pixel count, from the palette and its frequencies.
std::map<uint32, int32> Histogram(const Quantizer& quantizer, int32 first) {
    std::map<uint32, int32> histogram;
    const Cmap& cmap = quantizer.GetCmap();
    for (int32 i = first; i < cmap.count; ++i) {
        const Color c = cmap.colors[i];
        histogram[Argb(255, c.red, c.green, c.blue)] += quantizer.GetFrequencies()[i];
    }
    return histogram;
}

const std::map<uint32, int32> kFiveCounts = {
    {0xFF102030, 1}, {0xFFFF0000, 2}, {0xFF00FF80, 3}, {0xFF0000FF, 4}, {0xFFFFFFFF, 5}};

TEST(OctreeTest, FiveColoursGiveFiveExactEntries) {
    const Pixels image = FiveColours();
    OctreeQuantizer octree(256, 15, 1, 1);
    octree.Submit(image.view, false);
    octree.Reduce();
    EXPECT_EQ(octree.GetCmap().count, 5);
    EXPECT_EQ(octree.GetCmap().transparent, -1);
    EXPECT_EQ(Histogram(octree, 0), kFiveCounts);
}

TEST(OctreeTest, ATransparentPixelOrAReservationTakesIndexZero) {
    Pixels withClear = FiveColours();
    withClear.At(14, 0) = 0x00445566;  // one white fewer
    std::map<uint32, int32> counts = kFiveCounts;
    counts[0xFFFFFFFF] = 4;
    OctreeQuantizer octree(256, 15, 1, 1);
    octree.Submit(withClear.view, false);
    octree.Reduce();
    EXPECT_EQ(octree.GetCmap().count, 6);
    EXPECT_EQ(octree.GetCmap().transparent, 0);
    EXPECT_EQ(octree.GetCmap().colors[0], (Color{0x44, 0x55, 0x66}));
    EXPECT_EQ(Histogram(octree, 1), counts);
    Indices indices(15, 1);
    octree.Quantize(withClear.view, indices.view, Quantizer::DITHER_NONE);
    EXPECT_EQ(indices.At(14, 0), 0);
    EXPECT_TRUE(std::all_of(indices.pixels.begin(), indices.pixels.end() - 1,
                            [](uint8 i) { return i >= 1 && i <= 5; }));

    OctreeQuantizer reserved(256, 15, 1, 1);
    reserved.Submit(FiveColours().view, true);
    reserved.Reduce();
    EXPECT_EQ(reserved.GetCmap().count, 6);
    EXPECT_EQ(reserved.GetCmap().transparent, 0);
    EXPECT_EQ(reserved.GetCmap().colors[0], (Color{0, 0, 0}));
}

// --- Folding, against a tree of every colour folded pass by pass ---

// The rules as they read: every pixel weighs on its whole path, and each pass folds every node
// at or below the lightest weight left by the pass before.
class SlowOctree {
public:
    SlowOctree(int64 pixels) {
        if (pixels <= 0 || pixels > INT32_MAX) {
            pixels = 1;
        }
        const int32 s = 32 - int32(std::bit_width(uint64(pixels)));
        for (int32 k = 0; k <= 8; ++k) {
            mWeights[k] = int64(1) << std::max(0, s - k);
        }
    }
    void Submit(const Pixels& image) {
        for (int32 y = 0; y < image.view.h; ++y) {
            for (int32 x = 0; x < image.view.w; ++x) {
                const uint32 p = image.At(x, y);
                if (p >> 24 == 0) {
                    mTransparent = true;
                    continue;
                }
                Node* node = &mRoot;
                for (int32 level = 1; level <= 8; ++level) {
                    node->weight += mWeights[level];
                    const int32 shift = 16 + 8 - level;
                    const int32 child = int32((p >> shift & 1) << 2 | (p >> (shift - 8) & 1) << 1 |
                                              (p >> (shift - 16) & 1));
                    if (!node->children[child]) {
                        node->children[child] = std::make_unique<Node>();
                        mLeaves += level == 8;
                    }
                    node = node->children[child].get();
                }
                node->weight += mWeights[8];
                node->count += 1;
                for (int32 k = 0; k < 3; ++k) {
                    node->sums[k] += p >> (16 - 8 * k) & 255;
                }
            }
        }
    }
    // The palette (colour and frequency) after folding to `colors`.
    std::vector<std::pair<Color, int32>> Reduce(int32 colors) {
        const int32 target = mTransparent ? colors - 1 : colors;
        int64 threshold = 1;
        while (mLeaves > target) {
            const int64 lower = threshold;
            threshold = mRoot.weight;
            mLeaves = 0;
            Fold(mRoot, lower, threshold);
            mLeaves += mRoot.count >= 1;
        }
        std::vector<std::pair<Color, int32>> palette;
        Number(mRoot, palette);
        return palette;
    }

private:
    struct Node {
        std::unique_ptr<Node> children[8];
        int64 weight = 0, count = 0;
        uint64 sums[3] = {};
    };
    void Fold(Node& node, int64 lower, int64& threshold) {
        for (std::unique_ptr<Node>& child : node.children) {
            if (!child) {
                continue;
            }
            Fold(*child, lower, threshold);
            if (child->weight <= lower) {
                node.count += child->count;
                for (int32 k = 0; k < 3; ++k) {
                    node.sums[k] += child->sums[k];
                }
                child.reset();
            } else {
                mLeaves += child->count >= 1;
                threshold = std::min(threshold, child->weight);
            }
        }
    }
    void Number(const Node& node, std::vector<std::pair<Color, int32>>& palette) {
        if (node.count >= 1) {
            palette.push_back({{uint8(node.sums[0] / node.count), uint8(node.sums[1] / node.count),
                                uint8(node.sums[2] / node.count)},
                               int32(node.count)});
        }
        for (const std::unique_ptr<Node>& child : node.children) {
            if (child) {
                Number(*child, palette);
            }
        }
    }
    int64 mWeights[9];
    Node mRoot;
    int64 mLeaves = 0;
    bool mTransparent = false;
};

// Random pictures of a few hundred pixels: colours from clusters of random spread, some much
// more frequent than others, sometimes clear pixels, sometimes given as two images (as the
// frames of an animation), and a declared size that moves the level weights from all distinct
// to all 1 (and past counting).
TEST(OctreeTest, FoldingMatchesTheTreeFoldedPassByPass) {
    for (uint32 seed = 0; seed < 400; ++seed) {
        std::mt19937 random(seed);
        const int32 count = 2 + int32(random() % 300);
        const int32 spreads[] = {4, 16, 64, 256};
        const Cmap shades = RandomCmap(std::min(count, 256), seed, spreads[random() % 4]);
        Pixels image(48, 8 + int32(random() % 8), 3);
        for (uint32& p : image.pixels) {  // the row padding too, unseen
            const int32 skewed = int32(random() % count) * int32(random() % count) / count;
            const Color c = shades.colors[skewed % shades.count];
            p = Argb(seed % 4 == 0 && random() % 40 == 0 ? 0 : 255, c.red, c.green, c.blue);
        }
        const int32 images[] = {1, 1 << 10, 1 << 17, 1 << 22};
        const int32 declared = images[random() % 4];
        const int32 colors = 2 + int32(random() % 255);
        OctreeQuantizer octree(colors, image.view.w, image.view.h, declared);
        if (seed % 3 == 0) {
            Pixmap<uint32> top = image.view, bottom = image.view;
            top.h = image.view.h / 2;
            bottom.h -= top.h;
            bottom.bits = image.view.Row(top.h);
            octree.Submit(top, false);
            octree.Submit(bottom, false);
        } else {
            octree.Submit(image.view, false);
        }
        octree.Reduce();
        SlowOctree slow(int64(image.view.w) * image.view.h * declared);
        slow.Submit(image);
        const std::vector<std::pair<Color, int32>> expected = slow.Reduce(colors);
        const Cmap& cmap = octree.GetCmap();
        const int32 first = cmap.transparent == 0 ? 1 : 0;
        ASSERT_EQ(cmap.count - first, int32(expected.size())) << "seed " << seed;
        for (int32 i = 0; i < int32(expected.size()); ++i) {
            ASSERT_EQ(cmap.colors[first + i], expected[i].first) << "seed " << seed << " " << i;
            ASSERT_EQ(octree.GetFrequencies()[first + i], expected[i].second) << "seed " << seed;
        }
    }
}

// --- Searching a given palette, against a search written without the tree ---

// How many levels of the tree (top bits of all three channels) two colours share.
int32 SharedLevels(Color a, int32 r, int32 g, int32 b) {
    int32 levels = 0;
    while (levels < 8 && ((a.red ^ r) | (a.green ^ g) | (a.blue ^ b)) >> (7 - levels) == 0) {
        ++levels;
    }
    return levels;
}

// The position of a colour's leaf in a walk of the tree: its bits interleaved, red first.
int32 TreeOrder(Color c) {
    int32 order = 0;
    for (int32 bit = 7; bit >= 0; --bit) {
        order =
            order << 3 | (c.red >> bit & 1) << 2 | (c.green >> bit & 1) << 1 | (c.blue >> bit & 1);
    }
    return order;
}

// The pixel leaves the tree below the entries that share the most levels with it; the search
// covers every entry sharing at least one level fewer. Ties go to the first leaf in tree order,
// and a colour given twice keeps the later index.
int32 SlowSearch(const Cmap& cmap, int32 r, int32 g, int32 b) {
    int32 deepest = 0;
    for (int32 i = 0; i < cmap.count; ++i) {
        if (i != cmap.transparent) {
            deepest = std::max(deepest, SharedLevels(cmap.colors[i], r, g, b));
        }
    }
    const int32 from = std::max(deepest - 1, 0);
    int32 best = -1;
    std::tuple<int32, int32, int32> bestKey;
    for (int32 i = 0; i < cmap.count; ++i) {
        const Color c = cmap.colors[i];
        if (i == cmap.transparent || SharedLevels(c, r, g, b) < from) {
            continue;
        }
        const std::tuple<int32, int32, int32> key{Distance(r, g, b, c), TreeOrder(c), -i};
        if (best < 0 || key < bestKey) {
            best = i;
            bestKey = key;
        }
    }
    return best;
}

TEST(OctreeTest, SearchOfAGivenPaletteMatchesTheSlowSearch) {
    std::mt19937 random(11);
    for (const int32 spread : {256, 40, 6}) {
        for (const int32 count : {2, 17, 256}) {
            Cmap cmap = RandomCmap(count, uint32(spread * count), spread);
            cmap.colors[count - 1] = cmap.colors[count / 2];  // a colour given twice
            cmap.transparent = count > 2 ? 1 : -1;
            OctreeQuantizer octree(256, 1, 1, 1);
            octree.SetCmap(cmap);
            for (int32 n = 0; n < 3000; ++n) {
                Color p = {uint8(random()), uint8(random()), uint8(random())};
                const int32 entry = int32(random() % count);
                if (n % 3 == 0) {  // on or next to an entry
                    const Color c = cmap.colors[entry];
                    const int32 jitter = n % 2 == 0 ? 0 : int32(random() % 7) - 3;
                    p = {uint8(c.red + jitter), uint8(c.green - jitter), c.blue};
                }
                const int32 found = octree.QuantizePixel(p.red, p.green, p.blue);
                ASSERT_EQ(found, SlowSearch(cmap, p.red, p.green, p.blue))
                    << int(p.red) << "," << int(p.green) << "," << int(p.blue) << " spread "
                    << spread << " count " << count;
                if (n % 6 == 0 && entry != cmap.transparent) {
                    // A palette colour is always found exactly.
                    ASSERT_EQ(Distance(p.red, p.green, p.blue, cmap.colors[found]), 0);
                }
            }
        }
    }
}

}  // namespace
