#pragma once

// OctreeQuantizer: an adaptive palette from an octree of the submitted colours, folded from the
// lightest nodes up until few enough leaves remain; it can also search a given palette through
// the same tree. Each pixel weighs on every node of its path, more near the root, so that
// folding removes the sparsest branches first.

#include <memory>
#include <vector>

#include "Quantizer.h"

class OctreeQuantizer : public Quantizer {
public:
    OctreeQuantizer(int32 colors, int32 width, int32 height, int32 images);
    ~OctreeQuantizer() override;

    // Enters every entry but the transparent one as a leaf of its own.
    void SetCmap(const Cmap& cmap) override;
    // Counts the opaque pixels by colour; a clear pixel makes index 0 transparent.
    void Submit(const Pixmap<uint32>& image, bool reserveTransparent) override;
    // Builds the tree of the submitted colours folded down to the target count and numbers the
    // remaining colours. It replaces any tree a given palette made: the two uses do not mix.
    void Reduce() override;
    // The nearest colour among the subtree where the colour's path ends.
    int32 QuantizePixel(uint8 red, uint8 green, uint8 blue) override;

    // Prints the palette to stderr.
    void _Dump() const;

private:
    struct Node;
    struct NodePool;
    struct Pending;
    // A submitted colour by its path in the tree, and its pixel count.
    struct Shade {
        uint32 key;
        uint32 count;
    };

    Node* NewNode();
    // Calls complete(depth, node, parent, child) for every node the submitted colours span,
    // children first, without making them.
    template <typename Complete>
    void WalkShades(Complete complete) const;
    int64 Weight(int32 depth, int64 pixels) const;
    // The weight at or below which the folding stops with at most `target` leaves.
    int64 FoldThreshold(int32 target) const;
    // Makes the nodes heavier than `threshold`, the others folded into them.
    void BuildFolded(int64 threshold);
    void Number(Node* node, int32& next);
    // Lists the colours in tree order, so that a subtree's colours are a range of the list.
    void Rank(Node* node, int32& next);

    int64 mLevelWeight[9];             // added at each level of a pixel's path, 1..8 in use
    std::vector<Shade> mShades;        // sorted by key
    std::unique_ptr<NodePool> mPools;  // the newest first, chained to the older ones
    int32 mPoolUsed = 0;
    Node* mRoot;
    // The colours of the tree, in tree order, for the search.
    int32 mRanked[3][_QUANTIZER_MAX_COLORS] = {};
    uint8 mRankedIndex[_QUANTIZER_MAX_COLORS] = {};
};
