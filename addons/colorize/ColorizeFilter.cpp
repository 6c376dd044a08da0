// "Colorize": a sepia brown by default, the tint people most often reach for.

#include "YKColorizeKernel.h"
#include "YKKernelFilterPlugin.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Color", YKFilterParameter::kColor, 0, 0, 0xFF704214u, ""},
    {"Strength", YKFilterParameter::kDouble, 0, 100, 100, "%"},
};

const YKKernelFilterInfo kInfo{"Colorize", 2, kParameters, [](const YKFilterValues& values) {
                                   return std::unique_ptr<YKFilterKernel>(new YKColorizeKernel(
                                       yk_color(values.Color("Color")), values.Double("Strength")));
                               }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
