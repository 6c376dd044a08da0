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
    message->AddInt32("_pr_flags", mProcessFlags);
    for (const ParamKey& param : kParamKeys) {
        if (param.radius != nullptr) {
            message->AddFloat(param.key, this->*param.radius);
        } else {
            message->AddInt32(param.key, this->*param.value);
        }
    }
    message->AddBool("_is_effect_enabled", mEffectEnabled);
    YKLayer::Archive(message, deep);
    SetArchiveClass(message, "YKEffectLayer");
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

// One line of the blur. A window whose values are all equal gives that value exactly (the
// weighted mean of equal values, and the centre weight is never 0), so only windows that hold
// a change are summed: masks of shapes are long runs of 0 and 255, and the cost then follows
// the edges instead of the area. Windows that lie wholly on the line are summed in batches,
// kernel weight by kernel weight, which the compiler turns into vector code (with AVX2 where
// the processor has it).
__attribute__((target_clones("avx2", "default"))) void BlurLine(const uint8* kernel, int32 n,
                                                                const uint8* line, int32 length,
                                                                uint8* out,
                                                                std::ptrdiff_t outStride) {
    int32 fullWeight = 0;
    for (int32 k = 0; k < n; ++k) {
        fullWeight += kernel[k];
    }
    const int32 half = n >> 1;
    // The run that holds the last window start asked about, found once per run.
    int32 runStart = 0;
    int32 runEnd = RunEnd(line, 0, length);
    const auto runEndAt = [&](int32 lo) {
        if (lo < runStart || lo > runEnd) {
            runStart = lo;
            runEnd = RunEnd(line, lo, length);
        }
        return runEnd;
    };
    // The window of output i covers line[i - half .. i + half], clipped to the line.
    const auto isConstant = [&](int32 i) {
        const int32 lo = std::max(i - half, 0);
        return runEndAt(lo) >= std::min(i + half, length - 1);
    };
    constexpr int32 kBatch = 256;
    int32 sums[kBatch];
    int32 i = 0;
    while (i < length) {
        if (isConstant(i)) {
            // Every window up to the one reaching past this run is constant too.
            const int32 lo = std::max(i - half, 0);
            const int32 end = std::max(i + 1, std::min(length, runEndAt(lo) - half + 1));
            const uint8 value = line[lo];
            for (int32 j = i; j < end; ++j) {
                out[j * outStride] = value;
            }
            i = end;
            continue;
        }
        if (i - half >= 0 && i + half < length) {
            // A batch of whole windows, up to the next constant one.
            int32 count = 1;
            while (count < kBatch && i + count + half < length && !isConstant(i + count)) {
                ++count;
            }
            std::fill_n(sums, count, 0);
            const uint8* base = line + (i - half);
            for (int32 k = 0; k < n; ++k) {
                const int32 weight = kernel[k];
                if (weight == 0) {
                    continue;
                }
                const uint8* from = base + k;
                for (int32 j = 0; j < count; ++j) {
                    sums[j] += weight * from[j];
                }
            }
            for (int32 j = 0; j < count; ++j) {
                out[(i + j) * outStride] =
                    static_cast<uint8>(sums[j] != 0 ? sums[j] / fullWeight : 0);
            }
            i += count;
            continue;
        }
        // A window cut by an end of the line: only the weights on the line count.
        const int32 c = half - i;
        const int32 first = std::max(c, 0);
        const int32 last = std::min(length + c, n);
        int32 values = 0;
        int32 weights = 0;
        for (int32 k = first; k < last; ++k) {
            values += kernel[k] * line[k - c];
            weights += kernel[k];
        }
        out[i * outStride] = static_cast<uint8>(values != 0 ? values / weights : 0);
        ++i;
    }
}

}  // namespace

void YKEffectLayer::Blur8Inner(const uint8* line, int32 length, uint8* out, int32 outStride) const {
    if (line == nullptr || length <= 0 || mKernelLength == 0) {
        return;
    }
    BlurLine(mKernel, mKernelLength, line, length, out, outStride);
}

void YKEffectLayer::Blur8(uint8* map, int32 width, int32 height) const {
    if (map == nullptr || width <= 0 || height <= 0 || mKernelLength == 0) {
        return;
    }
    // Rows are blurred into the columns of a transposed map, whose rows are then the original
    // columns: both passes read contiguous lines.
    std::vector<uint8> transposed(static_cast<std::size_t>(width) * height);
    for (int32 y = 0; y < height; ++y) {
        BlurLine(mKernel, mKernelLength, map + static_cast<std::ptrdiff_t>(y) * width, width,
                 transposed.data() + y, height);
    }
    for (int32 x = 0; x < width; ++x) {
        BlurLine(mKernel, mKernelLength,
                 transposed.data() + static_cast<std::ptrdiff_t>(x) * height, height, map + x,
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
