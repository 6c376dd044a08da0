// Reads arbitrary bytes as a font cache file, from memory and from the file. Both ways must
// agree, and a cache that reads must write back byte for byte: the format has one spelling per
// list, so anything else that was accepted is damage let through.

#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzImages.h"
#include "YKFontCacheFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char pattern[] = "/tmp/gravik-fuzz-fontcache-XXXXXX";
    std::vector<YKFontCacheEntry> fromMemory, fromFile;
    const bool read = YKFontCacheFile::Parse(data, size, &fromMemory);
    const bool readFile = YKFontCacheFile::Read(FuzzInputFile(data, size, pattern), &fromFile);
    if (read != readFile || fromMemory != fromFile) {
        std::abort();
    }
    if (read) {
        for (const YKFontCacheEntry& font : fromMemory) {
            if (!YKFontCacheFile::Storable(font)) {
                std::abort();
            }
        }
        if (YKFontCacheFile::Bytes(fromMemory) != std::string(data, data + size)) {
            std::abort();
        }
    }
    return 0;
}
