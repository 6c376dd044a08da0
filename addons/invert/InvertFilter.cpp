// "Invert": no parameters.

#include "YKInvertKernel.h"
#include "YKKernelFilterPlugin.h"

namespace {

const YKKernelFilterInfo kInfo{"Invert", 2, {}, [](const YKFilterValues&) {
                                   return std::unique_ptr<YKFilterKernel>(new YKInvertKernel);
                               }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
