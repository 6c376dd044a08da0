// "Pixelate": square cells of the picture's average colour, listed under "Pixelate".

#include "YKKernelFilterPlugin.h"
#include "YKPixelateKernel.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Cell Size", YKFilterParameter::kInt32, 1, YKPixelateKernel::kMaxSize, 8, "px"},
};

const YKKernelFilterInfo kInfo{
    "Pixelate", 6, kParameters, [](const YKFilterValues& values) {
        return std::unique_ptr<YKFilterKernel>(new YKPixelateKernel(values.Int32("Cell Size")));
    }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
