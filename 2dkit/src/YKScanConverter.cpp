#include "YKScanConverter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "YKZipSketcherPaint.h"

// Sections: fixed point · frame · edge table · active edges · coverage · the two walks.

namespace {

constexpr double kMaxCoordinate = YKScanConverter::kMaxCoordinate;

// The nearest integer, halves rounded up, so that moving a shape by whole pixels moves its
// fixed-point form by exactly as much (glyph masks rely on it). Without the library call,
// which costs more than the rest of a point's trip to the scan converter; exact within
// ±kMaxCoordinate * 256.
int32 RoundHalfUp(double v) {
    auto whole = static_cast<int32>(v);
    whole -= v < whole ? 1 : 0;
    return whole + (v - whole >= 0.5 ? 1 : 0);
}

#if defined(__x86_64__)
#define YK_AVX2 __attribute__((target("avx2")))

// Row coverage eight pixels at a time: cells plus the running sum of the whole-pixel changes,
// the sum taken within each 128-bit half by shifted adds, then carried across. Both inputs are
// cleared as they are read. Returns how many pixels it did; `running` is the sum so far.
YK_AVX2 int32 RowSumsAvx2(int32* cells, int32* cover, int32 count, int32* out, int32& running) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i carry = _mm256_set1_epi32(running);
    const __m256i last = _mm256_set1_epi32(7);
    int32 i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cover + i));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cells + i));
        // Inside a wide shape most pixels have neither: their coverage is the running sum, and
        // there is nothing to clear.
        const __m256i either = _mm256_or_si256(v, c);
        if (_mm256_testz_si256(either, either) != 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), carry);
            continue;
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cover + i), zero);
        v = _mm256_add_epi32(v, _mm256_slli_si256(v, 4));
        v = _mm256_add_epi32(v, _mm256_slli_si256(v, 8));
        // The low half's total, added to every entry of the high half.
        v = _mm256_add_epi32(v, _mm256_shuffle_epi32(_mm256_permute2x128_si256(v, v, 0x08), 0xFF));
        v = _mm256_add_epi32(v, carry);
        carry = _mm256_permutevar8x32_epi32(v, last);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cells + i), zero);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_add_epi32(v, c));
    }
    running = _mm256_cvtsi256_si32(carry);
    return i;
}

// Where a run of pixels from `i` that are all fully covered (`full`) or all not ends, eight at
// a time; stops short of the last few pixels, which the caller looks at one by one.
YK_AVX2 int32 RunEndAvx2(const int32* coverage, int32 i, int32 count, bool full) {
    const __m256i target = _mm256_set1_epi32(YKScanConverter::kFullCoverage);
    const uint32 same = full ? 0xFFu : 0u;
    // Inside a shape the full runs are long: 32 pixels a step until one is not full.
    for (; full && i + 32 <= count; i += 32) {
        const auto* at = reinterpret_cast<const __m256i*>(coverage + i);
        const __m256i all = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_loadu_si256(at), target),
                             _mm256_cmpeq_epi32(_mm256_loadu_si256(at + 1), target)),
            _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_loadu_si256(at + 2), target),
                             _mm256_cmpeq_epi32(_mm256_loadu_si256(at + 3), target)));
        if (_mm256_movemask_epi8(all) != -1) {
            break;
        }
    }
    for (; i + 8 <= count; i += 8) {
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(coverage + i));
        const auto mask = static_cast<uint32>(
            _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(c, target))));
        if (mask != same) {
            return i + __builtin_ctz(mask ^ same);
        }
    }
    return i;
}
#endif

// Where a run of pixels from `i` that are all fully covered (`full`) or all not ends.
int32 RunEnd(const int32* coverage, int32 i, int32 count, bool full) {
#if defined(__x86_64__)
    if (yk_zip_sketcher_has_avx2()) {
        i = RunEndAvx2(coverage, i, count, full);
    }
#endif
    while (i < count && (coverage[i] == YKScanConverter::kFullCoverage) == full) {
        ++i;
    }
    return i;
}

}  // namespace

// --- Fixed point ---

bool YKScanConverter::ToFixed(const YKList<YKPoint<double>>& polygon, YKFixedPolygon& out) {
    out.clear();
    const int32 n = polygon.CountItems();
    const YKPoint<double>* points = polygon.Items();
    out.reserve(static_cast<std::size_t>(n));
    for (int32 i = 0; i < n; ++i) {
        const YKPoint<double> p = points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            out.clear();
            return false;
        }
        const double x = std::clamp(p.x, -kMaxCoordinate, kMaxCoordinate);
        const double y = std::clamp(p.y, -kMaxCoordinate, kMaxCoordinate);
        const YKFixedPoint point{RoundHalfUp(x * 256), RoundHalfUp(y * 8)};
        // Of a run of points on one sub-scanline only the first and the last meet scanned
        // edges: those between make horizontal edges, which cover nothing. Finely flattened
        // curves, glyphs above all, put most of their points in such runs.
        const std::size_t count = out.size();
        if (count >= 2 && out[count - 1].y == point.y && out[count - 2].y == point.y) {
            out[count - 1] = point;
        } else {
            out.push_back(point);
        }
    }
    return true;
}

// --- Frame ---

void YKScanConverter::SetFrame(YKRect<int32> frame) {
    mFrame = frame;
    const std::size_t width = frame.IsValid() ? std::size_t(frame.right - frame.left) + 1 : 0;
    // One more cover entry: a span ending at the frame's right edge ends its run there.
    mCells.assign(width + 1, 0);
    mCover.assign(width + 1, 0);
    mRow.assign(width, 0);
    mMinX = 0;
    mMaxX = -1;
}

// --- Edge table ---

void YKScanConverter::BuildEdges(std::span<const YKFixedPolygon> polygons) {
    // Edges are kept across from the frame's left side.
    const int32 left = mFrame.left * 256;
    mEdges.clear();
    mActive.clear();
    mNextEdge = 0;
    for (const YKFixedPolygon& polygon : polygons) {
        const std::size_t n = polygon.size();
        if (n < 3) {
            continue;
        }
        for (std::size_t i = 0; i < n; ++i) {
            YKFixedPoint top = polygon[i];
            YKFixedPoint bottom = polygon[i == 0 ? n - 1 : i - 1];
            int32 winding = 1;
            if (bottom.y < top.y) {
                std::swap(top, bottom);
                winding = -1;
            }
            if (bottom.y == top.y) {
                continue;
            }
            const int32 dy = bottom.y - top.y;
            const int32 dx = bottom.x - top.x;
            const int32 adx = std::abs(dx);
            Edge edge{};
            edge.x = top.x - left;
            edge.startY = top.y;
            edge.direction = dx > 0 ? 1 : -1;
            edge.error = dx < 0 ? 1 - dy : 0;
            if (dy < adx) {
                edge.wholeStep = (adx / dy) * edge.direction;
                edge.errorUp = adx % dy;
            } else {
                edge.wholeStep = 0;
                edge.errorUp = adx;
            }
            edge.errorDown = dy;
            edge.count = dy;
            edge.winding = winding;
            mEdges.push_back(edge);
        }
    }
    // Edges above the frame join at its top, already stepped down to it; those that end above
    // it or start below it are never scanned.
    const int32 top = mFrame.top * 8;
    const int32 end = (mFrame.bottom + 1) * 8;
    std::size_t kept = 0;
    for (Edge& edge : mEdges) {
        if (edge.startY >= end || int64{edge.startY} + edge.count <= top) {
            continue;
        }
        if (edge.startY < top) {
            SkipEdgeTo(edge, top);
        }
        mEdges[kept++] = edge;
    }
    mEdges.resize(kept);
    SortEdges();
}

void YKScanConverter::SortEdges() {
    if (mEdges.empty()) {
        return;
    }
    // Glyphs and finely flattened curves make many short edges over few sub-scanlines: a
    // counting pass by start y, then a sort of each sub-scanline's few edges by x, beats one
    // sort of them all.
    int32 low = mEdges.front().startY;
    int32 high = low;
    for (const Edge& edge : mEdges) {
        low = std::min(low, edge.startY);
        high = std::max(high, edge.startY);
    }
    const auto rows = std::size_t(high - low) + 1;
    if (rows > 2 * mEdges.size()) {
        // Few edges spread over many sub-scanlines (small plain shapes): the buckets would
        // cost more than they save. Sorting small keys and moving each edge once beats
        // sorting the edges themselves; edges that tie in start y and x scan alike in any
        // order.
        mSortKeys.clear();
        for (std::size_t i = 0; i < mEdges.size(); ++i) {
            const Edge& edge = mEdges[i];
            const uint64 key = uint64(uint32(edge.startY - low)) << 32 |
                               (uint32(edge.x) ^ 0x80000000u);  // x in unsigned order
            mSortKeys.push_back({key, uint32(i)});
        }
        std::sort(mSortKeys.begin(), mSortKeys.end(),
                  [](const SortKey& a, const SortKey& b) { return a.key < b.key; });
        mSorted.resize(mEdges.size());
        for (std::size_t i = 0; i < mSortKeys.size(); ++i) {
            mSorted[i] = mEdges[mSortKeys[i].index];
        }
        mEdges.swap(mSorted);
        return;
    }
    mBucketEnds.assign(rows, 0);
    for (const Edge& edge : mEdges) {
        ++mBucketEnds[std::size_t(edge.startY - low)];
    }
    std::size_t start = 0;
    for (std::size_t& end : mBucketEnds) {
        start += std::exchange(end, start);
    }
    // Each slot now holds its bucket's start, and ends up at its end.
    mSorted.resize(mEdges.size());
    for (const Edge& edge : mEdges) {
        mSorted[mBucketEnds[std::size_t(edge.startY - low)]++] = edge;
    }
    std::size_t begin = 0;
    for (std::size_t end : mBucketEnds) {
        // Most buckets hold no edge or one, or the two that meet at a vertex.
        if (end - begin == 2) {
            if (mSorted[begin + 1].x < mSorted[begin].x) {
                std::swap(mSorted[begin], mSorted[begin + 1]);
            }
        } else if (end - begin > 2) {
            std::sort(mSorted.begin() + std::ptrdiff_t(begin),
                      mSorted.begin() + std::ptrdiff_t(end),
                      [](const Edge& a, const Edge& b) { return a.x < b.x; });
        }
        begin = end;
    }
    mEdges.swap(mSorted);
}

void YKScanConverter::SkipEdgeTo(Edge& edge, int32 y) {
    // k steps at once: after each step the error lies in (-down, 0], so the number of extra
    // direction steps is how often `down` fits into the accumulated error, rounded up.
    const int64 k = int64{y} - edge.startY;
    const int64 accumulated = int64{edge.error} + k * edge.errorUp;
    const int64 extra = accumulated > 0 ? (accumulated + edge.errorDown - 1) / edge.errorDown : 0;
    edge.x = static_cast<int32>(edge.x + k * edge.wholeStep + extra * edge.direction);
    edge.error = static_cast<int32>(accumulated - extra * edge.errorDown);
    edge.count = static_cast<int32>(edge.count - k);
    edge.startY = y;
}

// --- Active edges ---

void YKScanConverter::ActivateEdges(int32 y) {
    const std::size_t first = mNextEdge;
    while (mNextEdge < mEdges.size() && mEdges[mNextEdge].startY == y) {
        ++mNextEdge;
    }
    if (first == mNextEdge) {
        return;
    }
    // Few edges start on one sub-scanline: each new one is put in its place, which costs less
    // than merging into a copy. Equal x keeps the edge that was there first.
    for (std::size_t k = first; k < mNextEdge; ++k) {
        const Edge& edge = mEdges[k];
        std::size_t at = mActive.size();
        while (at > 0 && mActive[at - 1].x > edge.x) {
            --at;
        }
        mActive.insert(mActive.begin() + std::ptrdiff_t(at),
                       {edge.x, edge.error, edge.count, edge.winding, uint32(k)});
    }
}

[[gnu::always_inline]] inline void YKScanConverter::StepEdge(const Edge& edge, int32& x,
                                                             int32& error) {
    // Without a branch: whether the error term overflows follows the slope, which the
    // processor cannot predict.
    x += edge.wholeStep;
    error += edge.errorUp;
    const int32 overflow = -static_cast<int32>(error > 0);
    x += edge.direction & overflow;
    error -= edge.errorDown & overflow;
}

void YKScanConverter::StepEdge(ActiveEdge& active) const {
    StepEdge(mEdges[active.edge], active.x, active.error);
}

void YKScanConverter::DropEndedEdges() {
    std::erase_if(mActive, [](const ActiveEdge& active) { return active.count == 0; });
}

void YKScanConverter::RestoreOrder() {
    // Edges cross rarely from one sub-scanline to the next: neighbour swaps restore the order.
    for (std::size_t i = 1; i < mActive.size(); ++i) {
        for (std::size_t j = i; j > 0 && mActive[j - 1].x > mActive[j].x; --j) {
            std::swap(mActive[j - 1], mActive[j]);
        }
    }
}

void YKScanConverter::AdvanceActiveEdges() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < mActive.size(); ++i) {
        // Stepped in a copy and stored whole: stepping in place and then moving the edge down
        // past an ended one would load what was just stored, which stalls.
        ActiveEdge active = mActive[i];
        if (--active.count != 0) {
            StepEdge(active);
            mActive[kept++] = active;
        }
    }
    mActive.resize(kept);
    RestoreOrder();
}

// --- Coverage ---

// Where a sub-scanline's spans go: the row's cells and cover changes, and how far the spans
// reached. Kept in locals while sub-scanlines are scanned, since a store to a cell could
// otherwise be the reach's for all the compiler knows.
struct YKScanConverter::SpanSink {
    int32* cells;
    int32* cover;
    int32 right;   // the frame's width in 1/256 pixel
    int32 first;   // the lowest span start, 1/256 pixel
    int32 beyond;  // the highest span end

    // Inlined: a sub-scanline calls it once or twice, and the call cost as much as the work.
    [[gnu::always_inline]] void Add(int32 s, int32 e) {
        s = std::max(s, 0);
        e = std::min(e, right);
        if (s >= e) {
            return;
        }
        const int32 ps = s >> 8;
        const int32 pe = e >> 8;
        if (ps == pe) {
            cells[ps] += (e - s) & 255;
        } else {
            cells[ps] += 256 - (s & 255);
            if (pe - ps >= 2) {
                cover[ps + 1] += 256;
                cover[pe] -= 256;
            }
            cells[pe] += e & 255;
        }
        first = std::min(first, s);
        beyond = std::max(beyond, e);
    }
};

YKScanConverter::SpanSink YKScanConverter::OpenSink() {
    return {mCells.data(), mCover.data(), (mFrame.right - mFrame.left + 1) * 256, INT32_MAX, 0};
}

void YKScanConverter::CloseSink(const SpanSink& sink) {
    // A span touches pixels s >> 8 to (e - 1) >> 8.
    mMinX = std::min(mMinX, sink.first >> 8);
    mMaxX = std::max(mMaxX, (sink.beyond - 1) >> 8);
}

template <bool kStep>
void YKScanConverter::ScanSubRow() {
    // One pass over the active list: the span between an edge and the one before it is
    // covered while the edge is at hand, then the edge is stepped in place. Ended edges are
    // stepped too, which is harmless, and dropped after the pass: few sub-scanlines end one.
    int32 winding = 0;
    int32 spanStart = 0;
    int32 spanEnd = 0;
    bool open = false;
    int32 previousX = 0;
    bool ended = false;
    SpanSink sink = OpenSink();
    for (ActiveEdge& active : mActive) {
        const int32 s = previousX;
        const int32 e = active.x;
        previousX = e;
        if (winding != 0 && e > s) {
            // Neighbouring inside spans, and a gap between them that starts and ends inside
            // one pixel, count as one span.
            if (open && (s <= spanEnd || (spanEnd >> 8) == ((s - 1) >> 8))) {
                spanEnd = std::max(spanEnd, e);
            } else {
                if (open) {
                    sink.Add(spanStart, spanEnd);
                }
                spanStart = s;
                spanEnd = e;
                open = true;
            }
        }
        winding += active.winding;
        if constexpr (kStep) {
            ended |= --active.count == 0;
            StepEdge(active);
        }
    }
    if (open) {
        sink.Add(spanStart, spanEnd);
    }
    CloseSink(sink);
    if constexpr (kStep) {
        if (ended) {
            DropEndedEdges();
        }
        RestoreOrder();
    }
}

int32 YKScanConverter::ScanTwoEdges(int32 y) {
    // With two edges the span lies between them whichever way round they are, so until an
    // edge starts or ends or the row ends there is nothing to sort and no winding to count:
    // the edges are stepped in registers.
    ActiveEdge& a = mActive[0];
    ActiveEdge& b = mActive[1];
    int32 n = std::min({8 - (y & 7), a.count, b.count});
    if (mNextEdge < mEdges.size()) {
        n = std::min(n, mEdges[mNextEdge].startY - y);
    }
    // Copies: the cells' stores could otherwise change them for all the compiler knows.
    const Edge edgeA = mEdges[a.edge];
    const Edge edgeB = mEdges[b.edge];
    int32 ax = a.x, aError = a.error;
    int32 bx = b.x, bError = b.error;
    SpanSink sink = OpenSink();
    for (int32 i = 0; i < n; ++i) {
        sink.Add(std::min(ax, bx), std::max(ax, bx));
        StepEdge(edgeA, ax, aError);
        StepEdge(edgeB, bx, bError);
    }
    CloseSink(sink);
    a = {ax, aError, a.count - n, a.winding, a.edge};
    b = {bx, bError, b.count - n, b.winding, b.edge};
    DropEndedEdges();
    if (mActive.size() == 2 && mActive[0].x > mActive[1].x) {
        std::swap(mActive[0], mActive[1]);
    }
    return n;
}

int32 YKScanConverter::SteadyRows(int32 y) const {
    if (mActive.empty()) {
        return 0;
    }
    int32 subRows = (mFrame.bottom + 1) * 8 - y;
    if (mNextEdge < mEdges.size()) {
        subRows = std::min(subRows, mEdges[mNextEdge].startY - y);
    }
    for (const ActiveEdge& active : mActive) {
        const Edge& edge = mEdges[active.edge];
        if (edge.wholeStep != 0 || edge.errorUp != 0) {
            return 0;
        }
        subRows = std::min(subRows, active.count);
    }
    return subRows >> 3;
}

bool YKScanConverter::FinishRow() {
    if (mMaxX < mMinX) {
        return false;
    }
    int32 x = mMinX;
    int32 running = 0;
#if defined(__x86_64__)
    if (yk_zip_sketcher_has_avx2()) {
        x += RowSumsAvx2(mCells.data() + mMinX, mCover.data() + mMinX, mMaxX - mMinX + 1,
                         mRow.data(), running);
    }
#endif
    const int32 cleared = x;
    for (; x <= mMaxX; ++x) {
        running += mCover[x];
        mRow[x - mMinX] = mCells[x] + running;
    }
    // One entry more: a span ending at the last pixel marks its end there.
    std::fill(mCells.begin() + cleared, mCells.begin() + mMaxX + 2, 0);
    std::fill(mCover.begin() + cleared, mCover.begin() + mMaxX + 2, 0);
    mRowFirst = mMinX;
    mRowLast = mMaxX;
    mMinX = static_cast<int32>(mRow.size());
    mMaxX = -1;
    return true;
}

void YKScanConverter::SplitRow() {
    // Shorter full runs are cheaper painted with the pixels around them than as a piece of
    // their own.
    constexpr int32 kMinFullRun = 64;
    const int32* coverage = mRow.data();
    const int32 count = mRowLast - mRowFirst + 1;
    const int32 left = mFrame.left + mRowFirst;
    mPieces.clear();
    int32 sent = 0;
    for (int32 i = count < kMinFullRun ? count : RunEnd(coverage, 0, count, false); i < count;) {
        const int32 end = RunEnd(coverage, i, count, true);
        if (end - i >= kMinFullRun) {
            if (sent < i) {
                mPieces.push_back({left + sent, left + i - 1, false});
            }
            mPieces.push_back({left + i, left + end - 1, true});
            sent = end;
        }
        i = RunEnd(coverage, end, count, false);
    }
    if (sent < count) {
        mPieces.push_back({left + sent, left + count - 1, false});
    }
}

void YKScanConverter::SendPieces(int32 row, const CoverageRow& sink) const {
    sink(row, mPieces.data(), mPieces.size(), mRow.data());
}

void YKScanConverter::EmitRow(int32 row, const CoverageRow& sink) {
    if (FinishRow()) {
        SplitRow();
        SendPieces(row, sink);
    }
}

// --- The two walks ---

void YKScanConverter::FillAntialiased(std::span<const YKFixedPolygon> polygons,
                                      const CoverageRow& row) {
    if (!mFrame.IsValid()) {
        return;
    }
    BuildEdges(polygons);
    if (mEdges.empty()) {
        return;
    }
    mMinX = static_cast<int32>(mRow.size());
    mMaxX = -1;
    const int32 end = (mFrame.bottom + 1) * 8;
    int32 y = mEdges.front().startY;
    while ((mNextEdge < mEdges.size() || !mActive.empty()) && y < end) {
        if (mActive.empty() && mEdges[mNextEdge].startY > y) {
            // Nothing to scan until the next edge starts: finish the row, then jump.
            EmitRow((y - 1) >> 3, row);
            y = mEdges[mNextEdge].startY;
            continue;
        }
        if (mNextEdge < mEdges.size() && mEdges[mNextEdge].startY == y) {
            ActivateEdges(y);
        }
        const int32 steady = (y & 7) == 0 ? SteadyRows(y) : 0;
        if (steady > 0) {
            // The edges stand still: every row until one ends or starts is the first one.
            for (int32 i = 0; i < 8; ++i) {
                ScanSubRow<false>();
            }
            if (FinishRow()) {
                SplitRow();
                for (int32 i = 0; i < steady; ++i) {
                    SendPieces((y >> 3) + i, row);
                }
            }
            const int32 subRows = steady * 8;
            std::erase_if(mActive, [&](ActiveEdge& edge) { return (edge.count -= subRows) == 0; });
            y += subRows;
            continue;
        }
        if (mActive.size() == 2) {
            y += ScanTwoEdges(y);
            if ((y & 7) == 0) {
                EmitRow((y >> 3) - 1, row);
            }
            continue;
        }
        // The row's cells are complete once its last sub-scanline is covered; the edges'
        // steps touch only the active list.
        ScanSubRow<true>();
        if ((y & 7) == 7) {
            EmitRow(y >> 3, row);
        }
        ++y;
    }
    EmitRow((y - 1) >> 3, row);
}

void YKScanConverter::FillPlain(std::span<const YKFixedPolygon> polygons, const PlainRun& run) {
    if (!mFrame.IsValid()) {
        return;
    }
    BuildEdges(polygons);
    const int32 end = (mFrame.bottom + 1) * 8;
    int32 y = mEdges.empty() ? end : mEdges.front().startY;
    while ((mNextEdge < mEdges.size() || !mActive.empty()) && y < end) {
        if (mActive.empty() && mEdges[mNextEdge].startY > y) {
            y = mEdges[mNextEdge].startY;
            continue;
        }
        ActivateEdges(y);
        int32 winding = 0;
        for (std::size_t i = 0; i + 1 < mActive.size(); ++i) {
            winding += mActive[i].winding;
            const int32 x0 = std::max(mActive[i].x >> 8, 0) + mFrame.left;
            const int32 x1 =
                std::min((mActive[i + 1].x - 1) >> 8, mFrame.right - mFrame.left) + mFrame.left;
            if (winding != 0 && x0 <= x1) {
                run(y >> 3, x0, x1);
            }
        }
        AdvanceActiveEdges();
        ++y;
    }
}
