#pragma once

// YKPaletteFile: a colour map on disk. Little-endian int32 name length N, the N bytes of the name
// (not terminated), 256 colours as red, green, blue, alpha, then the 32,768-byte inverse map.
// A file of any other size than N + 33,796 bytes is not a palette.

#include <cstdio>
#include <string>

#include "YKColorMap.h"
#include "yk_types.h"

class YKPaletteFile {
public:
    // Everything but the name.
    static constexpr int64 kFixedBytes = 4 + YKColorMap::kColorCount * 4 + YKColorMap::kInverseSize;

    // Reads the regular file `path` into `map`; a name longer than the record holds is cut, an
    // empty one becomes "Palette <number>". False, with the reason in `error` and `map`
    // unchanged, when the file cannot be read or is not a palette.
    static bool Read(const char* path, int32 number, YKColorMap* map, std::string* error);
    // The same from `stream`, holding `size` bytes from where it stands.
    static bool Read(std::FILE* stream, int64 size, int32 number, YKColorMap* map,
                     std::string* error);
    // Writes `map` (its name cut as reading would) without damaging what `path` held on failure.
    static bool Write(const char* path, const YKColorMap& map, std::string* error);
};
