// "Add Noise": uniform or Gaussian grain, in colour or grey, listed under "Noise".

#include "YKKernelFilterPlugin.h"
#include "YKNoiseKernel.h"

namespace {

constexpr YKFilterParameter kParameters[] = {
    {"Amount", YKFilterParameter::kDouble, 0, YKNoiseKernel::kMaxAmount, 10, "%"},
    // 0 uniform, 1 Gaussian.
    {"Distribution", YKFilterParameter::kInt32, 0, 1, 1, ""},
    // 0 a draw per channel, 1 one draw for all three (grey grain).
    {"Monochrome", YKFilterParameter::kInt32, 0, 1, 0, ""},
    {"Seed", YKFilterParameter::kInt32, 0, 65535, 1, ""},
};

const YKKernelFilterInfo kInfo{
    "Add Noise", 5, kParameters, [](const YKFilterValues& values) {
        return std::unique_ptr<YKFilterKernel>(new YKNoiseKernel(
            float(values.Double("Amount")),
            values.Int32("Distribution") == 1 ? YKNoiseKernel::kGaussian : YKNoiseKernel::kUniform,
            values.Int32("Monochrome") == 1, static_cast<uint32>(values.Int32("Seed"))));
    }};

}  // namespace

YK_FILTER_PLUGIN(kInfo)
