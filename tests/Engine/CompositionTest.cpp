#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "PixelAt.h"
#include "ReferenceImage.h"
#include "TestDocument.h"
#include "YKCacheLayer.h"
#include "YKGenericFilter.h"
#include "yk_composition.h"

namespace {

constexpr uint32 kRed = 0xFFFF0000u;
constexpr uint32 kBlue = 0xFF0000FFu;
constexpr uint32 kWhite = 0xFFFFFFFFu;
constexpr YKRect<int32> kCanvas{0, 0, 119, 79};

// Inverts the colour of what it filters, in place: the smallest filter that shows the chain runs.
class InvertFilter : public YKGenericFilter {
public:
    void PerformFilterThread(YKBitmap* source, YKBitmap* destination, YKBitmap*, YKRect<int32>,
                             YKRect<int32> band, bool) override {
        for (int32 y = band.top; y <= band.bottom; ++y) {
            for (int32 x = band.left; x <= band.right; ++x) {
                const uint32 p = PixelAt(*source, x, y);
                const uint32 inverted = (p & 0xFF000000u) | (~p & 0x00FFFFFFu);
                if (p >> 24) {
                    destination->StoreLineAt(&inverted, y, x, x);
                }
            }
        }
    }
    void FinishProcess(YKBitmap*, YKBitmap*, YKBitmap*, YKRect<int32>, bool) override { ++runs; }
    bool UseSrcBitmapAsDest() const override { return true; }
    void Archive(YKMessage* message) const override { message->AddString("YKGF:Name", "Invert"); }
    int32 runs = 0;
};

class CompositionTest : public ::testing::Test {
protected:
    QuadLayer* AddQuad(YKUserLayer* layer, uint32 color, YKRect<double> box) {
        return PutQuad(layer, doc.host.GetUniqueID(), color, box);
    }
    // The children of `parent` over an opaque white canvas, as a view shows them.
    YKBitmap Compose(YKRect<int32> rect = kCanvas, YKLayer* parent = nullptr) {
        parent = parent != nullptr ? parent : &doc.viewer;
        YKBitmap canvas;
        for (int32 y = kCanvas.top; y <= kCanvas.bottom; ++y) {
            canvas.SetPixelAt(y, kCanvas.left, kCanvas.right - kCanvas.left + 1, kWhite, YK_COPY);
        }
        for (int32 i = 0; i < parent->CountChildren(); ++i) {
            parent->ChildAt(i)->ComposeLayer(&canvas, rect);
        }
        return canvas;
    }
    static std::vector<uint32> Pixels(YKBitmap bitmap) { return ImageOf(bitmap, kCanvas).pixels; }

    TestDocument doc;
    YKUserLayer* bottom = doc.AddUserLayer();
    YKUserLayer* top = doc.AddUserLayer();
};

TEST_F(CompositionTest, CacheIsUsedOnlyWhenSomethingNeedsIt) {
    AddQuad(bottom, kRed, {10, 10, 50, 40});
    Compose();
    EXPECT_FALSE(bottom->IsCached());
    EXPECT_TRUE(bottom->Bitmap() != nullptr);
    bottom->SetGlobalAlpha(200);
    YKBitmap canvas = Compose();
    EXPECT_TRUE(bottom->IsCached());
    EXPECT_FALSE(bottom->LayerTouched());
    EXPECT_EQ(PixelAt(canvas, 20, 20), 0xFFFE3636u);
}

TEST_F(CompositionTest, FilterChainRunsOnTheCacheAndFilterMergeHandsOver) {
    AddQuad(bottom, kRed, {10, 10, 50, 40});
    auto* invert = new InvertFilter;
    bottom->AddFilter(invert);
    EXPECT_TRUE(bottom->FiltersActive());
    YKBitmap canvas = Compose();
    EXPECT_EQ(PixelAt(canvas, 20, 20), 0xFF00FFFFu);
    const int32 runs = invert->runs;
    Compose();  // untouched: the cache is merged as it is
    EXPECT_EQ(invert->runs, runs);

    // Switched off (local editing), the layer draws its children as they are.
    bottom->SetFiltersOff(true);
    YKBitmap plain = Compose();
    EXPECT_EQ(PixelAt(plain, 20, 20), kRed);
}

// Merges by recording what it was handed: the "Filter" merge method's filter.
class RecordingMergeFilter : public YKGenericFilter {
public:
    bool PerformFilter(YKBitmap* source, YKBitmap* destination, YKBitmap* extra, YKRect<int32> rect,
                       bool preview) override {
        calls.push_back({source, destination, extra, rect, preview});
        return true;
    }
    void PerformFilterThread(YKBitmap*, YKBitmap*, YKBitmap*, YKRect<int32>, YKRect<int32>,
                             bool) override {}
    void Archive(YKMessage* message) const override { message->AddString("YKGF:Name", "Rec"); }
    struct Call {
        YKBitmap* source;
        YKBitmap* destination;
        YKBitmap* extra;
        YKRect<int32> rect;
        bool preview;
    };
    std::vector<Call> calls;
};

TEST_F(CompositionTest, FilterMergeHandsTheCacheToItsFilter) {
    AddQuad(bottom, kRed, {10, 10, 50, 40});
    auto* filter = new RecordingMergeFilter;
    ASSERT_TRUE(bottom->SetMergeMethod(YK_FILTER, filter));
    EXPECT_EQ(bottom->GetMergeFilter(), filter);
    YKBitmap canvas = Compose({0, 0, 29, 29});
    ASSERT_EQ(filter->calls.size(), 1u);
    const RecordingMergeFilter::Call& call = filter->calls[0];
    // Not in place: the filter reads a copy of what lies under the layer.
    EXPECT_NE(call.source, &canvas);
    EXPECT_EQ(call.destination, &canvas);
    EXPECT_EQ(call.extra, bottom->Bitmap());
    EXPECT_EQ(call.rect, (YKRect<int32>{10, 10, 29, 29}));
    EXPECT_TRUE(call.preview);
    // The canvas is the filter's business: the layer itself drew nothing.
    EXPECT_EQ(PixelAt(canvas, 20, 20), kWhite);
}

TEST_F(CompositionTest, UntouchedCacheWithEffectsIsMergedWithoutRenderingAgain) {
    QuadLayer* quad = AddQuad(bottom, kRed, {10, 10, 50, 40});
    bottom->SetOuterGlowParam(3, 512, static_cast<int32>(0xFFFFFF00u));
    bottom->SetProcessMask(YKEffectLayer::kOuterGlow);
    bottom->SetEffectEnable(true);
    YKBitmap first = Compose();
    const int32 composed = quad->composeCount;
    YKBitmap second = Compose();
    EXPECT_EQ(quad->composeCount, composed);
    EXPECT_FALSE(bottom->AfterEffectBitmap().IsEmpty() && bottom->BeforeEffectBitmap().IsEmpty());
    EXPECT_EQ(Pixels(first), Pixels(second));
    // The glow lies just outside the red box.
    EXPECT_NE(PixelAt(second, 51, 25), kWhite);
}

TEST_F(CompositionTest, EffectsOfAGroupFollowItsChildrenAloneAndItsCacheIsRenderedWhenTurnedOn) {
    // The same red box under the same glow, in a plain layer and in one merged at opacity 64.
    AddQuad(bottom, kRed, {10, 10, 30, 30});
    AddQuad(top, kRed, {60, 10, 80, 30});
    top->SetMergeMethod(YK_MULTIPLY, nullptr);
    top->SetGlobalAlpha(64);
    Compose();
    for (YKUserLayer* layer : {bottom, top}) {
        layer->SetOuterGlowParam(3, 512, static_cast<int32>(0xFFFFFF00u));
        layer->SetProcessMask(YKEffectLayer::kOuterGlow);
        layer->SetEffectEnable(true);
    }
    YKBitmap plain = bottom->BeforeEffectBitmap();
    YKBitmap merged = top->BeforeEffectBitmap();
    EXPECT_FALSE(plain.IsEmpty());
    for (int32 y = 0; y < 40; ++y) {
        for (int32 x = 0; x < 40; ++x) {
            ASSERT_EQ(PixelAt(plain, x, y), PixelAt(merged, x + 50, y)) << x << "," << y;
        }
    }
    // Nothing was invalidated, yet the layer that drew straight through now needs its cache.
    YKBitmap canvas = Compose();
    EXPECT_EQ(PixelAt(canvas, 20, 20), kRed);
}

TEST_F(CompositionTest, EditingOneObjectRecomposesOnlyItsBranchWithTheSamePixels) {
    QuadLayer* moving = nullptr;
    for (int32 i = 0; i < 12; ++i) {
        QuadLayer* quad =
            AddQuad(bottom, 0xFF000000u | (0x151515u * i), {5.0 + 8 * i, 5, 25.0 + 8 * i, 30});
        if (i == 5) {
            moving = quad;
        }
    }
    // A first edit of the object prepares the split around it.
    doc.viewer.BeginInvalidate();
    moving->MoveBoundingBoxBy({1, 1}, false);
    doc.viewer.EndInvalidate();
    Compose();
    EXPECT_TRUE(bottom->IsSplitActive());
    EXPECT_EQ(bottom->SplitChild(), moving);

    std::vector<int32> composed;
    for (int32 i = 0; i < bottom->CountChildren(); ++i) {
        composed.push_back(static_cast<QuadLayer*>(bottom->ChildAt(i))->composeCount);
    }
    doc.viewer.BeginInvalidate();
    moving->MoveBoundingBoxBy({3, 7}, false);
    const YKBitmap split = Compose();
    doc.viewer.EndInvalidate();
    EXPECT_EQ(bottom->SplitChild(), moving);
    for (int32 i = 0; i < bottom->CountChildren(); ++i) {
        auto* quad = static_cast<QuadLayer*>(bottom->ChildAt(i));
        EXPECT_EQ(quad->composeCount - composed[i], quad == moving ? 1 : 0) << i;
    }

    // The same tree composed child by child gives the same pixels.
    bottom->PrepareSingleBitmap();
    EXPECT_EQ(Pixels(split), Pixels(Compose(kCanvas, bottom)));
}

}  // namespace
