// One curve, three look-ups per pixel.

#include "YKChannelTableKernel.h"

void YKChannelTableKernel::BuildTables() {
    for (int32 value = 0; value < 256; ++value) {
        mTable[value] = Level(value);
    }
}

void YKChannelTableKernel::MapRow(const uint32* in, uint32* out, int32 width) const {
    for (int32 x = 0; x < width; ++x) {
        const uint32 pixel = in[x];
        out[x] = (pixel & 0xFF000000u) | uint32{mTable[(pixel >> 16) & 0xFF]} << 16 |
                 uint32{mTable[(pixel >> 8) & 0xFF]} << 8 | mTable[pixel & 0xFF];
    }
}
