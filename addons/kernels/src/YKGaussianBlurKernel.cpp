// Gaussian blur as four running-sum boxes per direction, in exact integer sums so that a band
// that starts its sums afresh produces the same rows as one that slid into them.

#include "YKGaussianBlurKernel.h"

#include <algorithm>
#include <cmath>

#include "yk_premultiplied_internal.h"

namespace {

// Columns a band blurs at once: the boxes' rows of one strip stay in the caches.
constexpr int32 kStrip = 128;
// How many rows ahead the column pass asks for its input.
constexpr int32 kPrefetchRows = 8;

inline int32 Rounded(float value) {
    return static_cast<int32>(value + 0.5f);
}

}  // namespace

YKGaussianBlurKernel::YKGaussianBlurKernel(float sigma)
    : mSigma(std::clamp(sigma, kMinSigma, kMaxSigma)) {
    // The Gaussian is taken over each pixel's area (its variance grows by a unit box's 1/12),
    // which keeps small blurs from collapsing onto the centre pixel. Each box gets an equal share;
    // the widest plain box that fits sets the radius and the end taps' weight makes up the rest.
    const double variance = (double(mSigma) * mSigma + 1.0 / 12) / kStages;
    mRadius = static_cast<int32>(std::floor((std::sqrt(12.0 * variance + 1.0) - 1.0) / 2.0));
    const double r = mRadius;
    const double end =
        (2 * r + 1) * (variance - r * (r + 1) / 3) / (2 * ((r + 1) * (r + 1) - variance));
    const double norm = 2 * r + 1 + 2 * end;
    mInnerWeight = static_cast<float>(1 / norm);
    mEndWeight = static_cast<float>(end / norm);
}

void YKGaussianBlurKernel::Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) {
    mSource = source;
    mDestination = destination;
    mRows.resize(static_cast<size_t>(destination.width) * 4 * source.height);
}

int32 YKGaussianBlurKernel::RowCount(int32 pass) const {
    return pass == 0 ? mSource.height : mDestination.height;
}

void YKGaussianBlurKernel::RunPass(int32 pass, int32 rowBegin, int32 rowEnd) {
    if (pass == 0) {
        BlurRows(rowBegin, rowEnd);
        return;
    }
    for (int32 left = 0; left < mDestination.width; left += kStrip) {
        BlurColumns(rowBegin, rowEnd, left, std::min(kStrip, mDestination.width - left));
    }
}

// --- Along the rows ---

// Rows go through the boxes kRowGroup at a time, interleaved pixel by pixel, so that the inner
// loops run over independent lanes (vectorised) instead of along one running sum. A band whose
// height is not a multiple of the group repeats its last row in the spare lanes.
void YKGaussianBlurKernel::BlurRows(int32 rowBegin, int32 rowEnd) {
    constexpr int32 kLanes = 4 * kRowGroup;
    const int32 span = 2 * mRadius + 2;  // from one end tap to the other
    std::vector<int32> row(static_cast<size_t>(mSource.width) * 4);
    std::vector<int32> in(row.size() * kRowGroup), out(in.size());
    for (int32 top = rowBegin; top < rowEnd; top += kRowGroup) {
        for (int32 r = 0; r < kRowGroup; ++r) {
            PremultiplyRow(mSource.Row(std::min(top + r, rowEnd - 1)), mSource.width, row.data());
            for (int32 x = 0; x < mSource.width; ++x) {
                for (int32 c = 0; c < 4; ++c) {
                    in[static_cast<size_t>(x) * kLanes + 4 * r + c] = row[4 * x + c];
                }
            }
        }
        int32 count = mSource.width;
        for (int32 stage = 0; stage < kStages; ++stage) {
            count -= span;
            int32 sum[kLanes] = {};
            for (int32 x = 1; x < span; ++x) {
                for (int32 i = 0; i < kLanes; ++i) {
                    sum[i] += in[static_cast<size_t>(x) * kLanes + i];
                }
            }
            const int32* a = in.data();
            const int32* b = a + static_cast<size_t>(span) * kLanes;
            int32* o = out.data();
            for (int32 x = 0; x < count; ++x, a += kLanes, b += kLanes, o += kLanes) {
                for (int32 i = 0; i < kLanes; ++i) {
                    o[i] = Rounded(float(sum[i]) * mInnerWeight + float(a[i] + b[i]) * mEndWeight);
                    // Slides on; the last slide reads the final end tap, still in the row.
                    sum[i] += b[i] - a[kLanes + i];
                }
            }
            in.swap(out);
        }
        for (int32 r = 0; r < kRowGroup && top + r < rowEnd; ++r) {
            uint16* plane = &mRows[static_cast<size_t>(top + r) * mDestination.width * 4];
            for (int32 x = 0; x < count; ++x) {
                for (int32 c = 0; c < 4; ++c) {
                    plane[4 * x + c] =
                        static_cast<uint16>(in[static_cast<size_t>(x) * kLanes + 4 * r + c]);
                }
            }
        }
    }
}

// --- Down the columns ---

// Rows go through the boxes one after the other; each box keeps its last 2r + 3 input rows in a
// ring and the sum of the inner 2r + 1, and writes its output straight into the next box's ring.
void YKGaussianBlurKernel::BlurColumns(int32 rowBegin, int32 rowEnd, int32 left, int32 width) {
    const int32 lanes = width * 4;
    const int32 taps = 2 * mRadius + 3;
    std::vector<int32> rings(static_cast<size_t>(kStages) * taps * lanes);
    std::vector<int32> sums(static_cast<size_t>(kStages) * lanes, 0);
    std::vector<int32> last(lanes);
    const auto slot = [&](int32 stage, int32 n) {
        return &rings[(static_cast<size_t>(stage) * taps + n % taps) * lanes];
    };
    const int32 lead = 2 * Reach();
    for (int32 t = rowBegin; t < rowEnd + lead; ++t) {
        const int32 fed = t - rowBegin;  // rows the first box has had, before this one
        const uint16* source = &mRows[(static_cast<size_t>(t) * mDestination.width + left) * 4];
        // The strip's rows lie a whole row apart and were written long ago: asking for a later
        // one now hides the wait for memory that would otherwise stall this loop.
        if (t + kPrefetchRows < rowEnd + lead) {
            const auto* ahead = reinterpret_cast<const char*>(
                source + static_cast<size_t>(kPrefetchRows) * mDestination.width * 4);
            for (int32 byte = 0; byte < lanes * 2; byte += 64) {
                __builtin_prefetch(ahead + byte);
            }
        }
        int32* first = slot(0, fed);
        for (int32 i = 0; i < lanes; ++i) {
            first[i] = source[i];
        }
        // Box `stage` has had (taps - 1) * stage fewer rows than the first.
        int32 stage = 0;
        for (; stage < kStages; ++stage) {
            const int32 n = fed - (taps - 1) * stage;
            int32* sum = &sums[static_cast<size_t>(stage) * lanes];
            if (n < taps - 1) {
                // Still filling: the inner sum takes each row once the next one arrives.
                if (n >= 1) {
                    const int32* previous = slot(stage, n - 1);
                    for (int32 i = 0; i < lanes; ++i) {
                        sum[i] += previous[i];
                    }
                }
                break;
            }
            const int32* previous = slot(stage, n - 1);
            const int32* oldest = slot(stage, n + 1);
            const int32* newest = slot(stage, n);
            int32* out = stage + 1 < kStages ? slot(stage + 1, n - taps + 1) : last.data();
            for (int32 i = 0; i < lanes; ++i) {
                sum[i] += previous[i] - oldest[i];
                out[i] = Rounded(float(sum[i]) * mInnerWeight +
                                 float(oldest[i] + newest[i]) * mEndWeight);
            }
        }
        if (stage == kStages) {
            StraightenRow(last.data(), width, mDestination.Row(t - lead) + left);
        }
    }
}
