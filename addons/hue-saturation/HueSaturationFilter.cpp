// "Hue/Saturation": hue turned in degrees, saturation and lightness scaled in percent; the
// defaults leave the image as it is.

#include "YKHueSaturationKernel.h"
#include "YKKernelFilterPlugin.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Hue", YKFilterParameter::kDouble, -180, 180, 0, "deg"},
    {"Saturation", YKFilterParameter::kDouble, 0, 200, 100, "%"},
    {"Lightness", YKFilterParameter::kDouble, 0, 200, 100, "%"},
};

const YKKernelFilterInfo kInfo{
    "Hue/Saturation", 2, kParameters, [](const YKFilterValues& values) {
        return std::unique_ptr<YKFilterKernel>(new YKHueSaturationKernel(
            values.Double("Lightness"), values.Double("Saturation"), values.Double("Hue")));
    }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
