#include "YKFontDataFontconfig.h"

#include "yk_font_match.h"

namespace {

std::string MatchSpecification(const char* family, const char* style) {
    const yk_font_match_result match = yk_font_match(family, style);
    return match.path + " " + match.family + " " + match.style;
}

std::string OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace

YKFontDataFontconfig::YKFontDataFontconfig(const char* family, const char* style)
    : YKFontDataFreetype(MatchSpecification(family, style).c_str()),
      mRequestedFamily(OrEmpty(family)),
      mRequestedStyle(OrEmpty(style)) {}
