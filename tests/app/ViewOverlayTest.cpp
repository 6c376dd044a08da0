// What a view draws over its composition: the selection traced along pixel edges, the knobs
// and outlines of the selected objects, and the band a selection tool drags.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "QuadLayer.h"
#include "RecordingServices.h"
#include "YKBitmap.h"
#include "YKDocument.h"
#include "YKEventListener.h"
#include "YKEventManager.h"
#include "YKToolState.h"
#include "YKViewOverlay.h"
#include "YKViewerLayer.h"

namespace {

using Edge = YKViewOverlay::Edge;
constexpr YKRect<int32> kCanvas{-20, -10, 19, 9};

std::vector<Edge> Sorted(std::vector<Edge> edges) {
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) {
        return std::tie(a.from.y, a.from.x, a.to.y, a.to.x) <
               std::tie(b.from.y, b.from.x, b.to.y, b.to.x);
    });
    return edges;
}

class ViewOverlayTest : public testing::Test {
protected:
    QuadLayer* AddQuad(double left, double top, double size) {
        auto* quad = new QuadLayer(doc.GetUniqueID(), 0xFF0000FFu);
        viewer->CurrentUserLayer()->AddChild(quad, false);
        quad->ModifyBoundingBox({left, top}, {left + size, top}, {left + size, top + size},
                                {left, top + size});
        quad->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
        return quad;
    }
    void Gather() {
        viewer->LockHirarchy();
        overlay.Gather(viewer, 0, &events);
        viewer->UnlockHirarchy();
    }

    RecordingServices services;
    YKDocument doc{"Overlay", kCanvas, yk_color(255, 255, 255, 255), &services};
    YKViewerLayer* viewer = doc.ViewerLayer();
    YKToolState tools;
    YKEventListener listener;
    YKEventManager events{&doc, &tools, &listener};
    YKViewOverlay overlay;
};

TEST_F(ViewOverlayTest, TheSelectionIsTracedAsMaximalRunsAroundHolesAndOnlyWhereHalfSelected) {
    // A rectangle left of and above the origin: its rows and columns are negative.
    auto square = viewer->CreateRectangleSelection({-6, -5, -3, -2});
    EXPECT_EQ(Sorted(YKViewOverlay::TraceEdges(square.get())),
              (std::vector<Edge>{{{-6, -5}, {-2, -5}},
                                 {{-6, -5}, {-6, -1}},
                                 {{-2, -5}, {-2, -1}},
                                 {{-6, -1}, {-2, -1}}}));

    // A frame with a hole: the outer and the inner outline, four runs each.
    viewer->AddSelection(viewer->CreateRectangleSelection({0, 0, 9, 9}).get());
    viewer->RemoveSelection(viewer->CreateRectangleSelection({3, 3, 6, 6}).get());
    const std::vector<Edge> ring = YKViewOverlay::TraceEdges(viewer->GetSelection());
    EXPECT_EQ(ring.size(), 8u);
    EXPECT_NE(std::find(ring.begin(), ring.end(), Edge{{3, 3}, {7, 3}}), ring.end());
    EXPECT_NE(std::find(ring.begin(), ring.end(), Edge{{7, 3}, {7, 7}}), ring.end());

    // Pixels less than half selected lie outside the outline.
    YKBitmap faint;
    const uint32 line[3] = {0x7F000000u, 0x80000000u, 0x7F000000u};
    faint.SetLineAt(line, 4, 10, 12);
    EXPECT_EQ(Sorted(YKViewOverlay::TraceEdges(&faint)),
              (std::vector<Edge>{
                  {{11, 4}, {12, 4}}, {{11, 4}, {11, 5}}, {{12, 4}, {12, 5}}, {{11, 5}, {12, 5}}}));
    EXPECT_TRUE(YKViewOverlay::TraceEdges(nullptr).empty());
}

TEST_F(ViewOverlayTest, OneSelectedObjectShowsKnobsSeveralShowOutlinesOnly) {
    QuadLayer* a = AddQuad(-10, -5, 4);
    QuadLayer* b = AddQuad(5, 0, 2);
    events.Select(a, true);
    Gather();
    ASSERT_EQ(overlay.Outlines().size(), 1u);
    EXPECT_EQ(overlay.Outlines()[0].size(), 4u);
    // The four corners, then the middles of the sides.
    ASSERT_EQ(overlay.Knobs().size(), 8u);
    EXPECT_EQ(overlay.Knobs()[0], (YKPoint<double>{-10, -5}));
    EXPECT_EQ(overlay.Knobs()[2], (YKPoint<double>{-6, -1}));
    EXPECT_EQ(overlay.Knobs()[4], (YKPoint<double>{-8, -5}));
    EXPECT_EQ(overlay.RotationKnobs().size(), 4u);

    events.Select(b, false);
    Gather();
    EXPECT_EQ(overlay.Outlines().size(), 2u);
    EXPECT_TRUE(overlay.Knobs().empty());
    EXPECT_TRUE(overlay.RotationKnobs().empty());

    // Selected in another view only: nothing in this one.
    viewer->DeselectAll(0);
    Gather();
    EXPECT_TRUE(overlay.Outlines().empty());
}

TEST_F(ViewOverlayTest, TheBandFollowsTheDragAndTheSelectionItMakesIsOutlined) {
    events.MouseDown({-15.5, -8.5}, 1, 1, 0);
    events.MouseMoved({-11.2, -4.7}, 1);
    Gather();
    EXPECT_EQ(overlay.BandShape(), YKViewOverlay::Band::kRectangle);
    EXPECT_EQ(overlay.BandRect(), (YKRect<double>{-15, -8, -11, -4}));
    events.MouseUp({-11.2, -4.7});
    Gather();
    EXPECT_EQ(overlay.BandShape(), YKViewOverlay::Band::kNone);

    ASSERT_TRUE(tools.SetSelectedTool(3));
    events.MouseDown({0.5, 0.5}, 1, 1, 0);
    events.MouseMoved({8.5, 6.5}, 1);
    Gather();
    EXPECT_EQ(overlay.BandShape(), YKViewOverlay::Band::kEllipse);
    EXPECT_EQ(overlay.BandRect(), (YKRect<double>{0, 0, 9, 7}));
    EXPECT_TRUE(overlay.SelectionEdges().empty());
    events.MouseUp({8.5, 6.5});
    Gather();
    EXPECT_EQ(overlay.BandShape(), YKViewOverlay::Band::kNone);
    EXPECT_EQ(overlay.SelectionEdges(), YKViewOverlay::TraceEdges(viewer->GetSelection()));
    EXPECT_GT(overlay.SelectionEdges().size(), 4u);
}

}  // namespace
