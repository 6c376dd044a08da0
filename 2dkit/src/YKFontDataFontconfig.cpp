#include "YKFontDataFontconfig.h"

namespace {

std::string OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace

YKFontDataFontconfig::YKFontDataFontconfig(const char* family, const char* style)
    : YKFontDataFontconfig(yk_font_match(family, style), family, style) {}

YKFontDataFontconfig::YKFontDataFontconfig(const yk_font_match_result& match, const char* family,
                                           const char* style)
    : YKFontDataFreetype((match.path + " " + match.family + " " + match.style).c_str()),
      mRequestedFamily(OrEmpty(family)),
      mRequestedStyle(OrEmpty(style)) {
    if (!UsedFallback()) {
        mFamily = match.family;
        mStyle = match.style;
    }
}
