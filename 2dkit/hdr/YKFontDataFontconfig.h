#pragma once

// YKFontDataFontconfig: a font named the way the system names it, by family and style. The
// system's font configuration picks the installed file that fits best; the glyphs then come
// from that file exactly as for YKFontDataFreetype.

#include "YKFontDataFreetype.h"
#include "yk_font_match.h"

class YKFontDataFontconfig : public YKFontDataFreetype {
public:
    YKFontDataFontconfig(const char* family, const char* style);

    // What was asked for; Family() and Style() tell what was found.
    const std::string& RequestedFamily() const { return mRequestedFamily; }
    const std::string& RequestedStyle() const { return mRequestedStyle; }

private:
    // Family and style are taken from the match whole: either may hold spaces.
    YKFontDataFontconfig(const yk_font_match_result& match, const char* family, const char* style);

    std::string mRequestedFamily;
    std::string mRequestedStyle;
};
