// Random documents rendered three ways must agree to the bit: a view's composition shown over
// the background (what a window shows), YKDocument::RenderFrame (what an export writes), and a
// slow reference of the order layers compose in, written here. Each document is then edited
// twice in one object, so that the prepared below and above bitmaps are used too.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "QuadLayer.h"
#include "ReferenceImage.h"
#include "YKAlphaBlend.h"
#include "YKBitmap.h"
#include "YKCacheLayer.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKDrawBitmap.h"
#include "YKEventListener.h"
#include "YKEventManager.h"
#include "YKObjectLayer.h"
#include "YKRaster.h"
#include "YKRasterLayer.h"
#include "YKToolState.h"
#include "YKUserLayer.h"
#include "YKVectorEllipse.h"
#include "YKVectorPolyline.h"
#include "YKVectorRectangle.h"
#include "YKViewerLayer.h"
#include "yk_composition.h"

namespace {

using Rect = YKRect<int32>;
using Random = std::mt19937;

int32 Pick(Random& random, int32 low, int32 high) {
    return std::uniform_int_distribution<int32>(low, high)(random);
}

// Pixels of every kind: transparent, opaque and (unless `binary`) in between, so that any
// rounding shows.
uint32 AnyPixel(Random& random, bool binary = false) {
    const int32 kind = Pick(random, 0, binary ? 1 : 3);
    const uint32 alpha = kind == 0   ? 0
                         : kind == 1 ? 255
                                     : static_cast<uint32>(Pick(random, 1, 254));
    return alpha << 24 | (static_cast<uint32>(random()) & 0x00FFFFFFu);
}

// Every merge method but two: "Dissolve" draws random numbers, so no two renderings agree,
// and "Filter" needs a filter object. Only "Normal" in a `plain` layer.
int32 AnyMethod(Random& random, bool plain) {
    int32 method = plain ? YK_NORMAL : YK_DISSOLVE;
    while (method == YK_DISSOLVE || method == YK_FILTER) {
        method = Pick(random, 0, YK_COMPOSITION_MODE_COUNT - 1);
    }
    return method;
}

// An object showing a patch of random pixels (only opaque and transparent ones when `binary`).
class Patch : public YKObjectLayer {
public:
    Patch(int32 id, Rect box, bool binary, Random& random)
        : YKObjectLayer(id, "patch", 0), mBox(box), mBinary(binary) {
        Paint(random);
    }
    Rect Frame() const override { return YKEffectLayer::Frame() | mContent.Frame(); }
    Rect RealFrame() const override { return Frame(); }
    void ComposeLayer(YKBitmap* target, Rect rect) override {
        ComposeRendering(target, rect, &mContent);
    }
    // New pixels, announced as an edit of this object.
    void Repaint(Random& random) {
        const Rect before = Frame();
        Paint(random);
        if (IsEffectEnabled()) {
            ProcessEffect();
        }
        InvalidateLayer(before | Frame(), true, nullptr);
    }

private:
    void Paint(Random& random) {
        std::vector<uint32> line(static_cast<size_t>(mBox.Width() + 1));
        for (int32 y = mBox.top; y <= mBox.bottom; ++y) {
            for (uint32& pixel : line) {
                pixel = AnyPixel(random, mBinary);
            }
            mContent.SetLineAt(line.data(), y, mBox.left, mBox.right);
        }
    }
    Rect mBox;
    bool mBinary = false;
    YKBitmap mContent;
};

void AddEffects(YKEffectLayer* layer, Random& random) {
    layer->SetOuterShadowParam(static_cast<float>(Pick(random, 1, 4)), Pick(random, -3, 3),
                               Pick(random, -3, 3), Pick(random, 128, 512),
                               static_cast<int32>(AnyPixel(random) | 0x40000000u));
    layer->SetInnerGlowParam(static_cast<float>(Pick(random, 1, 4)), Pick(random, 128, 1024),
                             static_cast<int32>(AnyPixel(random) | 0x40000000u));
    layer->SetProcessMask(YKEffectLayer::kOuterShadow | YKEffectLayer::kInnerGlow);
    layer->SetEffectEnable(true);
}

class RenderAgreementTest : public testing::TestWithParam<uint32> {
protected:
    void SetUp() override {
        random.seed(GetParam());
        background = AnyPixel(random) | 0xFF000000u;
        document = dispatcher.CreateDocument(
            40, 32, "random",
            yk_color{static_cast<uint8>(background >> 16), static_cast<uint8>(background >> 8),
                     static_cast<uint8>(background), 255});
        viewer = document->ViewerLayer();
        canvas = document->Frame();
        view = viewer->CreateViewer();
        viewer->SetViewerID(view);
    }

    Rect AnyBox() {
        const int32 left = Pick(random, canvas.left, canvas.right - 4);
        const int32 top = Pick(random, canvas.top, canvas.bottom - 4);
        return {left, top, Pick(random, left + 2, canvas.right),
                Pick(random, top + 2, canvas.bottom)};
    }

    // An object, or a group of them (groups nest twice at most); merge methods, opacities and
    // effects at random on each.
    void AddChildTo(YKLayer* parent, int32 depth) {
        if (depth < 2 && Pick(random, 0, 2) == 0) {
            auto* group = new YKCacheLayer(document->GetUniqueID(), "group");
            parent->AddChild(group, true);
            for (int32 n = Pick(random, 1, 3); n > 0; --n) {
                AddChildTo(group, depth + 1);
            }
            SetUpGroup(group);
            return;
        }
        auto* patch =
            new Patch(document->GetUniqueID(), AnyBox(), plain && Pick(random, 0, 1) == 0, random);
        parent->AddChild(patch, true);
        patches.push_back(patch);
        patch->ChangeMergeMethod(AnyMethod(random, plain), nullptr);
        if (Pick(random, 0, 3) == 0) {
            patch->ChangeOpacity(Pick(random, 0, 254));
        }
        if (Pick(random, 0, 5) == 0) {
            AddEffects(patch, random);
        }
    }
    void SetUpGroup(YKCacheLayer* group) {
        if (Pick(random, 0, 1) == 0) {
            group->SetMergeMethod(AnyMethod(random, plain), nullptr);
        }
        if (Pick(random, 0, 2) == 0) {
            group->SetGlobalAlpha(Pick(random, 0, 254));
        }
        if (Pick(random, 0, 3) == 0) {
            AddEffects(group, random);
        }
    }
    void BuildDocument() {
        viewer->LockHirarchy();
        viewer->BeginInvalidate();
        for (int32 layers = Pick(random, 2, 4); viewer->CountChildren() < layers;) {
            viewer->AddChild(new YKUserLayer(document->GetUniqueID(), "layer"), true);
        }
        for (int32 i = 0; i < viewer->CountChildren(); ++i) {
            auto* user = static_cast<YKUserLayer*>(viewer->ChildAt(i));
            // Layers of "Normal" merges only may be prepared in below and above bitmaps.
            plain = Pick(random, 0, 1) == 0;
            for (int32 n = Pick(random, 1, 5); n > 0; --n) {
                AddChildTo(user, 0);
            }
            SetUpGroup(user);
        }
        viewer->EndInvalidate();
        viewer->UnlockHirarchy();
    }

    // --- The three renderings

    // As a window shows its view: the composition copied line by line, over the board.
    std::vector<uint32> Shown() {
        YKBitmap* composition = viewer->Bitmap(view);
        YKDrawBitmap shown;
        std::vector<uint32> line(static_cast<size_t>(canvas.Width() + 1));
        for (int32 y = canvas.top; y <= canvas.bottom; ++y) {
            composition->GetLineAt(y, canvas.left, canvas.right, false, line.data());
            shown.SetLineAt(line.data(), y, canvas.left, canvas.right);
        }
        shown.SetBoardColor(background, true);
        YKRaster screen(canvas);
        shown.DrawIn(&screen, canvas);
        return Pixels(screen);
    }
    std::vector<uint32> Exported() {
        std::unique_ptr<YKRaster> raster(document->RenderFrame(1));
        return raster != nullptr ? Pixels(*raster) : std::vector<uint32>{};
    }
    std::vector<uint32> Reference() {
        YKBitmap picture;
        for (int32 i = 0; i < viewer->CountChildren(); ++i) {
            ComposeByHand(viewer->ChildAt(i), &picture);
        }
        std::unique_ptr<YKRaster> raster(picture.Raster(canvas));
        std::vector<uint32> pixels = Pixels(*raster);
        for (uint32& pixel : pixels) {
            pixel = YKAlphaBlend::Compose(pixel, background);
        }
        return pixels;
    }
    // A group that needs its cache renders its children onto a transparent one and merges it
    // with its method and opacity between its effects; any other draws its children straight
    // onto what lies below it.
    void ComposeByHand(YKLayer* layer, YKBitmap* target) {
        auto* group = dynamic_cast<YKCacheLayer*>(layer);
        if (group == nullptr) {
            layer->ComposeLayer(target, canvas);
            return;
        }
        const bool effects = group->IsEffectEnabled();
        if (!effects && group->GlobalAlpha() == 255 && group->MergeMethod() == YK_NORMAL) {
            for (int32 i = 0; i < group->CountChildren(); ++i) {
                ComposeByHand(group->ChildAt(i), target);
            }
            return;
        }
        YKBitmap cache;
        for (int32 i = 0; i < group->CountChildren(); ++i) {
            ComposeByHand(group->ChildAt(i), &cache);
        }
        if (effects) {
            target->MergeWith(&group->BeforeEffectBitmap(), canvas, YK_NORMAL, 255);
        }
        target->MergeWith(&cache, canvas, group->MergeMethod(), group->GlobalAlpha());
        if (effects) {
            target->MergeWith(&group->AfterEffectBitmap(), canvas, YK_NORMAL, 255);
        }
    }
    static std::vector<uint32> Pixels(const YKRaster& raster) { return ImageOf(raster).pixels; }
    // The view as the last bracket left it, which is where the prepared bitmaps are used.
    void ExpectAgreement(const char* when) {
        const std::vector<uint32> reference = Reference();
        EXPECT_EQ(Shown(), reference) << when;
        EXPECT_EQ(Exported(), reference) << when;
    }
    void EditOnePatch(Patch* patch) {
        viewer->LockHirarchy();
        viewer->BeginInvalidate();
        patch->Repaint(random);
        viewer->EndInvalidate();
        viewer->UnlockHirarchy();
    }

    Random random;
    uint32 background = 0;
    YKDispatcher dispatcher;
    YKDocument* document = nullptr;
    YKViewerLayer* viewer = nullptr;
    Rect canvas;
    int32 view = -1;
    std::vector<Patch*> patches;
    bool plain = false;
};

TEST_P(RenderAgreementTest, WindowExportAndReferenceShowTheSamePixels) {
    BuildDocument();
    // Turning effects on redraws nothing by itself.
    viewer->ComposeLayers(canvas, view);
    ExpectAgreement("as built");
    Patch* edited = patches[static_cast<size_t>(Pick(random, 0, patches.size() - 1))];
    EditOnePatch(edited);
    ExpectAgreement("after a first edit");
    EditOnePatch(edited);
    ExpectAgreement("after a second edit of the same object");
}

// The example that set the order: a layer merged "Lightest" over nothing shows its own colour
// over the background, as the window shows it, not the lighter of the two.
TEST(RenderFrameTest, ALayerMergesOverTransparentAndTheBackgroundGoesUnder) {
    YKDispatcher dispatcher;
    YKDocument* document =
        dispatcher.CreateDocument(4, 2, "lightest", yk_color{100, 150, 200, 255});
    auto* user = static_cast<YKUserLayer*>(document->ViewerLayer()->CurrentUserLayer());
    user->SetMergeMethod(YK_LIGHTEST, nullptr);
    PutQuad(user, document->GetUniqueID(), 0xFFC85028u, {-2, -1, -1, 1});
    PutQuad(user, document->GetUniqueID(), 0x80C85028u, {-1, -1, 0, 1});
    std::unique_ptr<YKRaster> raster(document->RenderFrame(1));
    ASSERT_NE(raster, nullptr);
    const auto* row = reinterpret_cast<const uint32*>(raster->Bits());
    const uint32 background = 0xFF6496C8u;
    EXPECT_EQ(row[0], 0xFFC85028u);
    EXPECT_EQ(row[1], YKAlphaBlend::Compose(0x80C85028u, background));
    EXPECT_EQ(row[2], background);
}

// Objects drawn, picked, nudged, dragged, undone and redone through a view's events render as
// the same objects made directly at their final places.
TEST(EditedRenderTest, DrawnAndMovedObjectsRenderAsObjectsMadeInPlace) {
    YKDispatcher dispatcher;
    const yk_color white{255, 255, 255, 255};
    YKDocument* edited = dispatcher.CreateDocument(120, 90, "edited", white);
    YKToolState tools;
    YKEventListener listener;
    YKEventManager events(edited, &tools, &listener);
    const auto drag = [&events](YKPoint<double> from, YKPoint<double> to) {
        events.MouseDown(from, 1, 1, 0);
        events.MouseMoved({(from.x + to.x) / 2, (from.y + to.y) / 2}, 1);
        events.MouseMoved(to, 1);
        events.MouseUp(to);
    };
    ASSERT_TRUE(tools.SetSelectedTool(12));
    drag({-40, -20}, {30, 10});
    ASSERT_TRUE(tools.SetSelectedTool(14));
    drag({0, 0}, {20, 16});
    ASSERT_TRUE(tools.SetSelectedTool(8));
    drag({-50, 30}, {50, 40});
    ASSERT_TRUE(tools.SetSelectedTool(0));
    // The ellipse, on top, is picked and dragged by (5, -3), then nudged by 3 x 8 to the right.
    drag({10, 8}, {15, 5});
    const char right = 29;
    for (int i = 0; i < 3; ++i) {
        events.KeyDown(&right, 1, YKEventManager::kShift);
    }
    events.KeyUp(&right, 1, YKEventManager::kShift);
    for (int i = 0; i < 2; ++i) {
        edited->UndoManager()->UndoLast();
    }
    for (int i = 0; i < 2; ++i) {
        edited->UndoManager()->RedoLast();
    }

    YKDocument* made = dispatcher.CreateDocument(120, 90, "made", white);
    YKEnvelopManager* manager = made->EnvelopManager();
    YKLayer* user = made->ViewerLayer()->CurrentUserLayer();
    const auto add = [&](YKVectorEntity* entity, YKPoint<double> end, int32 kind, int32 id) {
        entity->nextPoint(end, false);
        if (kind == YKRasterLayer::kLine) {
            entity->addPoint(end, false);
        }
        entity->endCreationWithTol(1);
        auto* layer = new YKRasterLayer(id, "made", kind);
        layer->SetEntity(entity);
        user->AddChild(layer, true);
        layer->EndCreation();
    };
    int32 id = made->GetUniqueID();
    add(new YKVectorRectangle({-40, -20}, id, manager), {30, 10}, YKRasterLayer::kRectangle, id);
    id = made->GetUniqueID();
    add(new YKVectorEllipse({29, -3}, id, manager), {49, 13}, YKRasterLayer::kEllipse, id);
    id = made->GetUniqueID();
    add(new YKVectorPolyline({-50, 30}, id, manager), {50, 40}, YKRasterLayer::kLine, id);

    std::unique_ptr<YKRaster> editedFrame(edited->RenderFrame(1));
    std::unique_ptr<YKRaster> madeFrame(made->RenderFrame(1));
    ASSERT_NE(editedFrame, nullptr);
    ASSERT_NE(madeFrame, nullptr);
    const std::vector<uint32> pixels = ImageOf(*editedFrame).pixels;
    EXPECT_EQ(pixels, ImageOf(*madeFrame).pixels);
    // Something was drawn at all: the rectangle's edge is not the background.
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), 0xFFFFFFFFu),
              static_cast<std::ptrdiff_t>(pixels.size()));
}

INSTANTIATE_TEST_SUITE_P(Seeds, RenderAgreementTest, testing::Range(1u, 41u));

}  // namespace
