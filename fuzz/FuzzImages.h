#pragma once

// What the image-reader fuzz targets share: a fingerprint to compare two reads of one input,
// and the input as a file, for readers that take paths.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "YKRaster.h"

// Size and pixels in one number; 0 for no raster.
inline uint64_t RasterFingerprint(const YKRaster* raster) {
    if (raster == nullptr) {
        return 0;
    }
    uint64_t hash = 1469598103934665603u ^ uint64_t(raster->Width()) << 32 ^ raster->Height();
    for (int32 y = 0; y < raster->Height(); ++y) {
        const auto* row =
            reinterpret_cast<const uint32*>(raster->Bits() + y * raster->BytesPerRow());
        for (int32 x = 0; x < raster->Width(); ++x) {
            hash = (hash ^ row[x]) * 1099511628211u;
        }
    }
    return hash;
}

// Writes the bytes over the one temporary file of this process (made on first use from
// `pattern`, which ends in "XXXXXX") and returns its path.
inline const char* FuzzInputFile(const uint8_t* data, size_t size, char* pattern) {
    static const int fd = mkstemp(pattern);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) {
        std::abort();
    }
    return pattern;
}
