// Motion blur: the source premultiplied (pass 0), then a weighted sum of shifted rows (pass 1).

#include "YKMotionBlurKernel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "yk_row_taps_internal.h"

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

void YKMotionBlurKernel::SumRows(int32 rowBegin, int32 rowEnd) {
    const YKPixelPlane& source = Source();
    const YKPixelPlane& destination = Destination();
    const int32 count = destination.width * 4;
    std::vector<float> sum(count);
    std::vector<int32> channels(count);
    for (int32 y = rowBegin; y < rowEnd; ++y) {
        SumTaps(Premultiplied(), source.width, Reach(), mTaps, y, destination.width, sum.data());
        for (int32 j = 0; j < count; ++j) {
            channels[j] = static_cast<int32>(sum[j] + 0.5f);
        }
        StraightenRow(channels.data(), destination.width, destination.Row(y));
    }
}
