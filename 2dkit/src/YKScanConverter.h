#pragma once

// The scan converter of the zip sketcher: polygons in fixed point (x in 1/256 pixel, y in 1/8
// pixel) are walked sub-scanline by sub-scanline with an active edge list, non-zero winding.
// Anti-aliased, each sub-scanline adds its exact horizontal coverage (1/256 pixel units) to the
// pixels of its row, so a fully covered pixel reaches 8 x 256 = 2048; a finished row is handed
// to the caller as coverage per pixel. Plain, each inside span of each sub-scanline is handed
// over as a run of whole pixels. Everything in the loop is integer arithmetic.

#include <cstddef>
#include <functional>
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

class YKScanConverter {
public:
    // Coordinates beyond this many pixels are pulled in, so the fixed-point forms stay in range
    // (differences of x * 256 fit in 31 bits).
    static constexpr double kMaxCoordinate = 2097152.0;  // 2^21
    // A finished row: pixels x0..x1 of row y, coverage[x - x0] in 0..2048.
    using CoverageRow = std::function<void(int32 y, int32 x0, int32 x1, const int32* coverage)>;
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
    void FillAntialiased(const std::vector<YKFixedPolygon>& polygons, const CoverageRow& row);
    void FillPlain(const std::vector<YKFixedPolygon>& polygons, const PlainRun& run);

private:
    struct Edge {
        int32 x;
        int32 startY;
        int32 wholeStep;
        int32 direction;
        int32 error;
        int32 errorUp;
        int32 errorDown;
        int32 count;
        int32 winding;
    };

    // Builds the edges, sorted by start y then x, and returns the first sub-scanline to scan.
    void BuildEdges(const std::vector<YKFixedPolygon>& polygons);
    void SortEdges();
    // Moves the edges that start at sub-scanline y into the active list, in x order.
    void ActivateEdges(int32 y);
    // Steps every active edge to the next sub-scanline, dropping finished ones, and restores
    // x order.
    void AdvanceActiveEdges();
    // Steps an edge that starts above the frame down to `y` at once.
    static void SkipEdgeTo(Edge& edge, int32 y);
    // Adds this sub-scanline's coverage: spans where the winding sum is not 0.
    void AddCoverage();
    void AddSpanCoverage(int32 s, int32 e);
    void EmitRow(int32 row, const CoverageRow& sink);

    YKRect<int32> mFrame = YKRect<int32>::None();
    std::vector<Edge> mEdges;
    std::size_t mNextEdge = 0;
    std::vector<Edge> mActive;
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
};
