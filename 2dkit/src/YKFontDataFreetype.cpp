#include "YKFontDataFreetype.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include <freetype/tttables.h>

#include "YKAlert.h"
#include "YKAutolock.h"
#include "yk_font_match.h"

namespace {

// Font descriptions longer than this are cut, as the fixed buffers of older documents were.
constexpr std::size_t kMaxDescription = 1023;

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

struct ParsedDescription {
    std::string path;
    std::string family;
    std::string style;
};

// "<path> <family> <style>" where paths (and families) may hold spaces: the path is the
// longest run of leading words that names an existing file, else the first word; of the rest,
// the last word is the style and the words before it the family.
ParsedDescription ParseDescription(std::string text) {
    if (text.size() > kMaxDescription) {
        text.resize(kMaxDescription);
    }
    const std::size_t start = text.find_first_not_of(' ');
    text = start == std::string::npos ? std::string() : text.substr(start);
    ParsedDescription result;
    std::size_t pathEnd = text.find(' ');
    for (std::size_t end = text.size(); end != std::string::npos && end > 0;
         end = text.rfind(' ', end - 1)) {
        if (IsRegularFile(text.substr(0, end))) {
            pathEnd = end;
            break;
        }
    }
    result.path = text.substr(0, pathEnd);
    std::string rest = pathEnd < text.size() ? text.substr(pathEnd + 1) : std::string();
    while (!rest.empty() && rest.back() == ' ') {
        rest.pop_back();
    }
    const std::size_t restStart = rest.find_first_not_of(' ');
    rest = restStart == std::string::npos ? std::string() : rest.substr(restStart);
    const std::size_t lastSpace = rest.rfind(' ');
    if (lastSpace == std::string::npos) {
        result.family = rest;
    } else {
        result.family = rest.substr(0, rest.find_last_not_of(' ', lastSpace) + 1);
        result.style = rest.substr(lastSpace + 1);
    }
    return result;
}

// FreeType opens a file whose tables run past its end and fails only later, on some glyphs:
// every table's last byte must be readable.
bool TablesComplete(FT_Face face) {
    if (!FT_IS_SFNT(face)) {
        return true;
    }
    FT_ULong count = 0;
    FT_Sfnt_Table_Info(face, 0, nullptr, &count);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_ULong tag = 0;
        FT_ULong length = 0;
        if (FT_Sfnt_Table_Info(face, i, &tag, &length) != 0) {
            return false;
        }
        FT_Byte last = 0;
        FT_ULong one = 1;
        if (length > 0 && FT_Load_Sfnt_Table(face, tag, length - 1, &last, &one) != 0) {
            return false;
        }
    }
    return true;
}

double ClampSize(double size) {
    if (!std::isfinite(size)) {
        return 10.0;
    }
    return std::clamp(size, YKFontDataFreetype::kMinSize, YKFontDataFreetype::kMaxSize);
}

}  // namespace

YKFontDataFreetype::YKFontDataFreetype(const char* description) {
    mDescription = description != nullptr ? description : "";
    if (mDescription.size() > kMaxDescription) {
        mDescription.resize(kMaxDescription);
    }
    const ParsedDescription parsed = ParseDescription(mDescription);
    mFamily = parsed.family;
    mStyle = parsed.style;
    SetData(parsed.path);
}

YKFontDataFreetype::~YKFontDataFreetype() {
    if (mFace != nullptr) {
        YKAutolock lock(lock_freetype_access);
        FT_Done_Face(mFace);
    }
}

void YKFontDataFreetype::SetData(const std::string& path) {
    if (!OpenFace(path)) {
        const std::string fallback = yk_fallback_font_path();
        char text[2200];
        std::snprintf(text, sizeof(text), "No <%s> on your computer !\nReplaced by <%s>.",
                      path.c_str(), fallback.c_str());
        YKAlert(text, "OK").Go();
        mUsedFallback = true;
        if (!OpenFace(fallback)) {
            return;
        }
    }
    YKAutolock lock(lock_freetype_access);
    if (mFamily.empty() && mFace->family_name != nullptr) {
        mFamily = mFace->family_name;
    }
    if (mStyle.empty() && mFace->style_name != nullptr) {
        mStyle = mFace->style_name;
    }
    ChooseCharMap();
    ApplySize();
}

bool YKFontDataFreetype::OpenFace(const std::string& path) {
    YKAutolock lock(lock_freetype_access);
    FT_Library library = yk_freetype_library();
    FT_Face face = nullptr;
    if (library == nullptr || path.empty() || !IsRegularFile(path) ||
        FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        return false;
    }
    if (!FT_IS_SCALABLE(face) || !TablesComplete(face)) {
        FT_Done_Face(face);
        return false;
    }
    mFace = face;
    mPath = path;
    return true;
}

void YKFontDataFreetype::ChooseCharMap() {
    for (FT_Int i = 0; i < mFace->num_charmaps; ++i) {
        const FT_CharMap map = mFace->charmaps[i];
        const bool windows = map->platform_id == 3 && map->encoding_id == 1;
        const bool unicode = map->platform_id == 0 && map->encoding_id <= 1;
        if ((windows || unicode) && FT_Set_Charmap(mFace, map) == 0) {
            mHasUnicodeMap = true;
            return;
        }
    }
    YKAlert("Sorry, but this font doesn't contain any Unicode mapping table.\n", "OK").Go();
}

void YKFontDataFreetype::ApplySize() {
    ShapeChanged();
    for (auto& page : mGlyphPages) {
        page.reset();
    }
    mGlyphs.clear();
    mKerning.clear();
    mCachedPoints = 0;
    if (mFace == nullptr) {
        return;
    }
    const auto h = static_cast<FT_F26Dot6>(std::lround(mSizeH * 2048));
    const auto v = static_cast<FT_F26Dot6>(std::lround(mSizeV * 2048));
    if (FT_Set_Char_Size(mFace, h, v, static_cast<FT_UInt>(mResH), static_cast<FT_UInt>(mResV)) !=
        0) {
        return;
    }
    // The size's own ascender and descender are rounded to whole (32x) pixels: scale the
    // face's units instead.
    const FT_Fixed scale = mFace->size->metrics.y_scale;
    mUnitAscent = static_cast<double>(FT_MulFix(mFace->ascender, scale));
    mUnitDescent = static_cast<double>(FT_MulFix(mFace->descender, scale));
    mAscent = mUnitAscent / 2048.0;
    mDescent = -mUnitDescent / 2048.0;
    mHeight = static_cast<double>(FT_MulFix(mFace->height, scale)) / 2048.0;
}

void YKFontDataFreetype::SetSize(double h, double v) {
    h = ClampSize(h);
    v = ClampSize(v);
    if (h == mSizeH && v == mSizeV) {
        return;
    }
    YKFontData::SetSize(h, v);
    YKAutolock lock(lock_freetype_access);
    ApplySize();
}

void YKFontDataFreetype::SetResH(int16 dpi) {
    if (dpi >= 1 && dpi <= 2400 && dpi != mResH) {
        mResH = dpi;
        YKAutolock lock(lock_freetype_access);
        ApplySize();
    }
}

void YKFontDataFreetype::SetResV(int16 dpi) {
    if (dpi >= 1 && dpi <= 2400 && dpi != mResV) {
        mResV = dpi;
        YKAutolock lock(lock_freetype_access);
        ApplySize();
    }
}

YKFontDataFreetype::GlyphEntry& YKFontDataFreetype::CachedGlyph(uint16 code) {
    std::unique_ptr<GlyphPage>& page = mGlyphPages[code >> 8];
    if (page != nullptr && (*page)[code & 0xFF] != nullptr) {
        return *(*page)[code & 0xFF];
    }
    auto [entry, inserted] = mGlyphs.try_emplace(code);
    GlyphEntry& glyph = entry->second;
    glyph.code = code;
    if (page == nullptr) {
        page = std::make_unique<GlyphPage>();
    }
    (*page)[code & 0xFF] = &glyph;
    if (!inserted || mFace == nullptr) {
        return glyph;
    }
    ++mGlyphLoads;
    glyph.index = FT_Get_Char_Index(mFace, code);
    // Unhinted outlines: hinting would snap the 32x glyphs to a grid 32 times finer than the
    // pixels they end on, distorting them for nothing.
    if (FT_Load_Glyph(mFace, glyph.index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
        mFace->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        // An unreadable glyph draws nothing and does not move the pen.
        return glyph;
    }
    glyph.metrics = mFace->glyph->metrics;
    const FT_Outline& outline = mFace->glyph->outline;
    glyph.points.assign(outline.points, outline.points + outline.n_points);
    glyph.tags.assign(outline.tags, outline.tags + outline.n_points);
    glyph.contours.assign(outline.contours, outline.contours + outline.n_contours);
    return glyph;
}

void YKFontDataFreetype::PrintToStream() const {
    YKFontData::PrintToStream();
    std::printf("  resolution %d x %d dpi, %d glyphs cached%s%s\n", mResH, mResV,
                CountCachedGlyphs(), mUsedFallback ? ", fallback face" : "",
                mHasUnicodeMap ? "" : ", no Unicode map");
}
