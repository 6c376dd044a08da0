// 255 - c is c with its bits flipped, so one XOR per pixel does all three channels.

#include "YKInvertKernel.h"

void YKInvertKernel::MapRow(const uint32* in, uint32* out, int32 width) const {
    for (int32 x = 0; x < width; ++x) {
        out[x] = in[x] ^ 0x00FFFFFFu;
    }
}
