#pragma once

// Shared by the GIF export tests: rasters made from a pixel function, and the layout of a written
// GIF file (screen, palette, loop block, and each image's place and control block).

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "YKRaster.h"

namespace gif_export_test {

using Bytes = std::vector<uint8>;

inline std::unique_ptr<YKRaster> MakeRaster(int32 width, int32 height,
                                            const std::function<uint32(int32, int32)>& pixel) {
    auto raster = std::make_unique<YKRaster>(YKRect<int32>{0, 0, width - 1, height - 1});
    for (int32 y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32*>(raster->Bits() + int64{y} * raster->BytesPerRow());
        for (int32 x = 0; x < width; ++x) {
            row[x] = pixel(x, y);
        }
    }
    return raster;
}

struct GifImage {
    int32 left = 0;
    int32 top = 0;
    int32 width = 0;
    int32 height = 0;
    bool interlaced = false;
    int32 disposal = 0;  // of the graphic control block, 0 without one
    int32 delay = 0;
    int32 transparent = -1;
};

struct GifLayout {
    int32 width = 0;
    int32 height = 0;
    Bytes palette;  // the global table's triples
    int32 loop = -1;
    std::vector<GifImage> images;
};

// Walks the blocks of a file written by us; fails the test on a structure it does not expect.
inline GifLayout ParseGif(const Bytes& b) {
    GifLayout layout;
    if (b.size() < 13) {
        ADD_FAILURE() << "no GIF header";
        return layout;
    }
    const auto word = [&](std::size_t at) { return int32(b[at] | b[at + 1] << 8); };
    layout.width = word(6);
    layout.height = word(8);
    std::size_t at = 13;
    if ((b[10] & 0x80) != 0) {
        const std::size_t size = 3u << ((b[10] & 7) + 1);
        layout.palette.assign(b.begin() + 13, b.begin() + 13 + std::ptrdiff_t(size));
        at += size;
    }
    const auto skipBlocks = [&] {
        while (at < b.size() && b[at] != 0) {
            at += b[at] + 1u;
        }
        ++at;
    };
    GifImage pending;
    while (at < b.size() && b[at] != 0x3B) {
        if (b[at] == 0x21 && b[at + 1] == 0xF9) {
            pending.disposal = (b[at + 3] >> 2) & 7;
            pending.delay = word(at + 4);
            pending.transparent = (b[at + 3] & 1) != 0 ? b[at + 6] : -1;
            at += 2;
            skipBlocks();
        } else if (b[at] == 0x21 && b[at + 1] == 0xFF) {
            if (std::string(b.begin() + std::ptrdiff_t(at) + 3,
                            b.begin() + std::ptrdiff_t(at) + 14) == "NETSCAPE2.0") {
                layout.loop = word(at + 16);
            }
            at += 2;
            skipBlocks();
        } else if (b[at] == 0x2C) {
            pending.left = word(at + 1);
            pending.top = word(at + 3);
            pending.width = word(at + 5);
            pending.height = word(at + 7);
            pending.interlaced = (b[at + 9] & 0x40) != 0;
            at += 10 + ((b[at + 9] & 0x80) != 0 ? 3u << ((b[at + 9] & 7) + 1) : 0u) + 1;
            skipBlocks();
            layout.images.push_back(pending);
            pending = {};
        } else {
            ADD_FAILURE() << "unexpected block " << int(b[at]) << " at " << at;
            break;
        }
    }
    return layout;
}

}  // namespace gif_export_test
