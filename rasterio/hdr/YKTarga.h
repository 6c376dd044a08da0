#pragma once

// YKTarga: Targa (.tga) files. Reads true-colour images, raw (type 2) or run-length encoded
// (type 10), of 16, 24 or 32 bits per pixel with any of the four origins; writes 24 or 32 bits
// from the top row down, raw or run-length encoded.
//
// Files are hostile: the header is checked whole, the declared size against the raster limit
// and against what the file's length can hold before any pixel store is made, and image data
// that ends early is an error.

#include <cstddef>
#include <memory>
#include <string>

#include "yk_types.h"

class YKRaster;

class YKTarga {
public:
    static constexpr size_t kHeaderSize = 18;

    // True when `bytes` start with a header of an image this reader decodes.
    static bool IsReadable(const uint8* bytes, size_t size);
    // A new raster, or null with the reason in `error` (may be null).
    static std::unique_ptr<YKRaster> ReadFile(const char* path, bool native, std::string* error);
    static std::unique_ptr<YKRaster> ReadMemory(const uint8* data, size_t size, bool native,
                                                std::string* error);
    // Writes `raster` with `depth` 24 (blue, green, red) or 32 (alpha too), as run-length packets
    // when `rle`, which never cross a row. The file is replaced only once it is complete.
    static bool WriteFile(const char* path, const YKRaster& raster, int32 depth, bool rle,
                          std::string* error);
};
