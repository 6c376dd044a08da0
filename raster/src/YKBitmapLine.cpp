#include "YKBitmapLine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "yk_composition.h"

namespace {

constexpr uint32 kFullLevel = 255;
// A run's byte size must fit its int32 field.
constexpr int64 kMaxPixels = INT32_MAX / 4;

// Copy and Over write the pixels as they are: the run is a scratch row, not an image.
bool CopiesPixels(int32 mode) {
    return mode == YK_COPY || mode == YK_OVER;
}

}  // namespace

YKBitmapLine::YKBitmapLine(const YKBitmapLine& other) {
    *this = other;
}

YKBitmapLine& YKBitmapLine::operator=(const YKBitmapLine& other) {
    if (this == &other) {
        return *this;
    }
    Release();
    if (!other.IsEmpty()) {
        mPixels = static_cast<uint32*>(std::malloc(static_cast<std::size_t>(other.mSize)));
        if (mPixels != nullptr) {
            std::memcpy(mPixels, other.mPixels, static_cast<std::size_t>(other.mSize));
            mSize = other.mSize;
            mLeft = other.mLeft;
            mRight = other.mRight;
        }
    }
    return *this;
}

YKBitmapLine::~YKBitmapLine() {
    Release();
}

void YKBitmapLine::Release() {
    std::free(mPixels);
    mPixels = nullptr;
    mSize = 0;
    mLeft = 0;
    mRight = -1;
}

bool YKBitmapLine::Cover(int32 x0, int32 x1) {
    const int32 left = IsEmpty() ? x0 : std::min(x0, mLeft);
    const int32 right = IsEmpty() ? x1 : std::max(x1, mRight);
    if (!IsEmpty() && left == mLeft && right == mRight) {
        return true;
    }
    const int64 count = int64{right} - left + 1;
    if (count > kMaxPixels) {
        return false;
    }
    auto* pixels = static_cast<uint32*>(std::calloc(static_cast<std::size_t>(count), 4));
    if (pixels == nullptr) {
        return false;
    }
    if (!IsEmpty()) {
        std::memcpy(pixels + (mLeft - left), mPixels, static_cast<std::size_t>(mSize));
        std::free(mPixels);
    }
    mPixels = pixels;
    mSize = static_cast<int32>(count * 4);
    mLeft = left;
    mRight = right;
    return true;
}

void YKBitmapLine::GetData(int32 x0, int32 x1, uint32* out) const {
    if (x1 < x0) {
        return;
    }
    std::memset(out, 0, static_cast<std::size_t>(int64{x1} - x0 + 1) * 4);
    const int32 left = std::max(x0, mLeft);
    const int32 right = std::min(x1, mRight);
    if (!IsEmpty() && left <= right) {
        std::memcpy(out + (left - x0), PixelPtrAt(left),
                    static_cast<std::size_t>(right - left + 1) * 4);
    }
}

void YKBitmapLine::SetData(int32 x0, int32 x1, const uint32* pixels, int32 mode) {
    if (x1 < x0 || !Cover(x0, x1)) {
        return;
    }
    const int32 count = x1 - x0 + 1;
    if (CopiesPixels(mode)) {
        std::memmove(PixelPtrAt(x0), pixels, static_cast<std::size_t>(count) * 4);
    } else {
        yk_array_func_for(mode)(PixelPtrAt(x0), pixels, kFullLevel, count);
    }
}

void YKBitmapLine::SetPixelAt(int32 x0, int32 x1, uint32 color, int32 mode) {
    if (x1 < x0 || !Cover(x0, x1)) {
        return;
    }
    if (CopiesPixels(mode)) {
        std::fill(PixelPtrAt(x0), PixelPtrAt(x1) + 1, color);
    } else {
        yk_color_func_for(mode)(PixelPtrAt(x0), color, kFullLevel, x1 - x0 + 1);
    }
}

void YKBitmapLine::ApplyTransparency(float factor, int32 x0, int32 x1) {
    if (IsEmpty()) {
        return;
    }
    for (int32 x = std::max(x0, mLeft); x <= std::min(x1, mRight); ++x) {
        uint32& pixel = mPixels[x - mLeft];
        const float alpha = static_cast<float>(pixel >> 24) * factor;
        // Written so that NaN lands on 0.
        const uint32 scaled = alpha > 0.0f ? static_cast<uint32>(std::min(alpha, 255.0f)) : 0;
        pixel = (pixel & 0xFFFFFF) | scaled << 24;
    }
}

void YKBitmapLine::Erase(int32 x0, int32 x1) {
    const int32 left = std::max(x0, mLeft);
    const int32 right = std::min(x1, mRight);
    if (!IsEmpty() && left <= right) {
        std::memset(PixelPtrAt(left), 0, static_cast<std::size_t>(right - left + 1) * 4);
    }
}

void YKBitmapLine::MergeWith(const YKBitmapLine& line, int32 x0, int32 x1, int32 mode) {
    const int32 left = std::max(x0, line.mLeft);
    const int32 right = std::min(x1, line.mRight);
    if (!line.IsEmpty() && left <= right) {
        SetData(left, right, line.PixelPtrAt(left), mode);
    }
}

void YKBitmapLine::OffsetBy(int32 dx) {
    if (!IsEmpty()) {
        mLeft += dx;
        mRight += dx;
    }
}

uint32 YKBitmapLine::PixelAt(int32 x) const {
    const uint32* pixel = PixelPtrAt(x);
    return pixel != nullptr ? *pixel : 0;
}

uint32* YKBitmapLine::PixelPtrAt(int32 x) const {
    return !IsEmpty() && x >= mLeft && x <= mRight ? mPixels + (x - mLeft) : nullptr;
}
