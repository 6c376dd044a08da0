// Dropping unused and duplicate palette entries.

#include "CmapCompactor.h"

CmapCompactor::CmapCompactor(Quantizer::Cmap& cmap) : mCmap(cmap) {
    for (int32 i = 0; i < _QUANTIZER_MAX_COLORS; ++i) {
        mRemap[i] = uint8(i);
    }
}

void CmapCompactor::Stat(const Pixmap<uint8>& indices) {
    for (int32 y = 0; y < indices.h; ++y) {
        const uint8* row = indices.Row(y);
        for (int32 x = 0; x < indices.w; ++x) {
            ++mUses[row[x]];
        }
    }
}

void CmapCompactor::CompactCmap() {
    int32 transparent = -1;  // its new place
    int32 w = 0;
    for (int32 i = 0; i < _QUANTIZER_MAX_COLORS; ++i) {
        const Quantizer::Cmap::Color c = mCmap.colors[i];
        if (i == mCmap.transparent) {
            transparent = w;
        } else if (mUses[i] == 0) {
            continue;
        } else {
            int32 same = 0;
            while (same < w && (same == transparent || !(mCmap.colors[same] == c))) {
                ++same;
            }
            if (same < w) {
                mRemap[i] = uint8(same);
                continue;
            }
        }
        mCmap.colors[w] = c;
        mRemap[i] = uint8(w++);
    }
    mCmap.transparent = transparent;
    mCmap.count = w;
}

void CmapCompactor::CompactPixmap(const Pixmap<uint8>& indices) const {
    for (int32 y = 0; y < indices.h; ++y) {
        uint8* row = indices.Row(y);
        for (int32 x = 0; x < indices.w; ++x) {
            row[x] = mRemap[row[x]];
        }
    }
}
