// Folding the octree of the submitted colours without making it.
//
// A node's weight is its pixel count times its level's weight, so the nodes folded at a
// threshold are exactly those at or below it (a child never outweighs its parent), and the
// leaves left are
//   colours + (nodes whose lightest child is at or below it) - (nodes at or below it).
// Two sorted lists of weights give that count for each threshold in turn, and only the nodes
// that remain are made.

#include "OctreeQuantizer_internal.h"

using namespace octree;

int64 OctreeQuantizer::Weight(int32 depth, int64 pixels) const {
    // A pixel adds the weight of level depth + 1 to its node at each depth, and the leaf at the
    // bottom takes the level-8 weight again.
    return pixels * mLevelWeight[std::min(depth + 1, 8)];
}

// A stack of the open nodes on the path of the colour being visited: when the next colour
// leaves that path, the nodes it leaves are complete.
template <typename Complete>
void OctreeQuantizer::WalkShades(Complete complete) const {
    Pending open[9];
    for (size_t i = 0; i < mShades.size(); ++i) {
        const uint32 key = mShades[i].key;
        int32 first = 1;
        if (i > 0) {
            const uint32 previous = mShades[i - 1].key;
            first = FirstDifference(key, previous);
            for (int32 depth = 8; depth >= first; --depth) {
                complete(depth, open[depth], open[depth - 1], ChildOfKey(previous, depth));
            }
        }
        for (int32 depth = first; depth <= 8; ++depth) {
            open[depth] = {};
        }
        const uint32 count = mShades[i].count;
        const Cmap::Color c = ColorOfKey(key);
        Pending& leaf = open[8];
        leaf.pixels = count;
        leaf.count = count;
        leaf.red = uint64(count) * c.red;
        leaf.green = uint64(count) * c.green;
        leaf.blue = uint64(count) * c.blue;
    }
    if (!mShades.empty()) {
        for (int32 depth = 8; depth >= 1; --depth) {
            complete(depth, open[depth], open[depth - 1], ChildOfKey(mShades.back().key, depth));
        }
    }
    complete(0, open[0], open[0], 0);
}

int64 OctreeQuantizer::FoldThreshold(int32 target) const {
    std::vector<uint64> weights, lightest;  // of every node but the root; of every parent
    size_t below = 8;  // the nodes a colour adds below the path it shares with the one before
    for (size_t i = 1; i < mShades.size(); ++i) {
        below += size_t(9 - FirstDifference(mShades[i].key, mShades[i - 1].key));
    }
    weights.reserve(below);
    lightest.reserve(below - mShades.size() + 1);
    WalkShades([&](int32 depth, Pending& node, Pending& parent, int32) {
        if (depth < 8 && node.lightestChild != INT64_MAX) {
            lightest.push_back(uint64(node.lightestChild));
        }
        if (depth > 0) {
            const int64 weight = Weight(depth, node.pixels);
            weights.push_back(uint64(weight));
            parent.pixels += node.pixels;
            parent.lightestChild = std::min(parent.lightestChild, weight);
        }
    });
    RadixSort(weights);
    RadixSort(lightest);
    // The first threshold is 1, each next one the lightest node left.
    size_t folded = 0, opened = 0;
    const auto leavesAt = [&](uint64 threshold) {
        for (; opened < lightest.size() && lightest[opened] <= threshold; ++opened) {
        }
        for (; folded < weights.size() && weights[folded] <= threshold; ++folded) {
        }
        return int64(mShades.size()) + int64(opened) - int64(folded);
    };
    uint64 threshold = 1;
    while (leavesAt(threshold) > target) {
        threshold = weights[folded];
    }
    return int64(threshold);
}

void OctreeQuantizer::BuildFolded(int64 threshold) {
    WalkShades([&](int32 depth, Pending& node, Pending& parent, int32 child) {
        if (depth > 0) {
            parent.pixels += node.pixels;
            if (Weight(depth, node.pixels) <= threshold) {
                parent.count += node.count;
                parent.red += node.red;
                parent.green += node.green;
                parent.blue += node.blue;
                return;
            }
        }
        Node* made = depth == 0 ? mRoot : NewNode();
        std::copy_n(node.children, 8, made->children);
        made->mask = node.mask;
        made->count = node.count;
        made->red = node.red;
        made->green = node.green;
        made->blue = node.blue;
        if (depth > 0) {
            parent.children[child] = made;
            parent.mask |= uint8(1 << child);
        }
    });
}
