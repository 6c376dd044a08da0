#include "yk_font_match.h"

#include <mutex>

#include "yk_fontconfig_internal.h"

namespace {

// Fontconfig's default configuration is not safe to build from two threads at once.
std::mutex gMatchLock;

}  // namespace

// Matching goes through fontconfig's default configuration, which it builds on first use and
// keeps for the life of the process: the leak checker of a sanitized run is told not to count it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

yk_font_match_result yk_font_match(const char* family, const char* style) {
    std::lock_guard<std::mutex> guard(gMatchLock);
    yk_font_match_result result;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return result;
    }
    if (family != nullptr && *family != 0) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    }
    if (style != nullptr && *style != 0) {
        FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(style));
    }
    // Only outline fonts have glyph contours.
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult status = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &status);
    if (match != nullptr) {
        result.path = yk_fc_first_string(match, FC_FILE);
        result.family = yk_fc_first_string(match, FC_FAMILY);
        result.style = yk_fc_first_string(match, FC_STYLE);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return result;
}

std::string yk_fallback_font_path() {
    const yk_font_match_result match = yk_font_match("DejaVu Sans", "Book");
    // Fontconfig substitutes something whatever is asked: only DejaVu Sans itself will do.
    if (!match.path.empty() && match.family == "DejaVu Sans") {
        return match.path;
    }
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}
