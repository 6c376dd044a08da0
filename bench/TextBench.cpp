// A paragraph of 1,000 characters (English with some accented letters, 14 lines) in DejaVu Sans
// with a 24 pixel em, filled black on a transparent 32-bit canvas: by our font data, sketcher
// and zip sketcher, and by Cairo's cairo_show_text over the same file (gray antialiasing,
// no hinting). Our size is 18: an em of size s measures s*96/72 pixels. A second pair lays the
// paragraph out without filling (our widths and contours, Cairo's text path) to show where
// the time goes. Each run counts one byte per character, so the ratios are speed ratios.

#include <cairo-ft.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "YKBitmap.h"
#include "YKFontDataFreetype.h"
#include "YKZipSketcher.h"
#include "yk_font_match.h"
#include "yk_utf8.h"

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 440;
constexpr double kOurSize = 18.0;
constexpr double kEmPixels = kOurSize * 96.0 / 72.0;
constexpr double kLineStep = 30.0;
constexpr std::size_t kCharacters = 1000;
constexpr std::size_t kLineCharacters = 78;

// The paragraph's lines, cut at spaces, 1,000 characters in all.
const std::vector<std::string>& Lines() {
    static const std::vector<std::string> lines = [] {
        const std::string source =
            "The quick brown fox jumps over the lazy dog while the café owner, a naïve "
            "but cheerful man from Zürich, serves crème brûlée to the tourists. Façades "
            "along the river glow in the evening light; señoritas and garçons stroll past "
            "the old bookshop where Æsop's fables sit beside a worn copy of Les Misérables. "
            "Typography matters: kerning pairs like AV, To, Wa and Ye pull letters together "
            "so that words read evenly across the page. ";
        std::vector<uint16> codes;
        while (codes.size() < kCharacters) {
            const std::vector<uint16> more = yk_utf8_to_ucs2(source.c_str());
            codes.insert(codes.end(), more.begin(), more.end());
        }
        codes.resize(kCharacters);
        std::vector<std::string> result;
        std::size_t start = 0;
        while (start < codes.size()) {
            std::size_t end = std::min(codes.size(), start + kLineCharacters);
            while (end < codes.size() && end > start + 1 && codes[end - 1] != ' ') {
                --end;
            }
            std::string line;
            for (std::size_t i = start; i < end; ++i) {
                const uint16 c = codes[i];
                if (c < 0x80) {
                    line += static_cast<char>(c);
                } else {
                    line += static_cast<char>(0xC0 | (c >> 6));
                    line += static_cast<char>(0x80 | (c & 0x3F));
                }
            }
            result.push_back(line);
            start = end;
        }
        return result;
    }();
    return lines;
}

double Baseline(std::size_t line) {
    return kLineStep * static_cast<double>(line + 1);
}

// --- Ours ---

class OurText {
public:
    OurText() : mFont((yk_fallback_font_path() + " DejaVu Sans Book").c_str()) {
        mFont.SetSize(kOurSize, kOurSize);
        mSketcher.SetBuffer(&mBitmap);
        mSketcher.SetFrame({0, 0, kWidth - 1, kHeight - 1});
        mSketcher.SetAntgMode(YK_ANTG_ANTIALIASED);
        mSketcher.SetStrokeStyle(YK_STYLE_NONE);
        mSketcher.SetFillStyle(YK_STYLE_COLOR);
        mSketcher.SetFillColor(yk_color(0, 0, 0, 255));
        mSketcher.SetFontData(&mFont);
    }
    void Draw() {
        for (std::size_t i = 0; i < Lines().size(); ++i) {
            // Our contours sit half a pixel up and left of the pen.
            mSketcher.DrawString(Lines()[i].c_str(), {10.5, Baseline(i) + 0.5});
        }
    }
    // The canvas's alpha summed, in pixels: both engines must have drawn the same paragraph.
    double Ink() {
        int64 sum = 0;
        std::vector<uint32> line(kWidth);
        for (int32 y = 0; y < kHeight; ++y) {
            mBitmap.GetLineAt(y, 0, kWidth - 1, false, line.data());
            for (uint32 pixel : line) {
                sum += pixel >> 24;
            }
        }
        return static_cast<double>(sum) / 255.0;
    }
    // Widths and contours only: what a text object computes before the fill.
    double Layout() {
        double width = 0;
        for (std::size_t i = 0; i < Lines().size(); ++i) {
            width += mFont.StringWidth(Lines()[i].c_str(), 0);
            YKList<YKList<YKPoint<double>>*> contours;
            mFont.GetGlyphOutlines(contours, Lines()[i].c_str(), {10.5, Baseline(i) + 0.5}, 0, 0);
            for (int32 c = 0; c < contours.CountItems(); ++c) {
                delete contours.ItemAt(c);
            }
        }
        return width;
    }

private:
    YKFontDataFreetype mFont;
    YKBitmap mBitmap;
    YKZipSketcher mSketcher;
};

// --- Cairo ---

class CairoText {
public:
    CairoText()
        : mSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight)),
          mCairo(cairo_create(mSurface)) {
        // A library of its own: Cairo calls FreeType outside our lock.
        FT_Init_FreeType(&mLibrary);
        FT_New_Face(mLibrary, yk_fallback_font_path().c_str(), 0, &mFace);
        mFontFace = cairo_ft_font_face_create_for_ft_face(mFace, 0);
        cairo_set_font_face(mCairo, mFontFace);
        cairo_set_font_size(mCairo, kEmPixels);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_set_font_options(mCairo, options);
        cairo_font_options_destroy(options);
        cairo_set_source_rgba(mCairo, 0, 0, 0, 1);
    }
    ~CairoText() {
        cairo_destroy(mCairo);
        cairo_font_face_destroy(mFontFace);
        cairo_surface_destroy(mSurface);
        FT_Done_Face(mFace);
        FT_Done_FreeType(mLibrary);
    }
    CairoText(const CairoText&) = delete;
    CairoText& operator=(const CairoText&) = delete;
    void Draw() {
        for (std::size_t i = 0; i < Lines().size(); ++i) {
            cairo_move_to(mCairo, 10, Baseline(i));
            cairo_show_text(mCairo, Lines()[i].c_str());
        }
        cairo_surface_flush(mSurface);
    }
    double Ink() {
        int64 sum = 0;
        const unsigned char* data = cairo_image_surface_get_data(mSurface);
        const int stride = cairo_image_surface_get_stride(mSurface);
        for (int y = 0; y < kHeight; ++y) {
            const auto* row = reinterpret_cast<const uint32*>(data + std::size_t(y) * stride);
            for (int x = 0; x < kWidth; ++x) {
                sum += row[x] >> 24;
            }
        }
        return static_cast<double>(sum) / 255.0;
    }
    // Widths and glyph outlines as a path, never filled.
    double Layout() {
        double width = 0;
        for (std::size_t i = 0; i < Lines().size(); ++i) {
            cairo_text_extents_t extents;
            cairo_text_extents(mCairo, Lines()[i].c_str(), &extents);
            width += extents.x_advance;
            cairo_move_to(mCairo, 10, Baseline(i));
            cairo_text_path(mCairo, Lines()[i].c_str());
            cairo_new_path(mCairo);
        }
        return width;
    }

private:
    cairo_surface_t* mSurface;
    cairo_t* mCairo;
    FT_Library mLibrary = nullptr;
    FT_Face mFace = nullptr;
    cairo_font_face_t* mFontFace = nullptr;
};

template <typename Text>
void BM_Fill(benchmark::State& state) {
    Text text;
    for (auto _ : state) {
        text.Draw();
    }
    // Drawn once on a fresh canvas: repeated drawing darkens the antialiased edges.
    Text once;
    once.Draw();
    char label[64];
    std::snprintf(label, sizeof(label), "ink %.3f px", once.Ink());
    state.SetLabel(label);
    state.SetBytesProcessed(state.iterations() * static_cast<int64>(kCharacters));
}

template <typename Text>
void BM_Layout(benchmark::State& state) {
    Text text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.Layout());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64>(kCharacters));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("BM_OursFill", BM_Fill<OurText>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_CairoFill", BM_Fill<CairoText>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_OursLayout", BM_Layout<OurText>)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_CairoLayout", BM_Layout<CairoText>)
        ->Unit(benchmark::kMillisecond);
    return RunWithRatios(
        argc, argv,
        {{"fill, 1000 glyphs at 24 px vs Cairo", "BM_OursFill", "BM_CairoFill", ""},
         {"layout only vs Cairo", "BM_OursLayout", "BM_CairoLayout", ""}});
}
