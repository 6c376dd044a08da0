// "Desaturate": all the way to grey unless told otherwise.

#include "YKDesaturateKernel.h"
#include "YKKernelFilterPlugin.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Amount", YKFilterParameter::kDouble, 0, 100, 100, "%"},
};

const YKKernelFilterInfo kInfo{
    "Desaturate", 2, kParameters, [](const YKFilterValues& values) {
        return std::unique_ptr<YKFilterKernel>(new YKDesaturateKernel(values.Double("Amount")));
    }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
