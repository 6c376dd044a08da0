// "Brightness/Contrast": both start at 0, which leaves the image as it is.

#include "YKBrightnessContrastKernel.h"
#include "YKKernelFilterPlugin.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Brightness", YKFilterParameter::kDouble, -100, 100, 0, ""},
    {"Contrast", YKFilterParameter::kDouble, -100, 100, 0, ""},
};

const YKKernelFilterInfo kInfo{
    "Brightness/Contrast", 2, kParameters, [](const YKFilterValues& values) {
        return std::unique_ptr<YKFilterKernel>(
            new YKBrightnessContrastKernel(values.Double("Brightness"), values.Double("Contrast")));
    }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
