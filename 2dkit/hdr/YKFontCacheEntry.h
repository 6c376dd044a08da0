#pragma once

#include <string>

// One installed font as the font cache lists it. Family and style may be empty when the font
// names none; path and file never are.
struct YKFontCacheEntry {
    std::string path;    // full path of the font file
    std::string file;    // its file name alone
    std::string family;  // e.g. "DejaVu Sans"
    std::string style;   // e.g. "Bold Oblique"

    bool operator==(const YKFontCacheEntry&) const = default;
};
