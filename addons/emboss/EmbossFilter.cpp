// "Emboss": the picture as a grey relief lit from one side, listed under "Stylize".

#include "YKEmbossKernel.h"
#include "YKKernelFilterPlugin.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Strength", YKFilterParameter::kDouble, 0, YKEmbossKernel::kMaxStrength, 1, ""},
    {"Light Angle", YKFilterParameter::kDouble, -360, 360, 135, "deg"},
};

const YKKernelFilterInfo kInfo{
    "Emboss", 10, kParameters, [](const YKFilterValues& values) {
        return std::unique_ptr<YKFilterKernel>(new YKEmbossKernel(
            float(values.Double("Strength")), float(values.Double("Light Angle"))));
    }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
