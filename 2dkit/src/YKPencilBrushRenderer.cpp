// The pencil's settings, its archive and where along a stroke its dabs fall. The masks are
// built in YKPencilBrushMask.cpp, dabs drawn in YKPencilBrushDab.cpp.

#include "YKPencilBrushRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "YKBitmap.h"
#include "YKMessage.h"
#include "yk_image_limits.h"

namespace {

using Rect = YKRect<int32>;

constexpr std::size_t kMaskBytes = YKPencilBrushRenderer::kMaskStride * 128;

// --- Archive keys
constexpr const char* kAntialiasingKey = "_antialiasing";
constexpr const char* kRedKey = "_r2";
constexpr const char* kGreenKey = "_g2";
constexpr const char* kBlueKey = "_b2";
constexpr const char* kAlphaKey = "_a2";
constexpr const char* kSizeKey = "_size";
constexpr const char* kColorIndexKey = "_color";
constexpr const char* kRatioKey = "_ratio";
constexpr const char* kRotationKey = "_rotation";
constexpr const char* kHardnessKey = "_hardness";
constexpr const char* kModeKey = "_mode";
constexpr const char* kShapeKey = "_shape";
constexpr const char* kSpacingKey = "_spacing";
constexpr const char* kContinuousKey = "_continious";
constexpr const char* kGranulationKey = "_granulation";
constexpr const char* kPressureKey = "_pressure";
constexpr const char* kRandomCenterKey = "_randomcenter";
constexpr const char* kTextureKey = "_texture";
constexpr const char* kTextureWidthKey = "_texture_width";
constexpr const char* kTextureHeightKey = "_texture_height";

// A colour channel read from an archive: anything outside a byte would spill into the
// neighbouring channels of a packed pixel.
void FindChannel(const YKMessage& archive, const char* key, int32* channel) {
    int32 value = 0;
    if (archive.FindInt32(key, &value)) {
        *channel = std::clamp(value, 0, 255);
    }
}

void FindByte(const YKMessage& archive, const char* key, uint8* byte) {
    int8 value = 0;
    if (archive.FindInt8(key, &value)) {
        *byte = static_cast<uint8>(value);
    }
}

// |a - b| as far as the distance table reaches.
int32 TableSteps(int32 a, int32 b) {
    const int64 steps = int64{a} - b;
    return static_cast<int32>(
        std::min<int64>(steps < 0 ? -steps : steps, YKPencilBrushRenderer::kTableSide - 1));
}

// The square a dab centred on `point` may cover, grown by `half` each way.
Rect Around(YKPoint<int32> point, int32 half) {
    return {point.x - half, point.y - half, point.x + half, point.y + half};
}

}  // namespace

// --- Construction and settings ---

YKPencilBrushRenderer::YKPencilBrushRenderer(const YKMessage* archive)
    : mDabMask(kMaskBytes, 0), mDistanceMask(kMaskBytes, 255) {
    Distance(0, 0);  // builds the shared tables now rather than in the middle of a stroke
    if (archive != nullptr) {
        Unarchive(archive);
    }
}

uint8 YKPencilBrushRenderer::FractionToByte(double fraction) {
    const double clamped = fraction > 0 ? std::min(fraction, 1.0) : 0.0;  // NaN too
    return static_cast<uint8>(std::lround(clamped * 255));
}

void YKPencilBrushRenderer::SetColor(yk_color color) {
    mRed = color.red;
    mGreen = color.green;
    mBlue = color.blue;
    mAlpha = color.alpha;
}

yk_color YKPencilBrushRenderer::Color() const {
    return yk_color(static_cast<uint8>(mRed), static_cast<uint8>(mGreen), static_cast<uint8>(mBlue),
                    static_cast<uint8>(mAlpha));
}

void YKPencilBrushRenderer::SetTexture(const uint8* data, int32 width, int32 height) {
    if (data == nullptr || !yk_image_size_ok(width, height, 1)) {
        mTexture.clear();
        mTextureWidth = 0;
        mTextureHeight = 0;
        return;
    }
    mTexture.assign(data, data + static_cast<std::size_t>(width) * height);
    mTextureWidth = width;
    mTextureHeight = height;
}

void YKPencilBrushRenderer::Texture(const uint8** data, int32* width, int32* height) const {
    *data = mTexture.empty() ? nullptr : mTexture.data();
    *width = mTextureWidth;
    *height = mTextureHeight;
}

void YKPencilBrushRenderer::GetBrushSize(uint32* width, uint32* height) const {
    *width = static_cast<uint32>(mSize) + 2;
    *height = *width;
}

double YKPencilBrushRenderer::RandomFraction() {
    // Not uniform_real_distribution: its output differs between standard libraries, and a
    // seeded stroke should repeat everywhere.
    return mRandom() / static_cast<double>(std::mt19937::max());
}

// --- Archive ---

void YKPencilBrushRenderer::Archive(YKMessage* archive) const {
    archive->AddBool(kAntialiasingKey, mAntialiasing);
    archive->AddInt32(kRedKey, mRed);
    archive->AddInt32(kGreenKey, mGreen);
    archive->AddInt32(kBlueKey, mBlue);
    archive->AddInt32(kAlphaKey, mAlpha);
    archive->AddDouble(kSizeKey, mSize);
    archive->AddInt32(kColorIndexKey, mColorIndex);
    archive->AddDouble(kRatioKey, mRatio);
    archive->AddDouble(kRotationKey, mRotation);
    archive->AddDouble(kHardnessKey, mHardness);
    archive->AddInt32(kModeKey, mMode);
    archive->AddInt32(kShapeKey, mShape);
    archive->AddDouble(kSpacingKey, mSpacing);
    archive->AddBool(kContinuousKey, mContinuous);
    archive->AddInt8(kGranulationKey, static_cast<int8>(mGranulation));
    archive->AddInt8(kPressureKey, static_cast<int8>(mPressure));
    archive->AddInt8(kRandomCenterKey, static_cast<int8>(mRandomizeCenter));
    if (!mTexture.empty()) {
        archive->AddData(kTextureKey, kTextureType, mTexture.data(),
                         static_cast<ssize_t>(mTexture.size()));
        archive->AddInt32(kTextureWidthKey, mTextureWidth);
        archive->AddInt32(kTextureHeightKey, mTextureHeight);
    }
}

void YKPencilBrushRenderer::Unarchive(const YKMessage* archive) {
    archive->FindBool(kAntialiasingKey, &mAntialiasing);
    FindChannel(*archive, kRedKey, &mRed);
    FindChannel(*archive, kGreenKey, &mGreen);
    FindChannel(*archive, kBlueKey, &mBlue);
    FindChannel(*archive, kAlphaKey, &mAlpha);
    archive->FindDouble(kSizeKey, &mSize);
    archive->FindInt32(kColorIndexKey, &mColorIndex);
    archive->FindDouble(kRatioKey, &mRatio);
    archive->FindDouble(kRotationKey, &mRotation);
    archive->FindDouble(kHardnessKey, &mHardness);
    archive->FindInt32(kModeKey, &mMode);
    archive->FindInt32(kShapeKey, &mShape);
    archive->FindDouble(kSpacingKey, &mSpacing);
    archive->FindBool(kContinuousKey, &mContinuous);
    FindByte(*archive, kGranulationKey, &mGranulation);
    FindByte(*archive, kPressureKey, &mPressure);
    FindByte(*archive, kRandomCenterKey, &mRandomizeCenter);

    const void* data = nullptr;
    ssize_t length = 0;
    int32 width = 0;
    int32 height = 0;
    const bool sized = archive->FindData(kTextureKey, kTextureType, &data, &length) &&
                       archive->FindInt32(kTextureWidthKey, &width) &&
                       archive->FindInt32(kTextureHeightKey, &height) &&
                       yk_image_size_ok(width, height, 1) &&
                       length == static_cast<int64>(width) * height;
    SetTexture(sized ? static_cast<const uint8*>(data) : nullptr, width, height);
    CreatePencil(mSize);
}

// --- Placing dabs ---

bool YKPencilBrushRenderer::CheckSpacingAndRotate(YKPoint<int32> point) const {
    return Distance(TableSteps(mLast.x, point.x), TableSteps(mLast.y, point.y)) >= mSpacing;
}

void YKPencilBrushRenderer::DrawBrush(YKBitmap* bitmap, YKPoint<int32> point,
                                      YKRect<int32>* touched) {
    const Rect changed = bitmap != nullptr ? PlaceDabs(bitmap, point) : Rect::None();
    if (touched != nullptr) {
        *touched = changed;
    }
}

YKRect<int32> YKPencilBrushRenderer::PlaceDabs(YKBitmap* bitmap, YKPoint<int32> point) {
    const int32 half = (static_cast<int32>(mSize) + 1) / 2;
    const bool firstOfStroke = CineTime() == 0;
    if (!firstOfStroke && mSpacing != 0 && !CheckSpacingAndRotate(point)) {
        return Rect::None();
    }
    if (!firstOfStroke && mRandomizeCenter > 0) {
        mLast = point;
        // Truncated toward zero, so within half the amount each way.
        point.y += static_cast<int32>((RandomFraction() - 0.5) * mRandomizeCenter);
        point.x += static_cast<int32>((RandomFraction() - 0.5) * mRandomizeCenter);
        DrawBrushReal(bitmap, point);
        return Around(point, half);
    }
    if (!firstOfStroke && mSpacing != 0 && mContinuous) {
        const Rect changed = Around(mLast, half) | Around(point, half);
        DrawLineOfDabs(bitmap, point);
        return changed;
    }
    DrawBrushReal(bitmap, point);
    mLast = point;
    return Around(point, half);
}

void YKPencilBrushRenderer::DrawLineOfDabs(YKBitmap* bitmap, YKPoint<int32> to) {
    auto dabIfSpaced = [&](YKPoint<int32> at) {
        if (CheckSpacingAndRotate(at)) {
            DrawBrushReal(bitmap, at);
            mLast = at;
        }
    };
    // Bresenham along the longer axis.
    YKPoint<int32> at = mLast;
    int32 major = std::abs(to.x - at.x);
    int32 minor = std::abs(to.y - at.y);
    const YKPoint<int32> stepX{to.x > at.x ? 1 : -1, 0};
    const YKPoint<int32> stepY{0, to.y > at.y ? 1 : -1};
    const bool steep = minor > major;
    if (steep) {
        std::swap(major, minor);
    }
    const YKPoint<int32> majorStep = steep ? stepY : stepX;
    const YKPoint<int32> minorStep = steep ? stepX : stepY;
    int32 error = 2 * minor - major;
    for (int32 step = 0; step < major; ++step) {
        dabIfSpaced(at);
        while (error >= 0) {
            at += minorStep;
            error -= 2 * major;
        }
        at += majorStep;
        error += 2 * minor;
    }
    dabIfSpaced(to);
}
