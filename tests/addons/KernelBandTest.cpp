// Every kernel produces the same bytes whatever the band split, over a picture with alpha.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "KernelImage.h"
#include "YKGaussianBlurKernel.h"
#include "YKUnsharpMaskKernel.h"

namespace {

struct KernelCase {
    const char* name;
    std::function<std::unique_ptr<YKFilterKernel>()> make;
};

class KernelBandTest : public ::testing::TestWithParam<KernelCase> {};

}  // namespace

TEST_P(KernelBandTest, SameBytesOnAnyBandSplit) {
    const KernelImage image = PhotoLike(131, 77, true, 5);
    const auto kernel = GetParam().make();
    const KernelImage single = Filtered(*kernel, image, 1);
    for (const int32 threads : {2, 3, 8}) {
        const KernelImage banded = Filtered(*kernel, image, threads);
        EXPECT_EQ(Compare(single, banded).max, 0) << threads << " threads";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kernels, KernelBandTest,
    ::testing::Values(
        KernelCase{"GaussianSmall", [] { return std::make_unique<YKGaussianBlurKernel>(0.7f); }},
        KernelCase{"GaussianWide", [] { return std::make_unique<YKGaussianBlurKernel>(17.0f); }},
        KernelCase{"Unsharp",
                   [] { return std::make_unique<YKUnsharpMaskKernel>(3.0f, 1.5f, 0.02f); }}),
    [](const auto& info) { return std::string(info.param.name); });
