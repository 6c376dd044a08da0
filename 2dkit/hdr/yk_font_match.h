#pragma once

#include <string>

// The installed font file fontconfig finds best for a family and style, with the family and
// style of what it found. An empty path when nothing matches.
struct yk_font_match_result {
    std::string path;
    std::string family;
    std::string style;
};
yk_font_match_result yk_font_match(const char* family, const char* style);

// The face used when a font cannot be opened: DejaVu Sans, wherever fontconfig knows it.
std::string yk_fallback_font_path();
