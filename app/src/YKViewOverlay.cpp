#include "YKViewOverlay.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "YKBitmap.h"
#include "YKEventManager.h"
#include "YKList.h"
#include "YKObjectLayer.h"
#include "YKViewerLayer.h"

namespace {

// A feathered selection shows the line where it is half selected.
constexpr uint32 kHalfSelected = 128;
constexpr int32 kLassoTool = 2;
constexpr int32 kEllipseTool = 3;
// Rows are document coordinates and may be negative.
constexpr int32 kNoRun = std::numeric_limits<int32>::min();

YKViewOverlay::Polygon ToPolygon(const YKList<YKPoint<double>>& list) {
    YKViewOverlay::Polygon points;
    points.reserve(static_cast<size_t>(list.CountItems()));
    for (int32 i = 0; i < list.CountItems(); ++i) {
        points.push_back(list.ItemAt(i));
    }
    return points;
}

}  // namespace

void YKViewOverlay::Gather(YKViewerLayer* viewer, int32 view, const YKEventManager* events) {
    mOutlines.clear();
    mKnobs.clear();
    mRotationKnobs.clear();
    mDrawing.clear();
    if (viewer == nullptr) {
        mSelectionEdges.clear();
        mBand = Band::kNone;
        return;
    }
    // The objects answer for the current view: make it this one while asking.
    const int32 current = viewer->ViewerID();
    viewer->SetViewerID(view);
    GatherObjects(viewer, view);
    if (events != nullptr && events->ObjectInProgress() != nullptr) {
        YKList<YKPoint<double>> outline;
        events->ObjectInProgress()->GetOutline(&outline);
        mDrawing = ToPolygon(outline);
    }
    viewer->SetViewerID(current);
    GatherBand(viewer, events);
    if (viewer->HasSelectionChanged(view)) {
        mSelectionEdges = TraceEdges(viewer->GetSelection());
    }
}

void YKViewOverlay::GatherObjects(YKViewerLayer* viewer, int32 view) {
    for (YKLayer* layer : viewer->SelectedObjects(view)) {
        auto* object = static_cast<YKObjectLayer*>(layer);
        if (object->IsHidden()) {
            continue;
        }
        YKList<YKPoint<double>> points;
        object->GetOutline(&points);
        if (points.CountItems() > 1) {
            mOutlines.push_back(ToPolygon(points));
        }
        points.MakeEmpty();
        object->GetKnobTab(&points);
        const Polygon knobs = ToPolygon(points);
        mKnobs.insert(mKnobs.end(), knobs.begin(), knobs.end());
        YKPoint<double> turning[4];
        if (object->RotationKnobs(turning)) {
            mRotationKnobs.insert(mRotationKnobs.end(), std::begin(turning), std::end(turning));
        }
    }
}

void YKViewOverlay::GatherBand(YKViewerLayer* viewer, const YKEventManager* events) {
    mBand = Band::kNone;
    mLasso.clear();
    if (events == nullptr || !events->IsMouseDown()) {
        return;
    }
    if (viewer->TemporarySelectionType() == kLassoTool) {
        mLasso = ToPolygon(viewer->FreeHandSelectionPoints());
        mBand = mLasso.size() > 1 ? Band::kLasso : Band::kNone;
        return;
    }
    const YKRect<int32> band = events->RubberBand();
    if (!band.IsValid()) {
        return;
    }
    mBand = viewer->TemporarySelectionType() == kEllipseTool ? Band::kEllipse : Band::kRectangle;
    mBandRect = {static_cast<double>(band.left), static_cast<double>(band.top),
                 static_cast<double>(band.right) + 1.0, static_cast<double>(band.bottom) + 1.0};
}

// --- Tracing the selection ---

std::vector<YKViewOverlay::Edge> YKViewOverlay::TraceEdges(YKBitmap* mask) {
    std::vector<Edge> edges;
    if (mask == nullptr || !mask->Frame().IsValid()) {
        return edges;
    }
    const YKRect<int32> frame = mask->Frame();
    const auto width = static_cast<size_t>(frame.right - frame.left + 1);
    std::vector<uint32> line(width);
    // Each row with a blank column on either side, so every boundary is a difference.
    std::vector<uint8> above(width + 2, 0);
    std::vector<uint8> row(width + 2, 0);
    // Per column boundary: the row where the vertical run now open began.
    std::vector<int32> open(width + 1, kNoRun);
    for (int32 y = frame.top; y <= frame.bottom + 1; ++y) {
        if (y <= frame.bottom) {
            mask->GetLineAt(y, frame.left, frame.right, false, line.data());
            for (size_t i = 0; i < width; ++i) {
                row[i + 1] = (line[i] >> 24) >= kHalfSelected ? 1 : 0;
            }
        } else {
            std::fill(row.begin(), row.end(), 0);
        }
        // Horizontal runs on the line between the row above and this one.
        size_t i = 1;
        while (i <= width) {
            if (row[i] == above[i]) {
                ++i;
                continue;
            }
            const size_t start = i;
            while (i <= width && row[i] != above[i]) {
                ++i;
            }
            edges.push_back({{frame.left + static_cast<int32>(start - 1), y},
                             {frame.left + static_cast<int32>(i - 1), y}});
        }
        // Vertical runs: open where neighbours differ, close where they stop differing.
        for (size_t b = 0; b <= width; ++b) {
            const bool differs = y <= frame.bottom && row[b] != row[b + 1];
            const int32 x = frame.left + static_cast<int32>(b);
            if (differs && open[b] == kNoRun) {
                open[b] = y;
            } else if (!differs && open[b] != kNoRun) {
                edges.push_back({{x, open[b]}, {x, y}});
                open[b] = kNoRun;
            }
        }
        std::swap(above, row);
    }
    return edges;
}
