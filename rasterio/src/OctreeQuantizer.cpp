// Octree colour reduction: counting the submitted colours, making and numbering the folded
// tree, taking a given palette and searching the tree.

#include "OctreeQuantizer_internal.h"

#include <cstdio>

using namespace octree;

OctreeQuantizer::OctreeQuantizer(int32 colors, int32 width, int32 height, int32 images)
    : Quantizer(colors, width, height, images) {
    // The weights keep the root's sum, at most N times the level-1 weight, within 31 bits.
    int64 pixels = int64(width) * height * images;
    if (pixels <= 0 || pixels > INT32_MAX || width <= 0 || height <= 0 || images <= 0) {
        pixels = 1;
    }
    const int32 shift = 32 - std::bit_width(uint64(pixels));
    for (int32 k = 0; k <= 8; ++k) {
        mLevelWeight[k] = int64(1) << std::max(0, shift - k);
    }
    mRoot = NewNode();
}

OctreeQuantizer::~OctreeQuantizer() {
    // One pool at a time: freeing a long chain through its owners would recurse as deep.
    while (mPools) {
        mPools = std::move(mPools->older);
    }
}

OctreeQuantizer::Node* OctreeQuantizer::NewNode() {
    if (!mPools || mPoolUsed == kPoolSize) {
        auto pool = std::make_unique<NodePool>();
        pool->older = std::move(mPools);
        mPools = std::move(pool);
        mPoolUsed = 0;
    }
    return &mPools->nodes[mPoolUsed++];
}

// --- Taking colours ---

void OctreeQuantizer::SetCmap(const Cmap& cmap) {
    mCmap = cmap;
    for (int32 i = 0; i < cmap.count; ++i) {
        if (i == cmap.transparent) {
            continue;
        }
        const Cmap::Color c = cmap.colors[i];
        Node* node = mRoot;
        for (int32 level = 1; level <= 8; ++level) {
            const int32 child = ChildIndex(level, c.red, c.green, c.blue);
            if (node->children[child] == nullptr) {
                node->children[child] = NewNode();
                node->mask |= uint8(1 << child);
            }
            node = node->children[child];
        }
        node->count = 1;
        node->index = i;
    }
    int32 next = 0;
    Rank(mRoot, next);
}

void OctreeQuantizer::Submit(const Pixmap<uint32>& image, bool reserveTransparent) {
    if (reserveTransparent) {
        mCmap.transparent = 0;
        mCmap.colors[0] = {};
    }
    std::vector<uint32> keys;
    keys.reserve(size_t(image.w) * size_t(image.h));
    for (int32 y = 0; y < image.h; ++y) {
        const uint32* row = image.Row(y);
        for (int32 x = 0; x < image.w; ++x) {
            const uint32 p = row[x];
            if (p >> 24 == 0) {
                mCmap.transparent = 0;
                mCmap.colors[0] = {uint8(p >> 16), uint8(p >> 8), uint8(p)};
            } else {
                keys.push_back(TreeKey(uint8(p >> 16), uint8(p >> 8), uint8(p)));
            }
        }
    }
    RadixSort(keys);
    // Merged into the colours of the earlier images, still in key order.
    std::vector<Shade> shades;
    shades.reserve(mShades.size() + keys.size());
    auto earlier = mShades.begin();
    for (size_t i = 0, end; i < keys.size(); i = end) {
        for (end = i + 1; end < keys.size() && keys[end] == keys[i];) {
            ++end;
        }
        for (; earlier != mShades.end() && earlier->key < keys[i]; ++earlier) {
            shades.push_back(*earlier);
        }
        Shade shade{keys[i], uint32(end - i)};
        if (earlier != mShades.end() && earlier->key == keys[i]) {
            shade.count += (earlier++)->count;
        }
        shades.push_back(shade);
    }
    shades.insert(shades.end(), earlier, mShades.end());
    mShades.swap(shades);
}

// --- Numbering ---

void OctreeQuantizer::Number(Node* node, int32& next) {
    if (node->count >= 1) {
        node->index = next;
        mCmap.colors[next] = {uint8(node->red / node->count), uint8(node->green / node->count),
                              uint8(node->blue / node->count)};
        mFrequencies[next] = int32(node->count);
        ++next;
    }
    for (uint32 mask = node->mask; mask != 0; mask &= mask - 1) {
        Number(node->children[std::countr_zero(mask)], next);
    }
}

void OctreeQuantizer::Rank(Node* node, int32& next) {
    node->first = next;
    if (node->count > 0) {
        const Cmap::Color c = mCmap.colors[node->index];
        mRanked[0][next] = c.red;
        mRanked[1][next] = c.green;
        mRanked[2][next] = c.blue;
        mRankedIndex[next] = uint8(node->index);
        ++next;
    }
    for (uint32 mask = node->mask; mask != 0; mask &= mask - 1) {
        Rank(node->children[std::countr_zero(mask)], next);
    }
    node->last = next;
}

void OctreeQuantizer::Reduce() {
    const bool transparent = mCmap.transparent >= 0;
    const int32 target = transparent ? mNumColors - 1 : mNumColors;
    BuildFolded(int64(mShades.size()) > target ? FoldThreshold(target) : 0);
    int32 next = transparent ? 1 : 0;
    Number(mRoot, next);
    mCmap.count = next;
    next = 0;
    Rank(mRoot, next);
}

// --- Searching ---

int32 OctreeQuantizer::QuantizePixel(uint8 red, uint8 green, uint8 blue) {
    const Node* parent = mRoot;
    const Node* node = mRoot;
    for (int32 level = 1; level <= 8; ++level) {
        const Node* child = node->children[ChildIndex(level, red, green, blue)];
        if (child == nullptr) {
            break;
        }
        parent = node;
        node = child;
    }
    // The first of equals in tree order.
    int32 best = -1, bestDistance = INT32_MAX;
    for (int32 k = parent->first; k < parent->last; ++k) {
        const int32 distance =
            RGBDistance(red, green, blue, mRanked[0][k], mRanked[1][k], mRanked[2][k]);
        if (distance < bestDistance) {
            best = k;
            bestDistance = distance;
        }
    }
    return best < 0 ? 0 : mRankedIndex[best];
}

void OctreeQuantizer::_Dump() const {
    std::fprintf(stderr, "%p OctreeQuantizer::_Dump %d colors (target %d)\n",
                 static_cast<const void*>(this), mCmap.count, mNumColors);
    DumpCmap();
}
