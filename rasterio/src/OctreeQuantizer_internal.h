#pragma once

// The octree's nodes and the keys that order colours as the tree does, shared by the building,
// folding and searching halves of OctreeQuantizer.

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <memory>
#include <vector>

#include "OctreeQuantizer.h"

struct OctreeQuantizer::Node {
    Node* children[8];
    uint8 mask;  // bit i: children[i] is set
    uint32 count;
    int32 index;
    uint64 red, blue, green;  // sums of the pixels folded into the node
    int32 first, last;        // its subtree's colours in the ranked list
};

namespace octree {

// Nodes are never freed one by one, so they come this many at a time.
constexpr int32 kPoolSize = 1024;

}  // namespace octree

struct OctreeQuantizer::NodePool {
    Node nodes[octree::kPoolSize] = {};
    std::unique_ptr<NodePool> older;
};

// A node of the walk over the submitted colours, open while its colours are visited.
struct OctreeQuantizer::Pending {
    int64 pixels = 0;  // in its subtree
    int64 lightestChild = INT64_MAX;
    uint32 count = 0;  // folded into it
    uint64 red = 0, green = 0, blue = 0;
    Node* children[8] = {};
    uint8 mask = 0;
};

namespace octree {

// Index of the child on the colour's path below depth level - 1.
inline int32 ChildIndex(int32 level, uint8 red, uint8 green, uint8 blue) {
    const int32 shift = 8 - level;
    return (red >> shift & 1) << 2 | (green >> shift & 1) << 1 | (blue >> shift & 1);
}

// A channel's bits three apart, its highest at bit 21.
constexpr std::array<uint32, 256> kSpread = [] {
    std::array<uint32, 256> table{};
    for (uint32 v = 0; v < 256; ++v) {
        for (int32 bit = 0; bit < 8; ++bit) {
            table[v] |= (v >> bit & 1) << (3 * bit);
        }
    }
    return table;
}();

// The child indices of all eight levels, the root's highest: sorting by it sorts in tree order.
inline uint32 TreeKey(uint8 red, uint8 green, uint8 blue) {
    return kSpread[red] << 2 | kSpread[green] << 1 | kSpread[blue];
}

inline int32 ChildOfKey(uint32 key, int32 level) {
    return int32(key >> (3 * (8 - level)) & 7);
}

// The top bits of red, green and blue (4 each, red highest) of four levels of a key.
constexpr std::array<uint16, 4096> kHalfKeyColor = [] {
    std::array<uint16, 4096> table{};
    for (uint32 half = 0; half < 4096; ++half) {
        uint32 red = 0, green = 0, blue = 0;
        for (int32 shift = 9; shift >= 0; shift -= 3) {
            red = red << 1 | (half >> (shift + 2) & 1);
            green = green << 1 | (half >> (shift + 1) & 1);
            blue = blue << 1 | (half >> shift & 1);
        }
        table[half] = uint16(red << 8 | green << 4 | blue);
    }
    return table;
}();

inline Quantizer::Cmap::Color ColorOfKey(uint32 key) {
    const uint32 high = kHalfKeyColor[key >> 12], low = kHalfKeyColor[key & 4095];
    return {uint8((high >> 8) << 4 | low >> 8), uint8((high >> 4 & 15) << 4 | (low >> 4 & 15)),
            uint8((high & 15) << 4 | (low & 15))};
}

// The first level at which two different keys take different children.
inline int32 FirstDifference(uint32 a, uint32 b) {
    return 8 - (std::bit_width(a ^ b) - 1) / 3;
}

// Least significant digit first, 11 bits at a time, as many digits as the largest value has.
template <typename T>
void RadixSort(std::vector<T>& values) {
    constexpr int32 kBits = 11;
    const T largest = values.empty() ? 0 : *std::max_element(values.begin(), values.end());
    std::vector<T> spare(values.size());
    for (int32 shift = 0; shift < int32(std::bit_width(largest)); shift += kBits) {
        std::vector<size_t> start((1 << kBits) + 1, 0);
        for (const T value : values) {
            ++start[(value >> shift & ((1 << kBits) - 1)) + 1];
        }
        for (int32 d = 0; d < 1 << kBits; ++d) {
            start[d + 1] += start[d];
        }
        for (const T value : values) {
            spare[start[value >> shift & ((1 << kBits) - 1)]++] = value;
        }
        values.swap(spare);
    }
}

}  // namespace octree
