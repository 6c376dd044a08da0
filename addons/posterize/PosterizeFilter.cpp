// "Posterize": four levels per channel by default, a plainly visible effect.

#include "YKKernelFilterPlugin.h"
#include "YKPosterizeKernel.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Levels", YKFilterParameter::kInt32, 2, 255, 4, ""},
};

const YKKernelFilterInfo kInfo{
    "Posterize", 2, kParameters, [](const YKFilterValues& values) {
        return std::unique_ptr<YKFilterKernel>(new YKPosterizeKernel(values.Int32("Levels")));
    }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
