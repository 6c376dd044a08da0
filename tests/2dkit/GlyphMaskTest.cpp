// Plain filled text drawn from cached glyph masks, against the outline path it stands in for.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "PixelAt.h"
#include "YKBitmap.h"
#include "YKFontDataFreetype.h"
#include "YKGlyphMaskCache.h"
#include "YKPattern.h"
#include "YKRaster.h"
#include "YKZipSketcher.h"
#include "yk_composition.h"
#include "yk_font_match.h"

namespace {

using Point = YKPoint<double>;
using Placement = YKFontData::GlyphPlacement;

const std::string kFont = yk_fallback_font_path() + " DejaVu Sans Book";
constexpr int32 kWidth = 120;
constexpr int32 kHeight = 60;

// The same face, but without placements: the sketcher must draw its outlines.
class OutlineFont : public YKFontDataFreetype {
public:
    using YKFontDataFreetype::YKFontDataFreetype;
    bool PlaceGlyphs(const char*, Point, int32, const PlaceGlyph&) override { return false; }
};

// Pen origins are snapped to quarters of a pixel across and eighths down.
Point Snapped(Point p) {
    return {std::floor(p.x * 4 + 0.5) / 4, std::floor(p.y * 8 + 0.5) / 8};
}

class GlyphMaskTest : public ::testing::Test {
protected:
    GlyphMaskTest() {
        masked.SetSize(18, 18);
        outlined.SetSize(18, 18);
    }
    // Every pixel of the frame after one drawing on a fresh canvas.
    std::vector<uint32> Draw(YKFontData& font, const char* text, Point at, int32 skip = 0) {
        YKBitmap bitmap;
        bitmap.MoveBy(shift);
        for (int32 y = -1; background != 0 && y <= kHeight; ++y) {
            bitmap.SetPixelAt(y, -1, kWidth + 2, background, YK_COPY);
        }
        YKZipSketcher sketcher;
        sketcher.SetOverlapStroke(overlap);
        sketcher.SetBuffer(&bitmap);
        sketcher.SetFrame({0, 0, kWidth - 1, kHeight - 1});
        sketcher.SetAntgMode(YK_ANTG_ANTIALIASED);
        sketcher.SetStrokeStyle(YK_STYLE_NONE);
        sketcher.SetFillColor(color);
        if (pattern != nullptr) {
            sketcher.SetFillStyle(YK_STYLE_PATTERN);
            sketcher.SetFillPattern(pattern);
            sketcher.SetFillPatternAlpha(color.alpha);
            sketcher.SetFillPatternRotation({3, 4}, 0.7);
        }
        sketcher.SetFontData(&font);
        sketcher.DrawString(text, at, skip);
        std::vector<uint32> pixels;
        for (int32 y = -1; y <= kHeight; ++y) {
            for (int32 x = -1; x <= kWidth; ++x) {
                pixels.push_back(PixelAt(bitmap, x, y));
            }
        }
        return pixels;
    }
    std::vector<Placement> Place(const char* text, Point at, int32 skip) {
        std::vector<Placement> placements;
        EXPECT_TRUE(masked.PlaceGlyphs(text, at, skip,
                                       [&](const Placement& p) { placements.push_back(p); }));
        return placements;
    }

    YKFontDataFreetype masked{kFont.c_str()};
    OutlineFont outlined{kFont.c_str()};
    yk_color color{20, 40, 60, 255};
    // Paints with this pattern (at the colour's alpha) instead of the colour when set.
    YKPattern* pattern = nullptr;
    // What the canvas holds before the text; the fill is copied when overlap is true and
    // composed when it is false.
    uint32 background = 0;
    bool overlap = true;
    // The bitmap's offset: its blocks no longer line up with the frame.
    YKPoint<int32> shift{0, 0};
};

TEST_F(GlyphMaskTest, AGlyphAloneIsTheOutlinePathAtTheSnappedOrigin) {
    // Every phase across and several down, clipped at the frame's left and top edges, opaque
    // and translucent paint, colour and a turned pattern.
    YKRaster tile({0, 0, 6, 4});
    for (int32 i = 0; i < 35; ++i) {
        const uint32 texel = uint32(i * 7) << 24 | uint32(i * 0x030507);
        std::memcpy(tile.Bits() + (i / 7) * tile.BytesPerRow() + (i % 7) * 4, &texel, 4);
    }
    YKPattern tiled(&tile);
    const std::vector<Point> origins = {{10.0, 30.0},  {20.27, 30.11}, {30.49, 31.2}, {40.74, 29.9},
                                        {50.9, 30.45}, {-3.3, 30.3},   {60.1, 6.07},  {70.6, 58.9}};
    for (const char* glyph : {"g", "W", "@"}) {
        pattern = glyph[0] == '@' ? &tiled : nullptr;
        for (const Point at : origins) {
            color.alpha = at.x > 45 ? 255 : 130;
            shift = at.x > 25 ? YKPoint<int32>{-37, 5} : YKPoint<int32>{0, 0};
            EXPECT_EQ(Draw(masked, glyph, at), Draw(outlined, glyph, Snapped(at)))
                << glyph << " at " << at.x << ", " << at.y;
        }
    }
}

TEST_F(GlyphMaskTest, AStringSumsItsGlyphsWhereTheyMeetAndSkipsTheFirstCharacters) {
    // Glyphs pulled together share pixels; the first two characters only move the pen.
    masked.SetSpacing(-30);
    const char* text = "xyAVoWooA";
    const Point at{3.3, 30.2};
    const std::vector<Placement> all = Place(text, at, 0);
    ASSERT_EQ(all.size(), 9u);
    std::vector<std::vector<uint32>> alone;
    for (std::size_t i = 2; i < all.size(); ++i) {
        const char character[2] = {static_cast<char>(all[i].glyph), 0};
        alone.push_back(Draw(outlined, character, Snapped(all[i].origin)));
    }
    const std::vector<uint32> string = Draw(masked, text, at, 2);
    int32 shared = 0;
    for (std::size_t p = 0; p < string.size(); ++p) {
        int32 touching = 0;
        uint32 only = 0;
        uint32 highest = 0;
        uint32 sum = 0;
        for (const std::vector<uint32>& glyph : alone) {
            if (glyph[p] != 0) {
                ++touching;
                only = glyph[p];
                highest = std::max(highest, glyph[p] >> 24);
                sum += glyph[p] >> 24;
            }
        }
        if (touching < 2) {
            ASSERT_EQ(string[p], only) << "pixel " << p;
        } else {
            ++shared;
            EXPECT_GE(string[p] >> 24, highest);
            EXPECT_LE(string[p] >> 24, std::min<uint32>(255, sum + 1));
        }
    }
    EXPECT_GT(shared, 0);
}

TEST_F(GlyphMaskTest, OverAPaintedCanvasCopyClearsEachRowBetweenItsEndsAndComposeKeepsIt) {
    // Glyphs far apart leave stretches no glyph touches.
    const char* text = "l      W";
    const Point at{10.3, 30.2};
    color.alpha = 130;
    const std::vector<uint32> fresh = Draw(masked, text, at);
    background = 0xFF4080C0u;
    const std::vector<uint32> copied = Draw(masked, text, at);
    overlap = false;
    const std::vector<uint32> composed = Draw(masked, text, at);
    const int32 side = kWidth + 2;
    int32 cleared = 0;
    for (int32 row = 0; row < kHeight + 2; ++row) {
        const auto begin = fresh.begin() + row * side;
        const auto first = std::find_if(begin, begin + side, [](uint32 p) { return p != 0; });
        const auto last =
            std::find_if(std::make_reverse_iterator(begin + side),
                         std::make_reverse_iterator(begin), [](uint32 p) { return p != 0; });
        for (int32 x = 0; x < side; ++x) {
            const std::size_t p = std::size_t(row * side + x);
            const bool written =
                first != begin + side && begin + x >= first && begin + x < last.base();
            cleared += written && fresh[p] == 0 ? 1 : 0;
            ASSERT_EQ(copied[p], written ? fresh[p] : background) << "copied " << x << ", " << row;
            ASSERT_EQ(composed[p], yk_pixel_func_for(YK_NORMAL)(background, fresh[p], 255))
                << "composed " << x << ", " << row;
        }
    }
    EXPECT_GT(cleared, 30 * 10);
}

TEST_F(GlyphMaskTest, PlacementsGiveTheOutlinesOfTheWholeText) {
    const char* text = "To AVa";
    for (const bool turned : {false, true}) {
        masked.SetSpacing(turned ? 0 : 12);
        masked.SetShearing(turned ? 0 : 15);
        masked.SetRotation(turned ? 0.4 : 0);
        masked.SetFlip(turned, false);
        YKList<YKList<Point>*> whole;
        masked.GetGlyphOutlines(whole, text, {5.5, 40.25}, 1, 0);
        YKList<YKList<Point>*> placed;
        for (const Placement& p : Place(text, {5.5, 40.25}, 1)) {
            const int32 first = placed.CountItems();
            masked.GetGlyphContours(placed, p.glyph, p.origin);
            for (int32 c = first; c < placed.CountItems(); ++c) {
                for (int32 i = 0; i < placed.ItemAt(c)->CountItems(); ++i) {
                    EXPECT_TRUE(p.box.Contains(placed.ItemAt(c)->ItemAt(i)));
                }
            }
        }
        ASSERT_EQ(whole.CountItems(), placed.CountItems());
        for (int32 c = 0; c < whole.CountItems(); ++c) {
            ASSERT_EQ(whole.ItemAt(c)->CountItems(), placed.ItemAt(c)->CountItems());
            for (int32 i = 0; i < whole.ItemAt(c)->CountItems(); ++i) {
                EXPECT_NEAR(whole.ItemAt(c)->ItemAt(i).x, placed.ItemAt(c)->ItemAt(i).x, 1e-9);
                EXPECT_NEAR(whole.ItemAt(c)->ItemAt(i).y, placed.ItemAt(c)->ItemAt(i).y, 1e-9);
            }
            delete whole.ItemAt(c);
            delete placed.ItemAt(c);
        }
    }
}

TEST_F(GlyphMaskTest, MasksAreReusedBoundedAndDroppedWithTheShape) {
    YKGlyphMaskCache& cache = YKGlyphMaskCache::Shared();
    const std::size_t capacity = cache.Capacity();
    Draw(masked, "abc", {10, 30});
    const int64 builds = cache.CountBuilds();
    EXPECT_EQ(cache.CountMasks(masked), 3);
    // Moved by whole pixels, the glyphs keep their phases.
    Draw(masked, "abc", {40, 31});
    EXPECT_EQ(cache.CountBuilds(), builds);
    // A size change drops the font's masks.
    masked.SetSize(60, 60);
    EXPECT_EQ(cache.CountMasks(masked), 0);
    Draw(masked, "x", {10, 50});
    EXPECT_EQ(cache.CountMasks(masked), 1);
    // Large glyphs at every phase overflow a small cache, which stays within it.
    cache.SetCapacity(48 << 10);
    for (int32 phase = 0; phase < 32; ++phase) {
        Draw(masked, "mwq", {5 + phase * 0.25, 50 + phase * 0.125});
        ASSERT_LE(cache.Bytes(), cache.Capacity());
    }
    EXPECT_GT(cache.CountMasks(masked), 0);
    cache.SetCapacity(capacity);
}

}  // namespace
