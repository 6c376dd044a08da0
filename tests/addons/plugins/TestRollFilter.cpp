// "Test Roll": the tests' plug-in, listed under "Other".

#include <iterator>

#include "TestRollKernel.h"
#include "YKKernelFilterPlugin.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Amount", YKFilterParameter::kDouble, 0, 1, 1, ""},
    {"Shift", YKFilterParameter::kInt32, 0, 3, 0, "px"},
};

const YKKernelFilterInfo kInfo{"Test Roll", 13, kParameters, [](const YKFilterValues& values) {
                                   return std::unique_ptr<YKFilterKernel>(new TestRollKernel(
                                       values.Double("Amount"), values.Int32("Shift")));
                               }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
