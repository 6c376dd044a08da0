#pragma once

// YKViewOverlay: what a view draws over its composition, in document coordinates: the outlines
// and knobs of the selected objects, the outline of the object being drawn, the band a
// selection tool is dragging, and the outline of the bitmap selection. It is gathered under the
// hierarchy lock whenever the view is redrawn, so that the canvas paints it later without
// taking the lock.

#include <vector>

#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKBitmap;
class YKEventManager;
class YKViewerLayer;

class YKViewOverlay {
public:
    using Polygon = std::vector<YKPoint<double>>;
    // A straight piece of the selection's outline, along pixel edges.
    struct Edge {
        YKPoint<int32> from;
        YKPoint<int32> to;
        bool operator==(const Edge&) const = default;
    };
    enum class Band { kNone, kRectangle, kEllipse, kLasso };

    // Under the hierarchy lock: the overlay of view `view`. `events` (the view's event manager,
    // may be null) gives the object being drawn and the band.
    void Gather(YKViewerLayer* viewer, int32 view, const YKEventManager* events);

    const std::vector<Polygon>& Outlines() const { return mOutlines; }
    const Polygon& Knobs() const { return mKnobs; }
    const Polygon& RotationKnobs() const { return mRotationKnobs; }
    // Empty when no object is being drawn.
    const Polygon& Drawing() const { return mDrawing; }
    Band BandShape() const { return mBand; }
    // The band's extent, pixel edges included: a band over pixels 0..9 spans 0.0 to 10.0.
    YKRect<double> BandRect() const { return mBandRect; }
    // The lasso's points while one is drawn.
    const Polygon& Lasso() const { return mLasso; }
    // The selection's outline between pixels at least half selected and the others.
    const std::vector<Edge>& SelectionEdges() const { return mSelectionEdges; }

    // The outline of `mask`'s pixels whose alpha is at least half, as maximal horizontal and
    // vertical runs.
    static std::vector<Edge> TraceEdges(YKBitmap* mask);

    bool operator==(const YKViewOverlay&) const = default;
    // Whether there is anything with marching ants.
    bool IsMarching() const { return !mSelectionEdges.empty() || mBand != Band::kNone; }

private:
    void GatherObjects(YKViewerLayer* viewer, int32 view);
    void GatherBand(YKViewerLayer* viewer, const YKEventManager* events);

    std::vector<Polygon> mOutlines;
    Polygon mKnobs;
    Polygon mRotationKnobs;
    Polygon mDrawing;
    Band mBand = Band::kNone;
    YKRect<double> mBandRect{0.0, 0.0, -1.0, -1.0};
    Polygon mLasso;
    // Traced again only when the viewer layer reports the selection changed for the view.
    std::vector<Edge> mSelectionEdges;
};
