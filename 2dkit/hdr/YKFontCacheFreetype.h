#pragma once

// The list of installed fonts kept in the file "fontcache" of the settings folder, so that font
// menus are filled without asking the font system at every start-up. The file is rebuilt when
// it is missing, damaged, or older than the newest change to the installed fonts.

#include <string>
#include <vector>

#include "YKFontCacheEntry.h"
#include "yk_types.h"

class YKFontCacheFreetype {
public:
    static constexpr char kFileName[] = "fontcache";
    // What the user is told when the cache can neither be read nor created.
    static constexpr char kCannotCreateText[] =
        "Sorry, Gravik is not able to create the missing font cache file.\n"
        "Your device may be read-only or full.\nThe text tool will not work.";

    // Opens the cache in `settingsFolder` (created when missing), rebuilding it when `rebuild`
    // is true or when it cannot be trusted. On failure InitCheck() is false and the cache is
    // empty; the caller tells the user kCannotCreateText.
    YKFontCacheFreetype(const std::string& settingsFolder, bool rebuild);

    // False when the cache could not be built.
    bool InitCheck() const { return mReady; }
    // True when this object wrote the file anew rather than reading it.
    bool WasRebuilt() const { return mRebuilt; }
    std::string CachePath() const { return mPath; }

    int32 CountFonts() const { return static_cast<int32>(mFonts.size()); }
    // Gives the next font in cache order, starting with the first; false (outputs untouched)
    // after the last one or when an output is null.
    bool GetNextFont(std::string* path, std::string* file, std::string* family, std::string* style);
    // All fonts in cache order: sorted by family, then style, then path.
    const std::vector<YKFontCacheEntry>& Fonts() const { return mFonts; }

    // Lists the installed fonts and writes the file anew; false when it cannot be written.
    bool BuildCache();
    // True when the file is missing or older than the newest change to the installed fonts or
    // to the font system's configuration.
    bool NeedRebuildTest() const;

private:
    std::string mPath;
    std::vector<YKFontCacheEntry> mFonts;
    size_t mNext = 0;
    bool mReady = false;
    bool mRebuilt = false;
};
