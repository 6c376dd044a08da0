#pragma once

// CmapCompactor: after mapping, drops the palette entries no pixel uses and merges entries of
// the same colour, then renumbers the index pixmaps to match.

#include "Pixmap.h"
#include "Quantizer.h"

class CmapCompactor {
public:
    // Works on `cmap` in place; it must outlive the compactor.
    explicit CmapCompactor(Quantizer::Cmap& cmap);

    // Counts the uses of each index (may be called for several pixmaps).
    void Stat(const Pixmap<uint8>& indices);
    // Keeps the transparent entry and the used entries of distinct colours, in their order.
    void CompactCmap();
    // Renumbers the indices of a pixmap counted by Stat.
    void CompactPixmap(const Pixmap<uint8>& indices) const;

private:
    Quantizer::Cmap& mCmap;
    int32 mUses[_QUANTIZER_MAX_COLORS] = {};
    uint8 mRemap[_QUANTIZER_MAX_COLORS];
};
