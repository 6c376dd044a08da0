// Motion blur: the source premultiplied (pass 0), then a weighted sum of shifted rows (pass 1).

#include "YKMotionBlurKernel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "yk_premultiplied_internal.h"

namespace {

// Four standard deviations: what the half Gaussian drops beyond is below a sixth of a level.
constexpr float kTail = 4.0f;
constexpr double kTie = 1e-9;

}  // namespace

YKMotionBlurKernel::YKMotionBlurKernel(float distance, float angle) {
    const double sigma = std::clamp(distance, 0.0f, kMaxDistance);
    const int32 taps = static_cast<int32>(std::floor(kTail * sigma)) + 1;
    const double radians = std::fmod(double(angle), 360.0) * std::numbers::pi / 180;
    double total = 0;
    for (int32 i = 0; i < taps; ++i) {
        const double weight = std::exp(-double(i) * i / (2 * sigma * sigma));
        total += weight;
        // Halves round down (a 30-degree line steps evenly); kTie keeps a half a half when the
        // sine or cosine comes out a hair off it.
        mTaps.push_back({static_cast<int32>(std::ceil(i * std::cos(radians) - 0.5 - kTie)),
                         static_cast<int32>(std::ceil(-i * std::sin(radians) - 0.5 - kTie)),
                         static_cast<float>(weight)});
    }
    for (yk_row_tap& tap : mTaps) {
        tap.weight = static_cast<float>(tap.weight / total);
    }
}

void YKMotionBlurKernel::StoreRow(int32 y, float* sum) {
    std::vector<int32> channels(static_cast<size_t>(Destination().width) * 4);
    for (size_t j = 0; j < channels.size(); ++j) {
        channels[j] = static_cast<int32>(sum[j] + 0.5f);
    }
    StraightenRow(channels.data(), Destination().width, Destination().Row(y));
}
