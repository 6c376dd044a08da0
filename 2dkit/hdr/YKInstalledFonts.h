#pragma once

// The TrueType and OpenType fonts installed on this computer, as fontconfig lists them. Each
// call loads fontconfig's configuration afresh (FONTCONFIG_FILE included), so it sees fonts
// added since the process started.

#include <ctime>
#include <vector>

#include "YKFontCacheEntry.h"

class YKInstalledFonts {
public:
    // Every TrueType or CFF-flavoured OpenType font file (first face of a collection only: a
    // cache entry names a file, not a face), with the first family and style names it gives,
    // sorted by family, style and path. False when fontconfig cannot load its configuration.
    static bool List(std::vector<YKFontCacheEntry>* fonts);

    // The newest modification time among fontconfig's configuration files (and folders of
    // them), its font folders and every folder below them: adding or removing a font file, or
    // changing the configuration, moves it forward. Zero when nothing can be examined.
    static timespec NewestChange();
};
