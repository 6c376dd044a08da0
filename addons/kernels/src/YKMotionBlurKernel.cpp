// Motion blur: the source premultiplied once (pass 0), then each output row as a weighted sum
// of whole source rows, one shifted row per tap, which keeps the inner loop a plain vector
// multiply-add whatever the angle.

#include "YKMotionBlurKernel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "yk_premultiplied_internal.h"

namespace {

// Four standard deviations: what the half Gaussian drops beyond is below a sixth of a level.
constexpr float kTail = 4.0f;

}  // namespace

YKMotionBlurKernel::YKMotionBlurKernel(float distance, float angle) {
    const double sigma = std::clamp(distance, 0.0f, kMaxDistance);
    const int32 taps = static_cast<int32>(std::floor(kTail * sigma)) + 1;
    const double radians = std::fmod(double(angle), 360.0) * std::numbers::pi / 180;
    double total = 0;
    for (int32 i = 0; i < taps; ++i) {
        total += std::exp(-double(i) * i / (2 * sigma * sigma));
    }
    for (int32 i = 0; i < taps; ++i) {
        mWeights.push_back(
            static_cast<float>(std::exp(-double(i) * i / (2 * sigma * sigma)) / total));
        // Halves round towards the pixel itself, so that a 45-degree line stays one pixel wide.
        mSteps.push_back({static_cast<int32>(std::ceil(i * std::cos(radians) - 0.5)),
                          static_cast<int32>(std::ceil(i * std::sin(radians) - 0.5))});
    }
}

void YKMotionBlurKernel::Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) {
    mSource = source;
    mDestination = destination;
    mPremultiplied.resize(static_cast<size_t>(source.width) * source.height * 4);
}

int32 YKMotionBlurKernel::RowCount(int32 pass) const {
    return pass == 0 ? mSource.height : mDestination.height;
}

void YKMotionBlurKernel::RunPass(int32 pass, int32 rowBegin, int32 rowEnd) {
    const size_t lanes = static_cast<size_t>(mSource.width) * 4;
    if (pass == 0) {
        std::vector<int32> row(lanes);
        for (int32 y = rowBegin; y < rowEnd; ++y) {
            PremultiplyRow(mSource.Row(y), mSource.width, row.data());
            std::copy(row.begin(), row.end(), &mPremultiplied[y * lanes]);
        }
        return;
    }
    const int32 reach = Reach();
    const int32 count = mDestination.width * 4;
    std::vector<float> sum(count);
    std::vector<int32> channels(count);
    for (int32 y = rowBegin; y < rowEnd; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (size_t i = 0; i < mWeights.size(); ++i) {
            const uint16* in =
                &mPremultiplied[(y + reach + mSteps[i].dy) * lanes + (reach + mSteps[i].dx) * 4];
            const float weight = mWeights[i];
            for (int32 j = 0; j < count; ++j) {
                sum[j] += weight * float(in[j]);
            }
        }
        for (int32 j = 0; j < count; ++j) {
            channels[j] = static_cast<int32>(sum[j] + 0.5f);
        }
        StraightenRow(channels.data(), mDestination.width, mDestination.Row(y));
    }
}
