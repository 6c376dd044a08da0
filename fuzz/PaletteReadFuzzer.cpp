// Reads arbitrary bytes as a palette file, from the file and from a memory stream: both ways
// must agree. A palette that reads is written back and must read back the same.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzImages.h"
#include "YKPaletteFile.h"

namespace {

bool Same(const YKColorMap& a, const YKColorMap& b) {
    return a.name == b.name && std::memcmp(a.colors, b.colors, sizeof a.colors) == 0 &&
           std::memcmp(a.inverse, b.inverse, sizeof a.inverse) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char pattern[] = "/tmp/gravik-fuzz-palette-XXXXXX";
    const char* path = FuzzInputFile(data, size, pattern);
    static YKColorMap fromFile, fromMemory, again;
    std::string fileError, memoryError;
    const bool read = YKPaletteFile::Read(path, 4, &fromFile, &fileError);
    std::FILE* stream = size > 0 ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : nullptr;
    const bool readMemory =
        stream != nullptr && YKPaletteFile::Read(stream, int64(size), 4, &fromMemory, &memoryError);
    if (stream != nullptr) {
        std::fclose(stream);
    }
    if (read != readMemory || (read && !Same(fromFile, fromMemory)) ||
        (!read && fileError.empty())) {
        std::abort();
    }
    if (read) {
        static const std::string copy = std::string(path) + ".palette";
        std::string error;
        if (fromFile.name.size() > YKColorMap::kMaxNameLength ||
            !YKPaletteFile::Write(copy.c_str(), fromFile, &error) ||
            !YKPaletteFile::Read(copy.c_str(), 5, &again, &error) || !Same(fromFile, again)) {
            std::abort();
        }
    }
    return 0;
}
