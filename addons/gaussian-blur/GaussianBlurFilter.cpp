// "Gaussian Blur": the radius is the blur's standard deviation, as image editors mean it.

#include "YKGaussianBlurKernel.h"
#include "YKKernelFilterPlugin.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Radius", YKFilterParameter::kDouble, YKGaussianBlurKernel::kMinSigma,
     YKGaussianBlurKernel::kMaxSigma, 4, "px"},
};

const YKKernelFilterInfo kInfo{"Gaussian Blur", 1, kParameters, [](const YKFilterValues& values) {
                                   return std::unique_ptr<YKFilterKernel>(new YKGaussianBlurKernel(
                                       static_cast<float>(values.Double("Radius"))));
                               }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
