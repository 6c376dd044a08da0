// Reads arbitrary PNG bytes as an image file through the registry and straight from memory: both
// ways must agree on the pixels or on the error text. Each input is read a second time with
// its chunk CRCs made right, so that mutations reach the image data instead of the CRC check.

#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FuzzImages.h"
#include "YKPngIO.h"
#include "YKRasterFile.h"

namespace {

uint32 BigEndian(const uint8_t* bytes) {
    return uint32{bytes[0]} << 24 | uint32{bytes[1]} << 16 | uint32{bytes[2]} << 8 | bytes[3];
}

// Rewrites the CRC of every whole chunk; false when none changed.
bool RepairCrcs(std::vector<uint8_t>& bytes) {
    bool changed = false;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const size_t length = BigEndian(&bytes[at]);
        if (length > bytes.size() - at - 12) {
            break;
        }
        const uint32 crc = static_cast<uint32>(crc32(0, &bytes[at + 4], uInt(length + 4)));
        uint8_t* stored = &bytes[at + 8 + length];
        changed |= BigEndian(stored) != crc;
        for (int i = 0; i < 4; ++i) {
            stored[i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        }
        at += length + 12;
    }
    return changed;
}

void Check(const std::vector<uint8_t>& bytes) {
    static char pattern[] = "/tmp/gravik-fuzz-png-XXXXXX";
    const char* path = FuzzInputFile(bytes.data(), bytes.size(), pattern);
    const YKRasterFile file(path);
    std::string error;
    const std::unique_ptr<YKRaster> raster(YKPngIO::ReadMemory(bytes.data(), bytes.size(), &error));
    if ((raster == nullptr && error.empty()) || error != file.ErrorText() ||
        RasterFingerprint(raster.get()) != RasterFingerprint(file.Raster())) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Images up to the raster limit are legitimate and tested on their own; here they would only
    // make each run slow.
    if (!YKPngIO::IsPng(data, size) ||
        (size >= 24 && uint64_t{BigEndian(data + 16)} * BigEndian(data + 20) > (1u << 16))) {
        return 0;
    }
    std::vector<uint8_t> bytes(data, data + size);
    Check(bytes);
    if (RepairCrcs(bytes)) {
        Check(bytes);
    }
    return 0;
}
