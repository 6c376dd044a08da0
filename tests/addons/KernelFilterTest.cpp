#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "PixelAt.h"
#include "TestRollKernel.h"
#include "YKBitmap.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKFilterManager.h"
#include "YKKernelFilter.h"
#include "YKRaster.h"

namespace {

constexpr YKRect<int32> kImage{5, -3, 41, 19};  // 37 x 23, off the origin

class KernelFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(7);
        for (int32 y = kImage.top; y <= kImage.bottom; ++y) {
            for (int32 x = kImage.left; x <= kImage.right; ++x) {
                const uint32 pixel = random();
                source.SetLineAt(&pixel, y, x, x);
            }
        }
        filter.reset(static_cast<YKKernelFilter*>(
            YKFilterManager::Default().FilterNamed("Test Roll")->Duplicate()));
        ASSERT_NE(filter, nullptr);
    }
    void TearDown() override { YKGenericFilter::ForceCPUCount(0); }

    template <typename Envelope>
    Envelope* Parameter(int32 index) {
        return static_cast<Envelope*>(filter->ParameterEnvelop(index));
    }
    // What the filter must give at (x, y) of its output: the source moved by the shift (nothing
    // outside it), rows rolled by half the output's height, colours turned.
    uint32 Expected(int32 x, int32 y, double amount, int32 shift) {
        const YKRect<int32> out = filter->Frame(kImage);
        const int32 height = out.bottom - out.top + 1;
        const int32 from = out.top + (y - out.top + height / 2) % height;
        const YKPoint<int32> at{x - shift, from - shift};
        const bool inside = at.x >= kImage.left && at.x <= kImage.right && at.y >= kImage.top &&
                            at.y <= kImage.bottom;
        return TestRollKernel::Turned(inside ? PixelAt(source, at.x, at.y) : 0, amount);
    }
    // Every output pixel that differs from Expected, as a count.
    int32 Mismatches(YKBitmap& result, double amount, int32 shift) {
        int32 wrong = 0;
        const YKRect<int32> out = filter->Frame(kImage);
        for (int32 y = out.top; y <= out.bottom; ++y) {
            for (int32 x = out.left; x <= out.right; ++x) {
                wrong += PixelAt(result, x, y) != Expected(x, y, amount, shift);
            }
        }
        return wrong;
    }

    YKBitmap source;
    std::unique_ptr<YKKernelFilter> filter;
};

TEST_F(KernelFilterTest, EveryBandCountGivesTheReferenceWithTheReachAsMargin) {
    Parameter<YKEnvelopDouble>(0)->SetUniqueValue(0.75);
    Parameter<YKEnvelopInt32>(1)->SetUniqueValue(2);
    EXPECT_EQ(filter->Frame(kImage), (YKRect<int32>{3, -5, 43, 21}));
    for (int32 bands : {1, 2, 3, 4, 8}) {
        YKGenericFilter::ForceCPUCount(bands);
        YKBitmap result;
        ASSERT_TRUE(filter->PerformFilter(&source, &result, nullptr, kImage, false));
        EXPECT_EQ(Mismatches(result, 0.75, 2), 0) << bands << " bands";
        EXPECT_EQ(filter->ProgressValue(), filter->MaxProgressValue());
    }
    // In place, as the cache layer runs it: everything is read before anything is written.
    YKGenericFilter::ForceCPUCount(4);
    YKBitmap copy = source;
    ASSERT_TRUE(filter->PerformFilter(&copy, &copy, &copy, kImage, false));
    EXPECT_EQ(Mismatches(copy, 0.75, 2), 0);
}

TEST_F(KernelFilterTest, ParametersAreReadAtTheCurrentFrameAndClampedToTheirRange) {
    YKEnvelopDouble* amount = Parameter<YKEnvelopDouble>(0);
    amount->SetValue(0.0, 1);
    amount->SetValue(1.0, 3);
    Parameter<YKEnvelopInt32>(1)->SetUniqueValue(9);  // beyond 3, as a damaged file may say
    EXPECT_EQ(filter->Frame(kImage).left, kImage.left - 3);
    for (const auto& [frame, value] : {std::pair{1, 0.0}, {2, 0.5}, {3, 1.0}, {7, 1.0}}) {
        filter->SetFrame(frame);
        YKBitmap result;
        ASSERT_TRUE(filter->PerformFilter(&source, &result, nullptr, kImage, false));
        EXPECT_EQ(Mismatches(result, value, 3), 0) << "frame " << frame;
    }
}

TEST_F(KernelFilterTest, EnvelopsFollowTheManagerAndTheOwnerTheLayerGives) {
    YKEnvelopManager manager;
    const int32 before = manager.CountEnvelops();
    filter->SetEnvelopOwner(12, 30);
    filter->AddEnvelopToManager(&manager);
    EXPECT_EQ(manager.CountEnvelops(), before + 2);
    EXPECT_EQ(filter->ParameterEnvelop(0)->Owner(), 30);
    EXPECT_EQ(filter->ParameterEnvelop(0)->RealOwner(), 12);

    // Restoring swaps the registered envelopes for the archived ones.
    std::unique_ptr<YKKernelFilter> keyed(static_cast<YKKernelFilter*>(filter->Duplicate()));
    static_cast<YKEnvelopDouble*>(keyed->ParameterEnvelop(0))->SetValue(0.25, 4);
    YKMessage archive;
    keyed->Archive(&archive);
    filter->RestoreParameters(&archive);
    EXPECT_EQ(manager.CountEnvelops(), before + 2);
    EXPECT_TRUE(manager.HasEnvelop(filter->ParameterEnvelop(0)));
    EXPECT_EQ(filter->ParameterEnvelop(0)->CountKeyFrames(), 2);

    filter->RemoveEnvelopFromManager(&manager);
    EXPECT_EQ(manager.CountEnvelops(), before);
}

}  // namespace
