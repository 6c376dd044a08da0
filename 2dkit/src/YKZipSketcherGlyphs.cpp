// Plain filled text from glyph masks: the text is laid out, each glyph in the frame is looked
// up in the glyph mask cache at its pen origin's sub-pixel phase (scan-converted on a miss),
// the masks are summed into a band of coverage rows, and the rows are painted like any fill,
// straight into the bitmap's blocks and only over the stretches some glyph touched.
// A glyph alone gives exactly what the outline path gives at the snapped origin; where glyphs
// share a pixel their coverages add up to full instead of merging by the winding rule.

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "YKBitmap.h"
#include "YKFontData.h"
#include "YKGlyphMaskCache.h"
#include "YKZipSketcher.h"
#include "YKZipSketcherGlyphs.h"
#include "YKZipSketcherPaint.h"
#include "yk_composition.h"

namespace {

// Rows summed before they are painted: a line of text at ordinary sizes in one or two bands.
constexpr int32 kBandRows = 32;
static_assert(YKMatrixManager::kBlockSize % kBandRows == 0, "bands split block rows evenly");
// Columns per chunk: a row is painted only over chunks some glyph touched.
constexpr int32 kBandChunk = 16;
static_assert(YKMatrixManager::kBlockSize % kBandChunk == 0, "chunks split blocks evenly");
// Past this many glyphs in the frame a text only moves the pen, so that a hostile text costs
// bounded time and memory.
constexpr std::size_t kMaxPlacedGlyphs = std::size_t{1} << 17;
// Pen origins further out are left to the outline path, keeping pixel arithmetic in range.
constexpr double kMaxOrigin = 1e7;
constexpr int32 kFullCoverage = 2048;

// Adds `rows` rows of `count` mask coverages into the band, capped at a full pixel. Sums stay
// below 2 x 2048, so signed 16 bits hold them: an addition and a minimum take many at once.
void AddCoverage(uint16* to, std::size_t toStride, const uint16* from, std::size_t fromStride,
                 int32 rows, int32 count) {
    for (int32 row = 0; row < rows; ++row, to += toStride, from += fromStride) {
        int32 i = 0;
#if defined(__SSE2__)
        const __m128i full = _mm_set1_epi16(kFullCoverage);
        for (; i + 8 <= count; i += 8) {
            const __m128i sum =
                _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(to + i)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_min_epi16(sum, full));
        }
#endif
        for (; i < count; ++i) {
            to[i] = static_cast<uint16>(std::min(to[i] + from[i], kFullCoverage));
        }
    }
}

#if defined(__x86_64__)
// The same sixteen at a time, for whole padded mask rows.
__attribute__((target("avx2"))) void AddCoverageAvx2(uint16* to, std::size_t toStride,
                                                     const uint16* from, std::size_t fromStride,
                                                     int32 rows, int32 count) {
    const __m256i full = _mm256_set1_epi16(kFullCoverage);
    for (int32 row = 0; row < rows; ++row, to += toStride, from += fromStride) {
        int32 i = 0;
        for (; i + 16 <= count; i += 16) {
            const __m256i sum =
                _mm256_add_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(to + i)),
                                 _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i)));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + i), _mm256_min_epi16(sum, full));
        }
        if (i < count) {
            // Padded rows leave eight at most.
            const __m128i sum =
                _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(to + i)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                             _mm_min_epi16(sum, _mm256_castsi256_si128(full)));
        }
    }
}

#endif

// floor() for values well inside the int32 range, without a library call per glyph.
int32 Floor(double v) {
    const auto truncated = static_cast<int32>(v);
    return truncated - (static_cast<double>(truncated) > v ? 1 : 0);
}

// Transparent pixels over a stretch no glyph touched. Pixels already transparent are left
// alone: copying nothing onto nothing changes nothing, and the destination usually is
// transparent there (a fresh layer, or text drawn again), so most stores are saved. (A plain
// fill becomes a string store, whose start-up dominates runs this short.)
void Clear(uint32* out, int32 count) {
    int32 i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= count; i += 4) {
        auto* four = reinterpret_cast<__m128i*>(out + i);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_loadu_si128(four), zero)) != 0xFFFF) {
            _mm_storeu_si128(four, zero);
        }
    }
#endif
    for (; i < count; ++i) {
        out[i] = 0;
    }
}

// Marks chunks c0..c1 of a row as touched, one bit each.
void Mark(uint64* words, int32 c0, int32 c1) {
    for (int32 c = c0; c <= c1;) {
        const int32 bit = c & 63;
        const int32 n = std::min(64 - bit, c1 - c + 1);
        words[c >> 6] |= (n == 64 ? ~uint64{0} : (uint64{1} << n) - 1) << bit;
        c += n;
    }
}

bool Marked(const uint64* words, int32 c) {
    return (words[c >> 6] >> (c & 63) & 1) != 0;
}

// The first chunk from c on whose mark is not `touched`, or `limit` when there is none
// before it.
int32 NextChange(const uint64* words, int32 c, bool touched, int32 limit) {
    while (c < limit) {
        const uint64 differs =
            (touched ? ~words[c >> 6] : words[c >> 6]) & (~uint64{0} << (c & 63));
        if (differs != 0) {
            return std::min(limit, (c & ~63) + std::countr_zero(differs));
        }
        c = (c & ~63) + 64;
    }
    return limit;
}

}  // namespace

// The bitmap's blocks along the rows being painted, looked up once per block rather than once
// per run. Nothing frees blocks while a text is drawn, so the pointers stay good.
class YKZipSketcher::BlockRows {
public:
    BlockRows(YKBitmap& bitmap, int32 left, int32 right)
        : mBitmap(bitmap),
          mOffset(bitmap.Offset()),
          mFirstColumn((left - mOffset.x) >> kShift),
          mBlocks(std::size_t(((right - mOffset.x) >> kShift) - mFirstColumn + 1)) {}

    // Pixel (x, y) in its block (made when missing), and in `room` the pixels from it to the
    // block's end. Null when the block cannot be made.
    uint32* At(int32 x, int32 y, int32& room) {
        const int32 ownX = x - mOffset.x;
        const int32 ownY = y - mOffset.y;
        room = kSide - (ownX & (kSide - 1));
        if (ownY >> kShift != mRow) {
            mRow = ownY >> kShift;
            std::fill(mBlocks.begin(), mBlocks.end(), nullptr);
        }
        uint8*& block = mBlocks[std::size_t((ownX >> kShift) - mFirstColumn)];
        if (block == nullptr) {
            block = mBitmap.Get(ownX >> kShift, mRow, true);
            if (block == nullptr) {
                return nullptr;
            }
        }
        return reinterpret_cast<uint32*>(block) + (ownY & (kSide - 1)) * kSide +
               (ownX & (kSide - 1));
    }

private:
    static constexpr int32 kShift = YKMatrixManager::kBlockShift;
    static constexpr int32 kSide = YKMatrixManager::kBlockSize;
    YKBitmap& mBitmap;
    YKPoint<int32> mOffset;
    int32 mFirstColumn;
    int32 mRow = INT_MIN;
    std::vector<uint8*> mBlocks;
};

bool YKZipSketcher::GlyphMasksApply() const {
    const bool filled = FillStyle() != YK_STYLE_NONE && FillColor().alpha != 0;
    return Display() == YK_PREVIEW_NORMAL && AntgMode() == YK_ANTG_ANTIALIASED && filled &&
           !StrokePainted();
}

bool YKZipSketcher::DrawGlyphMasks(const char* text, YKPoint<double> at, int32 skip) {
    YKFontData* font = FontData();
    if (text == nullptr || font == nullptr || !GlyphMasksApply()) {
        return false;
    }
    using Cache = YKGlyphMaskCache;
    const YKRect<int32> frame = Frame();
    // Kept from text to text: a paragraph is drawn line by line.
    std::vector<PlacedGlyph>& placed = mPlaced;
    placed.clear();
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
            const int32 qx = Floor(glyph.origin.x * Cache::kPhasesX + 0.5);
            const int32 qy = Floor(glyph.origin.y * Cache::kPhasesY + 0.5);
            PlacedGlyph& g = placed.emplace_back();
            g.glyph = glyph.glyph;
            // Shifts floor, so negative origins split into pixel and phase as positive ones.
            g.x = qx >> 2;
            g.phaseX = qx & (Cache::kPhasesX - 1);
            g.y = qy >> 3;
            g.phaseY = qy & (Cache::kPhasesY - 1);
            g.top = Floor(box.top) - 2;
            g.bottom = Floor(box.bottom) + 2;
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
    std::vector<const PlacedGlyph*>& order = mOrder;
    order.clear();
    for (const PlacedGlyph& g : placed) {
        order.push_back(&g);
    }
    std::sort(order.begin(), order.end(),
              [](const PlacedGlyph* a, const PlacedGlyph* b) { return a->top < b->top; });
    const Paint paint = PaintFor(true);
    // Rows are written in place, which needs 4-byte pixels; a paint without pixels writes none.
    if (mBuffer->BytesPerPixel() != 4 || !Paints(paint)) {
        return true;
    }
    BlockRows blocks(*mBuffer, frame.left, frame.right);
    std::vector<const PlacedGlyph*>& active = mActive;
    active.clear();
    std::size_t next = 0;
    int32 y = std::max(frame.top, order.front()->top);
    while (y <= frame.bottom && (next < order.size() || !active.empty())) {
        if (active.empty()) {
            y = std::max(y, order[next]->top);
        }
        // Bands follow the bitmap's block rows, so that a band's blocks are looked up once.
        const int32 bandBottom = std::min(
            frame.bottom, y + kBandRows - 1 - ((y - mBuffer->Offset().y) & (kBandRows - 1)));
        while (next < order.size() && order[next]->top <= bandBottom) {
            active.push_back(order[next++]);
        }
        PaintGlyphBand(active, y, bandBottom, frame.left, frame.right, paint, blocks);
        std::erase_if(active, [&](const PlacedGlyph* g) { return g->bottom <= bandBottom; });
        y = bandBottom + 1;
    }
    return true;
}

void YKZipSketcher::PaintGlyphBand(const std::vector<const PlacedGlyph*>& glyphs, int32 top,
                                   int32 bottom, int32 left, int32 right, const Paint& paint,
                                   BlockRows& blocks) {
    // Band column 0 lies on a block boundary, so chunks never straddle blocks and runs are
    // written in whole chunks.
    const int32 origin = left - ((left - mBuffer->Offset().x) & (YKMatrixManager::kBlockSize - 1));
    const int32 width = right - origin + 1;
    const int32 stride = width + YKGlyphMaskCache::kRowAlign;
    const int32 words = ((width + kBandChunk - 1) / kBandChunk + 63) / 64;
    // The band and its chunk marks are all zeros between uses: painted rows are cleared again.
    mBand.resize(std::size_t(stride) * kBandRows);
    mBandChunks.resize(std::size_t(words) * kBandRows);
    mBandRows.assign(kBandRows, {INT_MAX, INT_MIN});
    uint16* const band = mBand.data();
    uint64* const marks = mBandChunks.data();
    std::pair<int32, int32>* const extents = mBandRows.data();
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
        const int32 x0 = std::max(left, maskLeft) - origin;
        const int32 x1 = std::min(right, maskLeft + mask->width - 1) - origin;
        if (x0 > x1) {
            continue;
        }
        // A mask inside the frame is summed in whole padded rows; the band has room for them.
        const bool whole = x0 + origin == maskLeft && x1 + origin == maskLeft + mask->width - 1;
        const int32 count = whole ? mask->stride : x1 - x0 + 1;
        const uint16* from = mask->coverage.data() +
                             std::size_t(firstRow - maskTop) * std::size_t(mask->stride) +
                             (x0 + origin - maskLeft);
        uint16* to = band + std::size_t(firstRow - top) * std::size_t(stride) + x0;
#if defined(__x86_64__)
        if (whole && yk_zip_sketcher_has_avx2()) {
            AddCoverageAvx2(to, stride, from, mask->stride, lastRow - firstRow + 1, count);
        } else
#endif
        {
            AddCoverage(to, stride, from, mask->stride, lastRow - firstRow + 1, count);
        }
        for (int32 row = firstRow - top; row <= lastRow - top; ++row) {
            Mark(marks + std::size_t(row) * std::size_t(words), x0 / kBandChunk, x1 / kBandChunk);
            auto& [rowFirst, rowLast] = extents[row];
            rowFirst = std::min(rowFirst, x0);
            rowLast = std::max(rowLast, x1);
        }
    }
    // Copy replaces what the bitmap holds even where no glyph lies; Normal leaves it there.
    const bool writeGaps = paint.mode == YK_COPY;
    YKRect<int32> written = YKRect<int32>::None();
    for (int32 row = 0; row <= bottom - top; ++row) {
        const auto [first, last] = extents[row];
        if (first > last) {
            continue;
        }
        uint16* coverage = band + std::size_t(row) * std::size_t(stride);
        uint64* rowMarks = marks + std::size_t(row) * std::size_t(words);
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
            written = written | YKRect<int32>{origin + x0, top + row, origin + x1, top + row};
        }
        // Chunks no glyph touched hold no coverage: they need no painting, nor clearing.
        const int32 lastChunk = x1 / kBandChunk;
        while (x0 <= x1) {
            const bool touched = Marked(rowMarks, x0 / kBandChunk);
            const int32 end = std::min(
                x1 + 1, NextChange(rowMarks, x0 / kBandChunk, touched, lastChunk + 1) * kBandChunk);
            if (touched) {
                WriteGlyphRun(paint, top + row, origin + x0, origin + end - 1, coverage + x0,
                              blocks);
                std::fill(coverage + x0, coverage + end, uint16{0});
            } else if (writeGaps) {
                WriteGlyphRun(paint, top + row, origin + x0, origin + end - 1, nullptr, blocks);
            }
            x0 = end;
        }
        std::fill(rowMarks + (first / kBandChunk >> 6), rowMarks + (last / kBandChunk >> 6) + 1,
                  uint64{0});
    }
    // The rows' frame at once: their union is the rectangle around them.
    mBuffer->AddFrame(written);
}

void YKZipSketcher::WriteGlyphRun(const Paint& paint, int32 y, int32 x0, int32 x1,
                                  const uint16* coverage, BlockRows& blocks) {
    const yk_array_func merge = yk_array_func_for(paint.mode);
    for (int32 x = x0; x <= x1;) {
        int32 room = 0;
        uint32* out = blocks.At(x, y, room);
        const int32 count = std::min(room, x1 - x + 1);
        // Without memory for a block its pixels are lost; the rest of the row is not.
        if (out != nullptr && coverage == nullptr) {
            Clear(out, count);
        } else if (out != nullptr && paint.mode == YK_COPY) {
            RowPixels(paint, y, x, count, coverage + (x - x0), out);
        } else if (out != nullptr) {
            RowPixels(paint, y, x, count, coverage + (x - x0), mLine.data());
            merge(out, mLine.data(), 255, count);
        }
        x += count;
    }
}
