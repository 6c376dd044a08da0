// The inverse colour table: neighbour lists per entry, then the nearest entry per cell.

#include "InverseQuantizer.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int32 kCells = 32 * 32 * 32;

int32 CellOf(int32 red, int32 green, int32 blue) {
    return (red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3);
}

}  // namespace

struct InverseQuantizer::Tables {
    int32 neighbourCount[_QUANTIZER_MAX_COLORS] = {};
    uint8 neighbours[_QUANTIZER_MAX_COLORS][_QUANTIZER_MAX_COLORS] = {};
    uint8 nearest[kCells] = {};
};

InverseQuantizer::InverseQuantizer(int32 colors, int32 width, int32 height, int32 images)
    : Quantizer(colors, width, height, images), mTables(std::make_unique<Tables>()) {
    std::fill_n(mFrequencies, _QUANTIZER_MAX_COLORS, 1);
}

InverseQuantizer::~InverseQuantizer() = default;

void InverseQuantizer::SetCmap(const Cmap& cmap) {
    mCmap = cmap;
    *mTables = Tables{};
    const auto opaque = [&](int32 i) { return i != cmap.transparent; };
    // The candidates for the pixels of the cells whose corner is nearest to i: a box from one
    // cell below i to two above, as a cell's pixels lie up to 7 above its corner.
    for (int32 i = 0; i < cmap.count; ++i) {
        if (!opaque(i)) {
            continue;
        }
        const Cmap::Color c = cmap.colors[i];
        const auto near = [](int32 value, int32 centre) {
            return value >= centre - 8 && value <= centre + 16;
        };
        for (int32 j = 0; j < cmap.count; ++j) {
            const Cmap::Color n = cmap.colors[j];
            if (opaque(j) && near(n.red, c.red) && near(n.green, c.green) && near(n.blue, c.blue)) {
                mTables->neighbours[i][mTables->neighbourCount[i]++] = uint8(j);
            }
        }
    }
    for (int32 cell = 0; cell < kCells; ++cell) {
        const int32 red = (cell >> 10) << 3, green = (cell >> 5 & 31) << 3, blue = (cell & 31) << 3;
        int32 best = 0, bestDistance = -1;
        for (int32 j = 0; j < cmap.count; ++j) {
            const int32 distance = RGBDistance(red, green, blue, cmap.colors[j]);
            if (opaque(j) && (bestDistance < 0 || distance < bestDistance)) {
                best = j;
                bestDistance = distance;
            }
        }
        mTables->nearest[cell] = uint8(best);
    }
}

int32 InverseQuantizer::QuantizePixel(uint8 red, uint8 green, uint8 blue) {
    const int32 base = mTables->nearest[CellOf(red, green, blue)];
    const uint8* list = mTables->neighbours[base];
    const int32 count = mTables->neighbourCount[base];
    int32 best = base, bestDistance = -1;
    for (int32 k = 0; k < count; ++k) {
        const int32 distance = RGBDistance(red, green, blue, mCmap.colors[list[k]]);
        if (bestDistance < 0 || distance < bestDistance) {
            best = list[k];
            bestDistance = distance;
        }
    }
    return best;
}

void InverseQuantizer::_Dump() const {
    std::fprintf(stderr, "%p InverseQuantizer::_Dump target %d cmap %d\n",
                 static_cast<const void*>(this), mNumColors, mCmap.count);
    DumpCmap();
}
