#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "ReferenceImage.h"
#include "TestDocument.h"
#include "YKRaster.h"
#include "yk_composition.h"

namespace {

using Rect = YKRect<int32>;
// Centred on the origin, as the canvas of a document opened from an image.
constexpr Rect kCanvas{-40, -30, 39, 29};

// Notes every rectangle it is asked to compose.
class Probe : public YKLayer {
public:
    Probe() : YKLayer(0) {}
    Rect Frame() const override { return kCanvas; }
    void ComposeLayer(YKBitmap*, Rect rect) override { rects.push_back(rect); }
    std::vector<Rect> rects;
};

std::vector<uint32> Pixels(const YKBitmap* bitmap, Rect rect = kCanvas) {
    return ImageOf(*std::unique_ptr<YKRaster>(bitmap->Raster(rect))).pixels;
}

class ViewerComposeTest : public testing::Test, public CanvasViewer {
protected:
    ViewerComposeTest() : CanvasViewer(kCanvas) {}
    void SetUp() override {
        host.manager.SetMaxFrame(20, false);
        viewer.CreateViewer();
        viewer.CreateViewer();
    }
};

TEST_F(ViewerComposeTest, EachViewIsItsVisibleLayersMergedByHandWithinTheCanvas) {
    // Both quads reach beyond the canvas; the top one is half transparent and hidden in view 1.
    QuadLayer* red = AddQuad(AddUserLayer(), 0xFFFF0000u, {-60, -50, 0, 0});
    YKUserLayer* top = AddUserLayer();
    QuadLayer* blue = AddQuad(top, 0x800000FFu, {-10, -10, 30, 45});
    top->HideUserLayer(1);

    YKBitmap both, redOnly;
    for (YKBitmap* expected : {&both, &redOnly}) {
        expected->MergeWith(red->Bitmap(), kCanvas, YK_NORMAL, 255);
    }
    both.MergeWith(blue->Bitmap(), kCanvas, YK_NORMAL, 255);
    EXPECT_EQ(Pixels(viewer.Bitmap(0)), Pixels(&both));
    EXPECT_EQ(Pixels(viewer.Bitmap(1)), Pixels(&redOnly));
    EXPECT_EQ(viewer.Bitmap(0)->Frame(), kCanvas);

    std::unique_ptr<YKRaster> raster(viewer.ExportRaster(0));
    EXPECT_EQ(raster->Frame(), kCanvas);
    std::unique_ptr<YKBitmap> copy(viewer.ExportBitmap(0));
    top->HideUserLayer(0);
    EXPECT_EQ(Pixels(viewer.Bitmap(0)), Pixels(&redOnly));
    EXPECT_EQ(Pixels(copy.get()), Pixels(&both));
    EXPECT_EQ(std::memcmp(raster->Bits(), Pixels(copy.get()).data(), raster->BitsLength()), 0);
}

TEST_F(ViewerComposeTest, AMergedObjectSeesTheLayersBelowItsOwn) {
    QuadLayer* blue = AddQuad(AddUserLayer(), 0xFF0000FFu, {-20, -20, 20, 20});
    QuadLayer* red = AddQuad(AddUserLayer(), 0xFFC85028u, {-10, -10, 10, 10});
    red->ChangeMergeMethod(YK_MULTIPLY, nullptr);
    // An edit of the red object has its layer prepare its children; one of the blue object
    // then draws the red layer again from that preparation.
    for (QuadLayer* edited : {red, blue}) {
        viewer.BeginInvalidate();
        edited->InvalidateLayer(edited->Frame(), true, nullptr);
        viewer.EndInvalidate();
    }
    EXPECT_EQ(Pixels(viewer.Bitmap(0), {0, 0, 0, 0}), (std::vector<uint32>{0xFF000028u}));
}

TEST_F(ViewerComposeTest, AFreedSlotLosesItsCompositionAndAReusedOneStartsAtTheCanvas) {
    EXPECT_EQ(viewer.Bitmap(8), nullptr);
    EXPECT_TRUE(viewer.DeleteViewer(1));
    EXPECT_EQ(viewer.ExportRaster(1), nullptr);
    EXPECT_EQ(viewer.CreateViewer(), 1);
    EXPECT_EQ(viewer.Bitmap(1)->Frame(), kCanvas);
}

TEST_F(ViewerComposeTest, ABracketRecomposesTheUnionOnceInEveryViewAndNothingOffCanvas) {
    auto* probe = new Probe;
    viewer.AddChild(probe, false);
    viewer.BeginInvalidate();
    probe->InvalidateLayer({0, 0, 10, 10}, false, nullptr);
    probe->InvalidateLayer({20, 10, 30, 20}, false, nullptr);
    viewer.EndInvalidate();
    EXPECT_EQ(probe->rects, (std::vector<Rect>{{0, 0, 30, 20}, {0, 0, 30, 20}}));

    probe->rects.clear();
    probe->InvalidateLayer({100, 100, 110, 110}, false, nullptr);
    EXPECT_TRUE(probe->rects.empty());
    probe->InvalidateLayer({30, 20, 60, 40}, true, nullptr);
    EXPECT_EQ(probe->rects, (std::vector<Rect>{{30, 20, 39, 29}, {30, 20, 39, 29}}));
    probe->rects.clear();
    probe->InvalidateLayer(YKRect<int32>::None(), true, nullptr);
    EXPECT_EQ(probe->rects, (std::vector<Rect>{kCanvas, kCanvas}));
}

TEST_F(ViewerComposeTest, AGrownCanvasShowsWhatWasOutsideAndPreviewModeIsOneStep) {
    YKUserLayer* layer = AddUserLayer();
    QuadLayer* outside = AddQuad(layer, 0xFF00FF00u, {50, 0, 60, 10});
    QuadLayer* inside = AddQuad(layer, 0xFF00FF00u, {0, 0, 10, 10});
    const Rect grown{-40, -30, 79, 29};
    viewer.SetCanvasFrame(grown);
    EXPECT_EQ(viewer.Bitmap(1)->Frame(), grown);
    EXPECT_EQ(Pixels(viewer.Bitmap(1), {55, 5, 55, 5}), (std::vector<uint32>{0xFF00FF00u}));

    host.codes.clear();
    viewer.SetPreviewMode(2);
    EXPECT_EQ(outside->PreviewMode(), 2);
    EXPECT_EQ(inside->PreviewMode(), 2);
    EXPECT_EQ(std::count(host.codes.begin(), host.codes.end(), 'dBUS'), 1);
}

}  // namespace
