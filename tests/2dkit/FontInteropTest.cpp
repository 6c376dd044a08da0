// Our glyphs judged by FreeType's own rasterizer and our pen positions by HarfBuzz, on DejaVu
// Sans. Coverage: each character's contours filled by FreeType's rasterizer and by the zip
// sketcher, against FreeType's rendering of the glyph itself (hinting off) at the same pixel
// size and position, alpha compared over the glyph's box. Pens: a line
// shaped by HarfBuzz with the font's kerning table as its only positioning. The figures are
// printed so that a drift shows before it fails.

#include <gtest/gtest.h>
#include <hb-ft.h>
#include <hb.h>

#include <freetype/ftoutln.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "YKBitmap.h"
#include "YKFontDataFreetype.h"
#include "YKZipSketcher.h"
#include "yk_font_match.h"
#include "yk_utf8.h"

namespace {

const std::string kDejaVu = yk_fallback_font_path();

// Printable ASCII and some accented letters.
std::string Characters() {
    std::string text;
    for (char c = 0x21; c < 0x7F; ++c) {
        text += c;
    }
    return text + "\xC3\xA9\xC3\xA8\xC3\xA0\xC3\xA7\xC3\xB1\xC3\xB6\xC3\x85\xC3\x89\xC3\x9C";
}

// One character as alpha on a square canvas, pen at (pen, 3/4 of the side).
struct Canvas {
    int32 side;
    int32 pen;
    int32 baseline;
    std::vector<uint8> alpha;
    explicit Canvas(int32 px) : side(3 * px + 8), pen(px), baseline(side * 3 / 4) {
        alpha.assign(static_cast<std::size_t>(side) * side, 0);
    }
};

Canvas Ours(YKFontDataFreetype& font, const std::string& character, int32 px) {
    Canvas canvas(px);
    YKBitmap bitmap;
    YKZipSketcher sketcher;
    sketcher.SetBuffer(&bitmap);
    sketcher.SetFrame({0, 0, canvas.side - 1, canvas.side - 1});
    sketcher.SetAntgMode(YK_ANTG_ANTIALIASED);
    sketcher.SetStrokeStyle(YK_STYLE_NONE);
    sketcher.SetFillColor(yk_color(0, 0, 0, 255));
    sketcher.SetFontData(&font);
    // Our contours sit half a pixel up and left of the pen.
    sketcher.DrawString(character.c_str(), {canvas.pen + 0.5, canvas.baseline + 0.5});
    std::vector<uint32> line(canvas.side);
    for (int32 y = 0; y < canvas.side; ++y) {
        bitmap.GetLineAt(y, 0, canvas.side - 1, false, line.data());
        for (int32 x = 0; x < canvas.side; ++x) {
            canvas.alpha[y * canvas.side + x] = static_cast<uint8>(line[x] >> 24);
        }
    }
    return canvas;
}

// Our contours filled by FreeType's rasterizer instead: differences are then our outlines'
// alone (decomposition, flattening, placement), free of the two scan converters' own rules.
Canvas OursByFreeType(FT_Library library, YKFontDataFreetype& font, const std::string& character,
                      int32 px) {
    Canvas canvas(px);
    YKList<YKList<YKPoint<double>>*> contours;
    font.GetGlyphOutlines(contours, character.c_str(), {canvas.pen + 0.5, canvas.baseline + 0.5}, 0,
                          0);
    std::vector<FT_Vector> points;
    std::vector<short> ends;
    for (int32 i = 0; i < contours.CountItems(); ++i) {
        YKList<YKPoint<double>>* contour = contours.ItemAt(i);
        for (int32 j = 0; j < contour->CountItems(); ++j) {
            const YKPoint<double> p = contour->ItemAt(j);
            points.push_back({std::lround(p.x * 64), std::lround((canvas.side - p.y) * 64)});
        }
        ends.push_back(static_cast<short>(points.size() - 1));
        delete contour;
    }
    std::vector<char> tags(points.size(), FT_CURVE_TAG_ON);
    FT_Outline outline{};
    outline.n_points = static_cast<short>(points.size());
    outline.n_contours = static_cast<short>(ends.size());
    outline.points = points.data();
    outline.tags = tags.data();
    outline.contours = ends.data();
    FT_Bitmap bitmap{};
    bitmap.rows = static_cast<unsigned int>(canvas.side);
    bitmap.width = static_cast<unsigned int>(canvas.side);
    bitmap.pitch = canvas.side;
    bitmap.buffer = canvas.alpha.data();
    bitmap.num_grays = 256;
    bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
    EXPECT_EQ(FT_Outline_Get_Bitmap(library, &outline, &bitmap), 0);
    return canvas;
}

Canvas Reference(FT_Face face, uint32 code, int32 px) {
    Canvas canvas(px);
    EXPECT_EQ(FT_Load_Char(face, code, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), 0);
    EXPECT_EQ(FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL), 0);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    for (uint32 row = 0; row < bitmap.rows; ++row) {
        for (uint32 col = 0; col < bitmap.width; ++col) {
            const int32 x = canvas.pen + face->glyph->bitmap_left + static_cast<int32>(col);
            const int32 y = canvas.baseline - face->glyph->bitmap_top + static_cast<int32>(row);
            if (x >= 0 && y >= 0 && x < canvas.side && y < canvas.side) {
                canvas.alpha[y * canvas.side + x] = bitmap.buffer[row * bitmap.pitch + col];
            }
        }
    }
    return canvas;
}

class FontInteropTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(FT_Init_FreeType(&mLibrary), 0);
        ASSERT_EQ(FT_New_Face(mLibrary, kDejaVu.c_str(), 0, &mFace), 0);
    }
    void TearDown() override {
        FT_Done_Face(mFace);
        FT_Done_FreeType(mLibrary);
    }

    FT_Library mLibrary = nullptr;
    FT_Face mFace = nullptr;
};

// Mean and worst alpha difference over the boxes either side inked, so that empty canvas does
// not dilute the mean.
struct Difference {
    double sum = 0;
    int64 count = 0;
    int32 worst = 0;

    void Add(const Canvas& ours, const Canvas& theirs) {
        int32 left = ours.side, top = ours.side, right = -1, bottom = -1;
        for (int32 y = 0; y < ours.side; ++y) {
            for (int32 x = 0; x < ours.side; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * ours.side + x;
                if (ours.alpha[i] != 0 || theirs.alpha[i] != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        for (int32 y = top; y <= bottom; ++y) {
            for (int32 x = left; x <= right; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * ours.side + x;
                const int32 difference = std::abs(ours.alpha[i] - theirs.alpha[i]);
                sum += difference;
                ++count;
                worst = std::max(worst, difference);
            }
        }
    }
    double Mean() const { return count > 0 ? sum / static_cast<double>(count) : 0; }
};

TEST_F(FontInteropTest, GlyphCoverageMatchesFreeTypesRasterizer) {
    YKFontDataFreetype font((kDejaVu + " DejaVu Sans Book").c_str());
    const std::vector<uint16> codes = yk_utf8_to_ucs2(Characters().c_str());
    for (int32 px : {9, 12, 24, 72}) {
        // An em of size s is s*96/72 pixels.
        font.SetSize(px * 0.75, px * 0.75);
        ASSERT_EQ(FT_Set_Pixel_Sizes(mFace, 0, px), 0);
        Difference outlines;
        Difference engine;
        for (uint16 code : codes) {
            const std::string character =
                code < 0x80 ? std::string(1, static_cast<char>(code))
                            : std::string{static_cast<char>(0xC0 | code >> 6),
                                          static_cast<char>(0x80 | (code & 0x3F))};
            const Canvas theirs = Reference(mFace, code, px);
            outlines.Add(OursByFreeType(mLibrary, font, character, px), theirs);
            engine.Add(Ours(font, character, px), theirs);
        }
        std::printf(
            "%2d px: outlines mean %.3f worst %d; with our scan converter mean %.3f "
            "worst %d\n",
            px, outlines.Mean(), outlines.worst, engine.Mean(), engine.worst);
        EXPECT_LE(outlines.Mean(), 2.0) << px << " px";
        EXPECT_LE(outlines.worst, 64) << px << " px";
        // Our scan converter counts a gap that starts and ends inside one pixel of a
        // sub-scanline as covered, which fills the sub-pixel notches where glyph strokes meet
        // (single pixels up to 160 apart): only the mean is bounded, to catch misplacement.
        EXPECT_LE(engine.Mean(), px < 24 ? 5.0 : 2.0) << px << " px";
    }
}

// HarfBuzz sees the font without its OpenType layout tables, so that it positions with the
// kerning table as FreeType reads it.
hb_blob_t* TablesWithoutLayout(hb_face_t*, hb_tag_t tag, void* data) {
    if (tag == HB_TAG('G', 'P', 'O', 'S') || tag == HB_TAG('G', 'S', 'U', 'B') ||
        tag == HB_TAG('G', 'D', 'E', 'F')) {
        return hb_blob_get_empty();
    }
    return hb_face_reference_table(static_cast<hb_face_t*>(data), tag);
}

TEST_F(FontInteropTest, PenPositionsMatchHarfBuzzWithKerningOnly) {
    const char* text = "AVATAR Wavy LT To. Ty, P. Yo! \"Kerning\" fjord 7/4 Ta-Te Vé";
    hb_blob_t* blob = hb_blob_create_from_file(kDejaVu.c_str());
    hb_face_t* file = hb_face_create(blob, 0);
    hb_face_t* face = hb_face_create_for_tables(TablesWithoutLayout, file, nullptr);
    hb_face_set_upem(face, hb_face_get_upem(file));
    hb_font_t* hbFont = hb_font_create(face);
    YKFontDataFreetype font((kDejaVu + " DejaVu Sans Book").c_str());
    const std::vector<uint16> codes = yk_utf8_to_ucs2(text);
    for (double size : {9.0, 12.0, 54.0}) {
        font.SetSize(size, size);
        // HarfBuzz in our outline units: 1/2048 pixel, an em of size*96/72 pixels.
        const int scale = static_cast<int>(std::lround(size * 2048 * 96 / 72));
        hb_font_set_scale(hbFont, scale, scale);
        hb_buffer_t* buffer = hb_buffer_create();
        hb_buffer_add_utf8(buffer, text, -1, 0, -1);
        hb_buffer_guess_segment_properties(buffer);
        hb_feature_t kern{HB_TAG('k', 'e', 'r', 'n'), 1, HB_FEATURE_GLOBAL_START,
                          HB_FEATURE_GLOBAL_END};
        hb_shape(hbFont, buffer, &kern, 1);
        unsigned int count = 0;
        const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
        ASSERT_EQ(count, codes.size());
        // Our pen before character i: the width up to it, less its own advance.
        std::string prefix;
        double hbPen = 0;
        double worst = 0;
        const char* p = text;
        for (unsigned int i = 0; i < count; ++i) {
            const char* next = p + 1;
            while ((*next & 0xC0) == 0x80) {
                ++next;
            }
            const std::string character(p, next);
            prefix += character;
            p = next;
            const double ours =
                font.StringWidth(prefix.c_str(), 0) - font.StringWidth(character.c_str(), 0);
            const double theirs = (hbPen + positions[i].x_offset) / 2048.0;
            worst = std::max(worst, std::fabs(ours - theirs));
            EXPECT_NEAR(ours, theirs, 1.0 / 64) << "character " << i << " at size " << size;
            hbPen += positions[i].x_advance;
        }
        std::printf("size %g: worst pen difference %.5f px over %u characters\n", size, worst,
                    count);
        hb_buffer_destroy(buffer);
    }
    hb_font_destroy(hbFont);
    hb_face_destroy(face);
    hb_face_destroy(file);
    hb_blob_destroy(blob);
}

}  // namespace
