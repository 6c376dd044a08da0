// Plain filled text from glyph masks: the text is laid out, each glyph in the frame is looked
// up in the glyph mask cache at its pen origin's sub-pixel phase (scan-converted on a miss),
// the masks are summed into a band of coverage rows, and the rows are painted like any fill.
// A glyph alone gives exactly what the outline path gives at the snapped origin; where glyphs
// share a pixel their coverages add up to full instead of merging by the winding rule.

#include <algorithm>
#include <climits>
#include <cmath>

#include "YKFontData.h"
#include "YKGlyphMaskCache.h"
#include "YKZipSketcher.h"
#include "YKZipSketcherPaint.h"

namespace {

// Rows summed before they are painted: a line of text at ordinary sizes in one or two bands.
constexpr int32 kBandRows = 32;
// Past this many glyphs in the frame a text only moves the pen, so that a hostile text costs
// bounded time and memory.
constexpr std::size_t kMaxPlacedGlyphs = std::size_t{1} << 17;
// Pen origins further out are left to the outline path, keeping pixel arithmetic in range.
constexpr double kMaxOrigin = 1e7;
constexpr int32 kFullCoverage = 2048;

}  // namespace

struct YKZipSketcher::PlacedGlyph {
    uint32 glyph = 0;
    // The pixel holding the snapped pen origin, and the origin's phase within it.
    int32 x = 0;
    int32 y = 0;
    int32 phaseX = 0;
    int32 phaseY = 0;
    // Rows the glyph may touch.
    int32 top = 0;
    int32 bottom = 0;
};

bool YKZipSketcher::GlyphMasksApply() const {
    const bool filled = FillStyle() != YK_STYLE_NONE && FillColor().alpha != 0;
    const bool stroked =
        StrokeStyle() != YK_STYLE_NONE && StrokeColor().alpha != 0 && Width() > 1.0;
    return Display() == YK_PREVIEW_NORMAL && AntgMode() == YK_ANTG_ANTIALIASED && filled &&
           !stroked;
}

bool YKZipSketcher::DrawGlyphMasks(const char* text, YKPoint<double> at, int32 skip) {
    YKFontData* font = FontData();
    if (text == nullptr || font == nullptr || !GlyphMasksApply()) {
        return false;
    }
    using Cache = YKGlyphMaskCache;
    const YKRect<int32> frame = Frame();
    std::vector<PlacedGlyph> placed;
    bool fits = true;
    const bool laidOut =
        font->PlaceGlyphs(text, at, skip, [&](const YKFontData::GlyphPlacement& glyph) {
            const YKRect<double>& box = glyph.box;
            // The box holds the glyph's points; its pixels reach one further.
            if (!box.IsValid() || placed.size() >= kMaxPlacedGlyphs || box.right < frame.left - 1 ||
                box.left > frame.right + 1 || box.bottom < frame.top - 1 ||
                box.top > frame.bottom + 1) {
                return;
            }
            if (box.right - box.left > Cache::kMaxMaskSide - 4 ||
                box.bottom - box.top > Cache::kMaxMaskSide - 4 ||
                !(std::fabs(glyph.origin.x) < kMaxOrigin) ||
                !(std::fabs(glyph.origin.y) < kMaxOrigin)) {
                fits = false;
                return;
            }
            const auto qx = static_cast<int32>(std::floor(glyph.origin.x * Cache::kPhasesX + 0.5));
            const auto qy = static_cast<int32>(std::floor(glyph.origin.y * Cache::kPhasesY + 0.5));
            PlacedGlyph& g = placed.emplace_back();
            g.glyph = glyph.glyph;
            // Shifts floor, so negative origins split into pixel and phase as positive ones.
            g.x = qx >> 2;
            g.phaseX = qx & (Cache::kPhasesX - 1);
            g.y = qy >> 3;
            g.phaseY = qy & (Cache::kPhasesY - 1);
            g.top = static_cast<int32>(std::floor(box.top)) - 2;
            g.bottom = static_cast<int32>(std::floor(box.bottom)) + 2;
        });
    if (!laidOut || !fits) {
        return false;
    }
    // What the outline path would have left: nothing of an earlier shape.
    ResetPolygon();
    ResetOutline();
    if (placed.empty()) {
        return true;
    }
    std::vector<const PlacedGlyph*> order;
    order.reserve(placed.size());
    for (const PlacedGlyph& g : placed) {
        order.push_back(&g);
    }
    std::sort(order.begin(), order.end(),
              [](const PlacedGlyph* a, const PlacedGlyph* b) { return a->top < b->top; });
    const Paint paint = PaintFor(true);
    std::vector<const PlacedGlyph*> active;
    std::size_t next = 0;
    int32 y = std::max(frame.top, order.front()->top);
    while (y <= frame.bottom && (next < order.size() || !active.empty())) {
        if (active.empty()) {
            y = std::max(y, order[next]->top);
        }
        const int32 bandBottom = std::min(frame.bottom, y + kBandRows - 1);
        while (next < order.size() && order[next]->top <= bandBottom) {
            active.push_back(order[next++]);
        }
        PaintGlyphBand(active, y, bandBottom, frame.left, frame.right, paint);
        std::erase_if(active, [&](const PlacedGlyph* g) { return g->bottom <= bandBottom; });
        y = bandBottom + 1;
    }
    return true;
}

void YKZipSketcher::PaintGlyphBand(const std::vector<const PlacedGlyph*>& glyphs, int32 top,
                                   int32 bottom, int32 left, int32 right, const Paint& paint) {
    const int32 width = right - left + 1;
    // The band is all zeros between uses: painted rows are cleared again.
    mBand.resize(std::size_t(width) * kBandRows);
    mBandRows.assign(kBandRows, {INT_MAX, INT_MIN});
    YKGlyphMaskCache& cache = YKGlyphMaskCache::Shared();
    for (const PlacedGlyph* g : glyphs) {
        const YKGlyphMaskCache::Mask* mask =
            cache.Find(*FontData(), g->glyph, g->phaseX, g->phaseY);
        if (mask == nullptr) {
            continue;
        }
        const int32 maskLeft = g->x + mask->left;
        const int32 maskTop = g->y + mask->top;
        const int32 firstRow = std::max(top, maskTop);
        const int32 lastRow = std::min(bottom, maskTop + mask->height - 1);
        const int32 x0 = std::max(left, maskLeft);
        const int32 x1 = std::min(right, maskLeft + mask->width - 1);
        if (x0 > x1) {
            continue;
        }
        for (int32 row = firstRow; row <= lastRow; ++row) {
            const uint16* from = mask->coverage.data() +
                                 std::size_t(row - maskTop) * std::size_t(mask->width) +
                                 (x0 - maskLeft);
            int32* to = mBand.data() + std::size_t(row - top) * std::size_t(width) + (x0 - left);
            for (int32 i = 0; i <= x1 - x0; ++i) {
                to[i] = std::min(to[i] + int32{from[i]}, kFullCoverage);
            }
            auto& [rowFirst, rowLast] = mBandRows[std::size_t(row - top)];
            rowFirst = std::min(rowFirst, x0 - left);
            rowLast = std::max(rowLast, x1 - left);
        }
    }
    for (int32 row = top; row <= bottom; ++row) {
        const auto [first, last] = mBandRows[std::size_t(row - top)];
        if (first > last) {
            continue;
        }
        int32* coverage = mBand.data() + std::size_t(row - top) * std::size_t(width);
        // A row is written from its first to its last covered pixel, as the outline path
        // writes it; the masks' rows may start and end uncovered.
        int32 x0 = first;
        int32 x1 = last;
        while (x0 <= x1 && coverage[x0] == 0) {
            ++x0;
        }
        while (x1 >= x0 && coverage[x1] == 0) {
            --x1;
        }
        if (x0 <= x1) {
            PaintRow(paint, row, left + x0, left + x1, coverage + x0);
        }
        std::fill(coverage + first, coverage + last + 1, 0);
    }
}
