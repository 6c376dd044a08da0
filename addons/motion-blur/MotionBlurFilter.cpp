// "Motion Blur": the picture smeared back along the way it moves, listed under "Blur".

#include "YKKernelFilterPlugin.h"
#include "YKMotionBlurKernel.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Distance", YKFilterParameter::kDouble, 0, YKMotionBlurKernel::kMaxDistance, 5, "px"},
    {"Angle", YKFilterParameter::kDouble, -360, 360, 0, "deg"},
};

const YKKernelFilterInfo kInfo{
    "Motion Blur", 1, kParameters, [](const YKFilterValues& values) {
        return std::unique_ptr<YKFilterKernel>(new YKMotionBlurKernel(
            float(values.Double("Distance")), float(values.Double("Angle"))));
    }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
