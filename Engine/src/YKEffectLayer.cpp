#include "YKEffectLayer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

#include "YKMessage.h"

// Sections: construction and archive · switching effects · effect radius · parameters ·
// blur kernel · 8-bit maps.

namespace {

// Radii beyond this are as good as infinite; the cap keeps the conversion to integers defined
// for any float an archive may hold.
constexpr double kMaxReach = 1.0e9;

// How far an effect of this blur radius, moved by (dx, dy), reaches beyond the content.
int64 Reach(float radius, int32 dx, int32 dy) {
    // Negative and NaN radii blur nothing.
    const double r = radius > 0 ? std::min(static_cast<double>(radius), kMaxReach) : 0.0;
    // In 64 bits, so that |INT32_MIN| is defined.
    const int64 offset = std::max(std::llabs(dx), std::llabs(dy));
    return static_cast<int64>(std::ceil(r)) + offset;
}

// Writes to out[i * outStride] the sum, saturated at 255, of the values within `r` of
// in[i * inStride] along a line of `length` values.
void SaturatedBoxLine(const uint8* in, std::ptrdiff_t inStride, int64 length, int64 r, uint8* out,
                      std::ptrdiff_t outStride) {
    int64 sum = 0;
    for (int64 i = 0; i <= r && i < length; ++i) {
        sum += in[i * inStride];
    }
    for (int64 i = 0; i < length; ++i) {
        out[i * outStride] = static_cast<uint8>(std::min<int64>(sum, 255));
        if (i + r + 1 < length) {
            sum += in[(i + r + 1) * inStride];
        }
        if (i - r >= 0) {
            sum -= in[(i - r) * inStride];
        }
    }
}

}  // namespace

// --- Construction and archive ---

const YKEffectLayer::ParamKey YKEffectLayer::kParamKeys[] = {
    {"_gb_radius", &YKEffectLayer::mBlurRadius, nullptr},
    {"_os_radius", &YKEffectLayer::mOuterShadowRadius, nullptr},
    {"_os_offx", nullptr, &YKEffectLayer::mOuterShadowDx},
    {"_os_offy", nullptr, &YKEffectLayer::mOuterShadowDy},
    {"_os_intensity", nullptr, &YKEffectLayer::mOuterShadowIntensity},
    {"_os_color", nullptr, &YKEffectLayer::mOuterShadowColor},
    {"_is_radius", &YKEffectLayer::mInnerShadowRadius, nullptr},
    {"_is_offx", nullptr, &YKEffectLayer::mInnerShadowDx},
    {"_is_offy", nullptr, &YKEffectLayer::mInnerShadowDy},
    {"_is_intensity", nullptr, &YKEffectLayer::mInnerShadowIntensity},
    {"_is_color", nullptr, &YKEffectLayer::mInnerShadowColor},
    {"_og_radius", &YKEffectLayer::mOuterGlowRadius, nullptr},
    {"_og_intensity", nullptr, &YKEffectLayer::mOuterGlowIntensity},
    {"_og_color", nullptr, &YKEffectLayer::mOuterGlowColor},
    {"_ig_radius", &YKEffectLayer::mInnerGlowRadius, nullptr},
    {"_ig_intensity", nullptr, &YKEffectLayer::mInnerGlowIntensity},
    {"_ig_color", nullptr, &YKEffectLayer::mInnerGlowColor},
    {"_em_radius", &YKEffectLayer::mEmbossRadius, nullptr},
    {"_em_offx", nullptr, &YKEffectLayer::mEmbossDx},
    {"_em_offy", nullptr, &YKEffectLayer::mEmbossDy},
    {"_em_intensity", nullptr, &YKEffectLayer::mEmbossIntensity},
    {"_em_hcol", nullptr, &YKEffectLayer::mEmbossHighColor},
    {"_em_lcol", nullptr, &YKEffectLayer::mEmbossLowColor},
    {"_em_mode", nullptr, &YKEffectLayer::mEmbossMode},
    // The outline radius is a whole number of pixels, so it is kept as an integer.
    {"_ou_radius", nullptr, &YKEffectLayer::mOutlineRadius},
    {"_ou_color", nullptr, &YKEffectLayer::mOutlineColor},
};

YKEffectLayer::YKEffectLayer(int32 id) : YKLayer(id) {}

YKEffectLayer::YKEffectLayer(const YKMessage* archive) : YKLayer(archive) {
    SetEffectProperties(archive);
}

void YKEffectLayer::Archive(YKMessage* message, bool deep) const {
    if (message == nullptr) {
        return;
    }
    ArchiveEffects(message);
    YKLayer::Archive(message, deep);
    SetArchiveClass(message, "YKEffectLayer");
}

void YKEffectLayer::ArchiveEffects(YKMessage* message) const {
    message->AddInt32("_pr_flags", mProcessFlags);
    for (const ParamKey& param : kParamKeys) {
        if (param.radius != nullptr) {
            message->AddFloat(param.key, this->*param.radius);
        } else {
            message->AddInt32(param.key, this->*param.value);
        }
    }
    message->AddBool("_is_effect_enabled", mEffectEnabled);
}

bool YKEffectLayer::InheritsFrom(const char* className) const {
    return (className != nullptr && std::strcmp(className, "YKEffectLayer") == 0) ||
           YKLayer::InheritsFrom(className);
}

void YKEffectLayer::SetEffectProperties(const YKMessage* message) {
    if (message != nullptr) {
        message->FindInt32("_pr_flags", &mProcessFlags);
        for (const ParamKey& param : kParamKeys) {
            if (param.radius != nullptr) {
                message->FindFloat(param.key, &(this->*param.radius));
            } else {
                message->FindInt32(param.key, &(this->*param.value));
            }
        }
        message->FindBool("_is_effect_enabled", &mEffectEnabled);
    }
    ComputeTotalRadius();
}

// --- Switching effects ---

void YKEffectLayer::SetProcessMask(int32 flags) {
    mProcessFlags = flags;
    ComputeTotalRadius();
}

// The effect layer answers for its own effects instead of asking its parent; `off` says
// nothing more than the call itself.
bool YKEffectLayer::SetFiltersOff(bool /*off*/) {
    if (!mEffectEnabled) {
        return false;
    }
    mEffectEnabled = false;
    ComputeTotalRadius();
    InvalidateLayer(Frame(), true, nullptr);
    return true;
}

bool YKEffectLayer::SetFiltersOn() {
    if (mProcessFlags == 0) {
        return false;
    }
    mEffectEnabled = true;
    ComputeTotalRadius();
    InvalidateLayer(Frame(), true, nullptr);
    return true;
}

// --- Effect radius ---

int32 YKEffectLayer::ComputeTotalRadius() {
    int64 reach = 0;
    if (mEffectEnabled) {
        if (mProcessFlags & kOuterShadow) {
            reach = std::max(reach, Reach(mOuterShadowRadius, mOuterShadowDx, mOuterShadowDy));
        }
        if (mProcessFlags & kInnerShadow) {
            reach = std::max(reach, Reach(mInnerShadowRadius, mInnerShadowDx, mInnerShadowDy));
        }
        if (mProcessFlags & kOuterGlow) {
            reach = std::max(reach, Reach(mOuterGlowRadius, 0, 0));
        }
        if (mProcessFlags & kInnerGlow) {
            reach = std::max(reach, Reach(mInnerGlowRadius, 0, 0));
        }
        if (mProcessFlags & kEmboss) {
            reach = std::max(reach, Reach(mEmbossRadius, mEmbossDx, mEmbossDy));
        }
    }
    mEffectRadius = static_cast<int32>(std::min<int64>(reach, std::numeric_limits<int32>::max()));
    return mEffectRadius;
}

// --- Parameters ---

void YKEffectLayer::SetGaussBlurParam(float radius) {
    mBlurRadius = radius;
    ComputeTotalRadius();
}

void YKEffectLayer::SetOuterShadowParam(float radius, int32 dx, int32 dy, int32 intensity,
                                        int32 color) {
    mOuterShadowRadius = radius;
    mOuterShadowDx = dx;
    mOuterShadowDy = dy;
    mOuterShadowIntensity = intensity;
    mOuterShadowColor = color;
    ComputeTotalRadius();
}

void YKEffectLayer::SetInnerShadowParam(float radius, int32 dx, int32 dy, int32 intensity,
                                        int32 color) {
    mInnerShadowRadius = radius;
    mInnerShadowDx = dx;
    mInnerShadowDy = dy;
    mInnerShadowIntensity = intensity;
    mInnerShadowColor = color;
    ComputeTotalRadius();
}

void YKEffectLayer::SetOuterGlowParam(float radius, int32 intensity, int32 color) {
    mOuterGlowRadius = radius;
    mOuterGlowIntensity = intensity;
    mOuterGlowColor = color;
    ComputeTotalRadius();
}

void YKEffectLayer::SetInnerGlowParam(float radius, int32 intensity, int32 color) {
    mInnerGlowRadius = radius;
    mInnerGlowIntensity = intensity;
    mInnerGlowColor = color;
    ComputeTotalRadius();
}

void YKEffectLayer::SetEmbossParam(float radius, int32 dx, int32 dy, int32 intensity,
                                   int32 highColor, int32 lowColor, int32 mode) {
    mEmbossRadius = radius;
    mEmbossDx = dx;
    mEmbossDy = dy;
    mEmbossIntensity = intensity;
    mEmbossHighColor = highColor;
    mEmbossLowColor = lowColor;
    mEmbossMode = mode;
    ComputeTotalRadius();
}

void YKEffectLayer::SetOutlineParam(int32 radius, int32 color) {
    mOutlineRadius = radius;
    mOutlineColor = color;
    ComputeTotalRadius();
}

// --- Blur kernel ---

void YKEffectLayer::SetRadius(float radius) {
    const float whole =
        radius > 0 ? std::min(static_cast<float>(kMaxBlurRadius), std::floor(radius)) : 0.0f;
    const float diameter = 2 * whole;
    // Before the first kernel the stored diameter 0 names no kernel at all.
    if (diameter == mDiameter && mKernelLength > 0) {
        return;
    }
    mDiameter = diameter;
    mKernelLength = static_cast<int32>(diameter) + 1;
    CalcMatrix();
}

void YKEffectLayer::CalcMatrix() {
    const float half = mDiameter / 2;
    if (half == 0) {
        // The window's formula divides by the half width; a zero width is the identity.
        mKernel[0] = 255;
        return;
    }
    constexpr float kHalfPi = std::numbers::pi_v<float> / 2;
    for (int32 i = 0; i < mKernelLength; ++i) {
        // Single precision on purpose: cos(±pi/2) comes out just below 0, so both ends are 0.
        const float w = std::cos((static_cast<float>(i) - half) / half * kHalfPi);
        mKernel[i] = w > 0 ? static_cast<uint8>(std::trunc(255.0f * w)) : 0;
    }
}

// --- 8-bit maps ---

namespace {

// The last index of the run of equal values that starts at `from`, eight bytes at a step.
int32 RunEnd(const uint8* line, int32 from, int32 length) {
    const uint8 value = line[from];
    const uint64 pattern = 0x0101010101010101ull * value;
    int32 j = from + 1;
    for (uint64 word = 0; j + 8 <= length; j += 8) {
        std::memcpy(&word, line + j, sizeof word);
        if (word != pattern) {
            break;
        }
    }
    while (j < length && line[j] == value) {
        ++j;
    }
    return j - 1;
}

// Integer division by a fixed divisor as a multiply and a shift: with 2^L >= divisor and
// multiplier ceil(2^(32 + L) / divisor), the rounding error stays below 1 / divisor for every
// numerator under 2^32, so the quotient is exact.
class ExactDivider {
public:
    explicit ExactDivider(uint32 divisor) {
        while ((uint64{1} << mShift) < divisor) {
            ++mShift;
        }
        mShift += 32;
        mMultiplier = ((uint64{1} << mShift) + divisor - 1) / divisor;
    }
    uint32 operator()(uint32 numerator) const {
        return static_cast<uint32>((numerator * mMultiplier) >> mShift);
    }

private:
    uint32 mShift = 0;
    uint64 mMultiplier = 0;
};

// Adds `delta` times the weights to `sums`, which the compiler turns into vector code (with
// AVX2 where the processor has it).
__attribute__((target_clones("avx2", "default"))) void AddScaled(const int32* weights, int32 count,
                                                                 int32 delta, int32* sums) {
    for (int32 t = 0; t < count; ++t) {
        sums[t] += delta * weights[t];
    }
}

// Blurs lines with one kernel. The weighted sum V(i) of the window around position i differs
// from V(i - 1) by the kernel applied to the differences of the line, and a line of a mask
// changes value in few places. So each change of value adds the kernel, scaled by the change,
// to the differences of the sums it reaches, and a running total turns the differences back
// into sums. Values beyond the ends count as 0, which leaves the sums of cut windows as they
// are (their weights are divided out separately). Everything is integer, so the sums are the
// direct ones; the cost follows the changes of the line instead of being the kernel's length
// at every position, which is what keeps wide blurs about as fast as narrow ones.
class LineBlur {
public:
    LineBlur(const uint8* kernel, int32 n, int32 longestLine)
        : mN(n),
          mHalf(n >> 1),
          mReversed(n),
          mPrefix(n + 1),
          mDiffs(longestLine + mHalf),
          mWhole(WholeWeight(kernel, n)) {
        for (int32 k = 0; k < n; ++k) {
            mReversed[k] = kernel[n - 1 - k];
            mPrefix[k + 1] = mPrefix[k] + kernel[k];
        }
    }

    // Writes the blur of line[0 .. length - 1] to out[i * outStride].
    void Run(const uint8* line, int32 length, uint8* out, std::ptrdiff_t outStride) {
        mLine = {line, length, out, outStride};
        mNext = -mHalf;
        mSum = 0;
        mDirtyEnd = -mHalf;
        int32 previous = 0;
        for (int32 p = 0; p < length;) {
            const int32 end = RunEnd(line, p, length);
            if (line[p] != previous) {
                AddChange(p, line[p] - previous);
                previous = line[p];
            }
            p = end + 1;
        }
        if (previous != 0) {
            AddChange(length, -previous);
        }
        Finish(length);
    }

private:
    struct Target {
        const uint8* line = nullptr;
        int32 length = 0;
        uint8* out = nullptr;
        std::ptrdiff_t stride = 0;
    };

    static uint32 WholeWeight(const uint8* kernel, int32 n) {
        uint32 sum = 0;
        for (int32 k = 0; k < n; ++k) {
            sum += kernel[k];
        }
        return sum;
    }

    // The line changes by `delta` at p (line[p] - line[p - 1]): it reaches the sums of the
    // windows around p - half .. p + half. Those before them are final and are written first.
    void AddChange(int32 p, int32 delta) {
        Finish(p - mHalf);
        const int32 count = std::min(mN, mLine.length + mHalf - p);
        AddScaled(mReversed.data(), count, delta, mDiffs.data() + p);
        mDirtyEnd = std::max(mDirtyEnd, p - mHalf + count);
    }

    // Writes the outputs before `to` (mDiffs[i + half] is the difference at position i).
    void Finish(int32 to) {
        for (const int32 busy = std::min(to, mDirtyEnd); mNext < busy; ++mNext) {
            int32& diff = mDiffs[static_cast<std::size_t>(mNext + mHalf)];
            mSum += diff;
            diff = 0;
            if (mNext >= 0) {
                Write(mNext, Mean(mNext));
            }
        }
        // No change reaches these: the sum holds, and so does the mean where whole windows lie.
        int32 i = std::max(mNext, 0);
        for (; i < to && i < mHalf; ++i) {
            Write(i, Mean(i));
        }
        const int32 wholeEnd = std::min(to, mLine.length - mHalf);
        if (i < wholeEnd) {
            const uint8 value = Mean(i);
            for (; i < wholeEnd; ++i) {
                Write(i, value);
            }
        }
        for (; i < to; ++i) {
            Write(i, Mean(i));
        }
        mNext = std::max(mNext, to);
    }

    // The sum divided by the weights of the window around i that lie on the line.
    uint8 Mean(int32 i) const {
        if (i >= mHalf && i < mLine.length - mHalf) {
            return static_cast<uint8>(mWhole(static_cast<uint32>(mSum)));
        }
        const int32 first = std::max(0, mHalf - i);
        const int32 last = std::min(mN - 1, mLine.length - 1 - i + mHalf);
        return static_cast<uint8>(mSum / (mPrefix[last + 1] - mPrefix[first]));
    }

    void Write(int32 i, uint8 value) { mLine.out[i * mLine.stride] = value; }

    int32 mN;
    int32 mHalf;
    std::vector<int32> mReversed;
    std::vector<int32> mPrefix;  // mPrefix[k]: the sum of the first k weights
    std::vector<int32> mDiffs;   // zero outside [mNext, mDirtyEnd)
    ExactDivider mWhole;
    Target mLine;
    int32 mNext = 0;      // the next position to write (from -half: the sums start there)
    int32 mSum = 0;       // V(mNext - 1)
    int32 mDirtyEnd = 0;  // the differences from here on are 0
};

}  // namespace

void YKEffectLayer::Blur8Inner(const uint8* line, int32 length, uint8* out, int32 outStride) const {
    if (line == nullptr || length <= 0 || mKernelLength == 0) {
        return;
    }
    LineBlur(mKernel, mKernelLength, length).Run(line, length, out, outStride);
}

void YKEffectLayer::Blur8(uint8* map, int32 width, int32 height) const {
    if (map == nullptr || width <= 0 || height <= 0 || mKernelLength == 0) {
        return;
    }
    // Rows are blurred into the columns of a transposed map, whose rows are then the original
    // columns: both passes read contiguous lines.
    std::vector<uint8> transposed(static_cast<std::size_t>(width) * height);
    LineBlur blur(mKernel, mKernelLength, std::max(width, height));
    for (int32 y = 0; y < height; ++y) {
        blur.Run(map + static_cast<std::ptrdiff_t>(y) * width, width, transposed.data() + y,
                 height);
    }
    for (int32 x = 0; x < width; ++x) {
        blur.Run(transposed.data() + static_cast<std::ptrdiff_t>(x) * height, height, map + x,
                 width);
    }
}

void YKEffectLayer::Outline(uint8* map, int32 width, int32 height) const {
    if (map == nullptr || width <= 0 || height <= 0) {
        return;
    }
    // Saturating adds of non-negative values give min(255, sum), and a sum over a square is a
    // sum of row sums, each of which may saturate early without changing the result. So the
    // square is two sliding windows instead of (2r + 1)^2 adds per value.
    const int32 r = std::clamp(mOutlineRadius, 0, std::max(width, height));
    std::vector<uint8> rows(static_cast<std::size_t>(width) * height);
    for (int32 y = 0; y < height; ++y) {
        const std::ptrdiff_t start = static_cast<std::ptrdiff_t>(y) * width;
        SaturatedBoxLine(map + start, 1, width, r, rows.data() + start, 1);
    }
    for (int32 x = 0; x < width; ++x) {
        SaturatedBoxLine(rows.data() + x, width, height, r, map + x, width);
    }
}
