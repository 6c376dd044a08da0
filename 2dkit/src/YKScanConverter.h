#pragma once

// The scan converter of the zip sketcher: polygons in fixed point (x in 1/256 pixel, y in 1/8
// pixel) are walked sub-scanline by sub-scanline with an active edge list, non-zero winding.
// Anti-aliased, each sub-scanline adds its exact horizontal coverage (1/256 pixel units) to the
// pixels of its row, so a fully covered pixel reaches 8 x 256 = 2048; a finished row is handed
// to the caller as coverage per pixel, long fully covered runs apart. Rows that edges standing
// straight up cross unchanged are summed once and handed over again. Plain, each inside span of
// each sub-scanline is handed over as a run of whole pixels. Everything in the loop is integer
// arithmetic.

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "YKList.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

// One polygon: closed implicitly (the last point joins the first).
struct YKFixedPoint {
    int32 x;  // 1/256 pixel
    int32 y;  // 1/8 pixel
};
using YKFixedPolygon = std::vector<YKFixedPoint>;

// A piece of a finished row: pixels x0..x1, all fully covered or not.
struct YKCoveragePiece {
    int32 x0;
    int32 x1;
    bool full;
};

class YKScanConverter {
public:
    // Coordinates beyond this many pixels are pulled in, so the fixed-point forms stay in range
    // (differences of x * 256 fit in 31 bits).
    static constexpr double kMaxCoordinate = 2097152.0;  // 2^21
    // The coverage of a fully covered pixel.
    static constexpr int32 kFullCoverage = 8 * 256;
    // A finished row y: `count` pieces that follow each other without gaps, left to right, and
    // span the pixels its spans touched (long fully covered runs are pieces of their own), and
    // the coverage of each of those pixels from the first piece's x0 on, in 0..2048.
    using CoverageRow = std::function<void(int32 y, const YKCoveragePiece* pieces,
                                           std::size_t count, const int32* coverage)>;
    // A run of whole pixels x0..x1 of row y inside the polygons (plain conversion).
    using PlainRun = std::function<void(int32 y, int32 x0, int32 x1)>;

    // `polygon` in fixed point, each coordinate rounded to the nearest unit (coordinates beyond
    // ±2^21 pixels pulled in). False, and nothing converted, when a point is not finite.
    static bool ToFixed(const YKList<YKPoint<double>>& polygon, YKFixedPolygon& out);

    // The pixels rows and columns may be written to; storage follows the frame's width.
    void SetFrame(YKRect<int32> frame);
    YKRect<int32> Frame() const { return mFrame; }

    // All polygons together (holes and overlaps by the winding rule across them); polygons of
    // fewer than 3 points add nothing.
    void FillAntialiased(std::span<const YKFixedPolygon> polygons, const CoverageRow& row);
    void FillPlain(std::span<const YKFixedPolygon> polygons, const PlainRun& run);

    // Room for a caller's fixed-point polygons, kept from one fill to the next so that small
    // shapes, drawn by the thousand, allocate nothing.
    std::vector<YKFixedPolygon>& PolygonStore() { return mPolygonStore; }

private:
    struct Edge {
        int32 x;  // 1/256 pixel from the frame's left side
        int32 startY;
        int32 wholeStep;
        int32 direction;
        int32 error;
        int32 errorUp;
        int32 errorDown;
        int32 count;
        int32 winding;
    };

    // What changes of an edge while it is scanned, apart from what stays, so that stepping
    // and reordering the active list moves little.
    struct ActiveEdge {
        int32 x;
        int32 error;
        int32 count;
        int32 winding;
        uint32 edge;  // index in mEdges
    };

    // Builds the edges, sorted by start y then x, and returns the first sub-scanline to scan.
    void BuildEdges(std::span<const YKFixedPolygon> polygons);
    void SortEdges();
    // Moves the edges that start at sub-scanline y into the active list, in x order.
    void ActivateEdges(int32 y);
    // Steps every active edge to the next sub-scanline, dropping finished ones, and restores
    // x order.
    void AdvanceActiveEdges();
    void StepEdge(ActiveEdge& active) const;
    static void StepEdge(const Edge& edge, int32& x, int32& error);
    void DropEndedEdges();
    void RestoreOrder();
    // Steps an edge that starts above the frame down to `y` at once.
    static void SkipEdgeTo(Edge& edge, int32 y);
    // Adds this sub-scanline's coverage: spans where the winding sum is not 0; with kStep, also
    // advances the active edges as AdvanceActiveEdges does, in the same pass.
    template <bool kStep>
    void ScanSubRow();
    // Scans sub-scanlines from y while exactly two edges are active and none starts or ends,
    // up to the end of y's row; returns how many.
    int32 ScanTwoEdges(int32 y);
    struct SpanSink;
    SpanSink OpenSink();
    void CloseSink(const SpanSink& sink);
    // How many whole pixel rows from sub-scanline y (the first of a row) the active edges cross
    // unchanged: all upright, none ending and none starting before then. 0 when they do not.
    int32 SteadyRows(int32 y) const;
    // Sums the row's coverage into mRow and clears what it was summed from; false when the
    // row touched no pixel.
    bool FinishRow();
    // Cuts the finished row into pieces, its long fully covered runs apart, and hands them
    // over as row `row`; rows that repeat it are handed the same pieces.
    void SplitRow();
    void SendPieces(int32 row, const CoverageRow& sink) const;
    void EmitRow(int32 row, const CoverageRow& sink);

    YKRect<int32> mFrame = YKRect<int32>::None();
    std::vector<YKFixedPolygon> mPolygonStore;
    std::vector<Edge> mEdges;
    std::size_t mNextEdge = 0;
    std::vector<ActiveEdge> mActive;
    // Scratch for sorting and merging edges, kept to reuse its storage.
    std::vector<Edge> mSorted;
    std::vector<std::size_t> mBucketEnds;
    struct SortKey {
        uint64 key;  // start y (from the lowest), then x
        uint32 index;
    };
    std::vector<SortKey> mSortKeys;
    // Per pixel of the frame: the coverage of partly covered pixels, and the running change of
    // whole-pixel coverage (a span adds 256 to every pixel strictly inside it through two
    // entries here instead of one per pixel).
    std::vector<int32> mCells;
    std::vector<int32> mCover;
    std::vector<int32> mRow;
    int32 mMinX = 0;
    int32 mMaxX = -1;
    // The pixels of the finished row in mRow, frame-relative.
    int32 mRowFirst = 0;
    int32 mRowLast = -1;
    std::vector<YKCoveragePiece> mPieces;
};
