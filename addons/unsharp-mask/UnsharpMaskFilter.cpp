// "Unsharp Mask": amount in percent and threshold in channel levels, the units users set them in.

#include "YKKernelFilterPlugin.h"
#include "YKUnsharpMaskKernel.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Radius", YKFilterParameter::kDouble, YKGaussianBlurKernel::kMinSigma,
     YKGaussianBlurKernel::kMaxSigma, 2, "px"},
    {"Amount", YKFilterParameter::kDouble, 0, YKUnsharpMaskKernel::kMaxAmount * 100, 100, "%"},
    {"Threshold", YKFilterParameter::kInt32, 0, 255, 0, "levels"},
};

const YKKernelFilterInfo kInfo{"Unsharp Mask", 8, kParameters, [](const YKFilterValues& values) {
                                   return std::unique_ptr<YKFilterKernel>(new YKUnsharpMaskKernel(
                                       static_cast<float>(values.Double("Radius")),
                                       static_cast<float>(values.Double("Amount") / 100),
                                       static_cast<float>(values.Int32("Threshold")) / 255));
                               }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
