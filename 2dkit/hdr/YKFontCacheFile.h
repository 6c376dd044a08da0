#pragma once

// The font cache's file format: a big-endian int32 font count, then four lines per font (full
// path, file name, family, style), each an int32 length n that counts the terminating NUL,
// followed by the n bytes.

#include <ctime>
#include <string>
#include <vector>

#include "YKFontCacheEntry.h"
#include "yk_types.h"

class YKFontCacheFile {
public:
    // Longest line accepted, terminating NUL included.
    static constexpr int32 kMaxLineLength = 5120;
    // A cache file longer than this is taken as damaged rather than read into memory.
    static constexpr int64 kMaxFileSize = int64(64) << 20;

    // Reads `size` bytes of a cache file into `fonts`. False when anything fails the checks: a
    // line length outside (0, kMaxLineLength], a line without its NUL or with one inside, an
    // empty path or file name, fewer lines than the count says, or bytes after the last font.
    static bool Parse(const uint8* data, size_t size, std::vector<YKFontCacheEntry>* fonts);
    // Parse() over the file at `path`; false also when it cannot be read or is too long.
    static bool Read(const std::string& path, std::vector<YKFontCacheEntry>* fonts);

    // Whether `font` can be written: no string holds a NUL or is too long for a line.
    static bool Storable(const YKFontCacheEntry& font);
    // The file's bytes for `fonts`, all of which must be storable.
    static std::string Bytes(const std::vector<YKFontCacheEntry>& fonts);
    // Writes the file through a temporary file renamed over `path`, so that a crash leaves
    // the old file or the new one, never half of one. The file's modification time is set to
    // `modified`. False (and `path` untouched) when any step fails.
    static bool Write(const std::string& path, const std::vector<YKFontCacheEntry>& fonts,
                      const timespec& modified);
};
