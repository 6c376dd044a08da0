// The colour's hue and saturation are taken once; each luma level is turned back into RGB with
// them when the tables are built.

#include "YKColorizeKernel.h"

#include <algorithm>
#include <cmath>

YKColorizeKernel::YKColorizeKernel(const yk_color& color, double strength)
    : YKLumaTintKernel(std::clamp(strength, 0.0, 100.0) / 100) {
    const int32 high = std::max({color.red, color.green, color.blue});
    const int32 low = std::min({color.red, color.green, color.blue});
    const int32 chroma = high - low;
    if (chroma == 0) {
        return;
    }
    const int32 sum = high + low;
    mSaturation = static_cast<double>(chroma) / (sum <= 255 ? sum : 510 - sum);
    if (high == color.red) {
        mHue = static_cast<double>(color.green - color.blue) / chroma;
        mHue += mHue < 0 ? 6 : 0;
    } else if (high == color.green) {
        mHue = 2 + static_cast<double>(color.blue - color.red) / chroma;
    } else {
        mHue = 4 + static_cast<double>(color.red - color.green) / chroma;
    }
}

void YKColorizeKernel::Tint(int32 luma, double rgb[3]) const {
    const double lightness = luma / 255.0;
    const double chroma = (1 - std::abs(2 * lightness - 1)) * mSaturation;
    const double low = lightness - chroma / 2;
    // Red peaks at hue 0, green at 2, blue at 4 (sixths of a turn).
    for (int32 channel = 0; channel < 3; ++channel) {
        const double distance = std::abs(std::remainder(mHue - 2 * channel, 6.0));
        const double share = std::clamp(2 - distance, 0.0, 1.0);
        rgb[channel] = 255 * (low + chroma * share);
    }
}
