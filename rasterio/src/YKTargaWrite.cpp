// Targa writing: 24 or 32 bits from the top row down, raw or in run-length packets.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "YKRaster.h"
#include "YKRasterFilters.h"
#include "YKReplacedFile.h"
#include "YKTarga.h"
#include "yk_io_error_internal.h"

namespace {

constexpr int32 kMaxSide = 65535;  // 16-bit fields
constexpr int32 kMaxPacket = 128;

// Appends one row's pixels, `bytes` (3 or 4) of each, in run-length packets. Pixels are equal
// when the bytes written of them are: a 24-bit file does not see alpha.
void EncodeRow(const uint32* pixels, int32 width, int32 bytes, std::vector<uint8>& out) {
    const uint32 mask = bytes == 4 ? ~0u : 0xFFFFFFu;
    const auto same = [&](int32 a, int32 b) { return ((pixels[a] ^ pixels[b]) & mask) == 0; };
    const auto put = [&](int32 x) {
        const auto* p = reinterpret_cast<const uint8*>(pixels + x);
        out.insert(out.end(), p, p + bytes);
    };
    for (int32 x = 0; x < width;) {
        int32 run = 1;
        while (x + run < width && run < kMaxPacket && same(x, x + run)) {
            ++run;
        }
        if (run > 1) {
            out.push_back(static_cast<uint8>(0x80 | (run - 1)));
            put(x);
            x += run;
            continue;
        }
        // Literal pixels up to where two equal ones begin a run.
        int32 count = 1;
        while (x + count < width && count < kMaxPacket &&
               !(x + count + 1 < width && same(x + count, x + count + 1))) {
            ++count;
        }
        out.push_back(static_cast<uint8>(count - 1));
        for (int32 i = 0; i < count; ++i) {
            put(x + i);
        }
        x += count;
    }
}

void PackRow(const uint32* pixels, int32 width, int32 bytes, std::vector<uint8>& out) {
    if (bytes == 4) {
        const auto* p = reinterpret_cast<const uint8*>(pixels);
        out.insert(out.end(), p, p + size_t(width) * 4);
        return;
    }
    for (int32 x = 0; x < width; ++x) {
        const auto* p = reinterpret_cast<const uint8*>(pixels + x);
        out.insert(out.end(), p, p + 3);
    }
}

}  // namespace

bool YKTarga::WriteFile(const char* path, const YKRaster& raster, int32 depth, bool rle,
                        std::string* error) {
    if (depth != 24 && depth != 32) {
        yk_set_error(error, "Targa files are written with 24 or 32 bits per pixel");
        return false;
    }
    if (raster.Bits() == nullptr || raster.BytesPerPixel() != 4) {
        yk_set_error(error, "nothing to write: the raster has no 32-bit pixels");
        return false;
    }
    const int32 width = raster.Width();
    const int32 height = raster.Height();
    if (width > kMaxSide || height > kMaxSide) {
        yk_set_error(error, "Targa files hold at most 65535 pixels a side");
        return false;
    }
    YKReplacedFile file(path);
    if (file.Stream() == nullptr) {
        yk_set_error(error, std::string("cannot write the Targa file: ") + file.Error());
        return false;
    }
    // No id, no colour map, origin (0, 0); the descriptor puts the first row at the top and
    // declares 8 alpha bits in a 32-bit file.
    uint8 header[kHeaderSize] = {};
    header[2] = rle ? 10 : 2;
    header[12] = static_cast<uint8>(width);
    header[13] = static_cast<uint8>(width >> 8);
    header[14] = static_cast<uint8>(height);
    header[15] = static_cast<uint8>(height >> 8);
    header[16] = static_cast<uint8>(depth);
    header[17] = depth == 32 ? 0x28 : 0x20;
    bool written = std::fwrite(header, 1, sizeof header, file.Stream()) == sizeof header;
    const int32 bytes = depth / 8;
    std::vector<uint8> row;
    row.reserve(size_t(width) * (bytes + 1));
    for (int32 y = 0; written && y < height; ++y) {
        const auto* pixels =
            reinterpret_cast<const uint32*>(raster.Bits() + int64{y} * raster.BytesPerRow());
        row.clear();
        (rle ? EncodeRow : PackRow)(pixels, width, bytes, row);
        written = std::fwrite(row.data(), 1, row.size(), file.Stream()) == row.size();
    }
    if (!written) {
        yk_set_error(error, std::string("cannot write the Targa file: ") + std::strerror(errno));
        return false;
    }
    if (!file.Commit()) {
        yk_set_error(error, std::string("cannot write the Targa file: ") + file.Error());
        return false;
    }
    YKRasterFilters::SetMimeType(path, "image/x-tga");
    return true;
}
