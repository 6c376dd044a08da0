// The tint of luma l is the grey (l, l, l).

#include "YKDesaturateKernel.h"

#include <algorithm>

YKDesaturateKernel::YKDesaturateKernel(double amount)
    : YKLumaTintKernel(std::clamp(amount, 0.0, 100.0) / 100) {}

void YKDesaturateKernel::Tint(int32 luma, double rgb[3]) const {
    rgb[0] = rgb[1] = rgb[2] = luma;
}
