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

void YKEffectLayer::Blur8Inner(const uint8* line, int32 length, uint8* out, int32 outStride) const {
    const int64 n = mKernelLength;
    for (int64 i = 0; i < length; ++i) {
        // The kernel index k weighs line[k - c]; k runs over the part that lies on the line.
        const int64 c = (n >> 1) - i;
        const int64 last = std::min(length + c, n);
        int32 weights = 0;
        int32 values = 0;
        for (int64 k = std::max<int64>(c, 0); k < last; ++k) {
            weights += mKernel[k];
            values += mKernel[k] * line[k - c];
        }
        out[i * outStride] = static_cast<uint8>(values != 0 ? values / weights : 0);
    }
}

void YKEffectLayer::Blur8(uint8* map, int32 width, int32 height) const {
    if (map == nullptr || width <= 0 || height <= 0 || mKernelLength == 0) {
        return;
    }
    // Rows are blurred into the columns of a transposed map, whose rows are then the original
    // columns: both passes read contiguous lines.
    std::vector<uint8> transposed(static_cast<std::size_t>(width) * height);
    for (int32 y = 0; y < height; ++y) {
        Blur8Inner(map + static_cast<std::ptrdiff_t>(y) * width, width, transposed.data() + y,
                   height);
    }
    for (int32 x = 0; x < width; ++x) {
        Blur8Inner(transposed.data() + static_cast<std::ptrdiff_t>(x) * height, height, map + x,
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
