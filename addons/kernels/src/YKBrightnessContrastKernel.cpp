// The line is slope * (x - pivot) + (1 + b) / 2 on 0..1 values, with pivot = (1 - b) / 2: the
// same line as slope * x + b + (1 - b)(1 - slope) / 2, but without the cancellation of two huge
// terms when the slope goes to infinity at contrast 100.

#include "YKBrightnessContrastKernel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

YKBrightnessContrastKernel::YKBrightnessContrastKernel(double brightness, double contrast)
    : mBrightness(std::clamp(brightness, -100.0, 100.0) / 100),
      mContrast(std::clamp(contrast, -100.0, 100.0) / 100) {}

uint8 YKBrightnessContrastKernel::Level(int32 value) const {
    const double slope = std::max(0.0, std::tan(std::numbers::pi / 4 * (1 + mContrast)));
    const double pivot = (1 - mBrightness) / 2;
    const double x = value / 255.0;
    // At infinite slope the pixel exactly on the pivot keeps the line's middle value.
    const double y =
        x == pivot ? (1 + mBrightness) / 2 : slope * (x - pivot) + (1 + mBrightness) / 2;
    return static_cast<uint8>(std::lround(std::clamp(y, 0.0, 1.0) * 255));
}
