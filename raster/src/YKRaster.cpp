#include "YKRaster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "YKBitmapTools.h"
#include "YKDebug.h"
#include "YKMessage.h"
#include "yk_image_limits.h"
#include "yk_memory.h"
#include "yk_name_internal.h"

namespace {

constexpr const char* kNameField = "YKRaster::_name";
constexpr const char* kFrameField = "YKRaster::_frame";
constexpr const char* kColorSpaceField = "YKRaster::_color_space";
constexpr const char* kDataField = "YKRaster::_data";
// How much store an archive may ask for beyond the pixel data it holds (4M 32-bit pixels).
constexpr int64 kBlankArchiveBytes = int64{16} << 20;

// Holds a raster's lock count up for a scope.
class RasterLock {
public:
    explicit RasterLock(const YKRaster* raster) : mRaster(raster) { mRaster->Lock(); }
    RasterLock(const RasterLock&) = delete;
    RasterLock& operator=(const RasterLock&) = delete;
    ~RasterLock() { mRaster->Unlock(); }

private:
    const YKRaster* mRaster;
};

}  // namespace

// --- Construction ---

YKRaster::YKRaster(YKRect<int32> frame, const char* name, yk_color_space space, bool native)
    : mName(yk_copy_name(name)),
      mFrame(frame),
      mColorSpace(space),
      mBytesPerPixel(yk_bytes_per_pixel(space)) {
    if (native && mColorSpace != YK_RGBA_COLOR_SPACE) {
        yk_debug::AssertionFailed(__FILE__, __LINE__, "_color_space == YK_RGBA_COLOR_SPACE");
    }
    MakeStore(native);
}

YKRaster::YKRaster(const YKMessage& archive) {
    const char* name = nullptr;
    if (archive.FindString(kNameField, &name)) {
        mName = yk_copy_name(name);
    }
    mFrame = YKRect<int32>::None();
    archive.FindRect(kFrameField, &mFrame);
    int32 space = YK_RGBA_COLOR_SPACE;
    archive.FindInt32(kColorSpaceField, &space);
    mColorSpace = static_cast<yk_color_space>(space);
    mBytesPerPixel = yk_bytes_per_pixel(space);
    const void* data = nullptr;
    ssize_t size = 0;
    if (!archive.FindData(kDataField, YK_RAW_TYPE, &data, &size)) {
        size = 0;
    }
    // An archive pays for its pixels: beyond a modest blank store, the frame must be backed by
    // data, so a few bytes cannot ask for a gigabyte.
    const int64 width = int64{mFrame.right} - mFrame.left + 1;
    const int64 height = int64{mFrame.bottom} - mFrame.top + 1;
    // A size past the limit is refused first: its byte count would not fit in 64 bits.
    if (mFrame.IsValid() && (!yk_image_size_ok(width, height, mBytesPerPixel) ||
                             width * height * mBytesPerPixel > int64{size} + kBlankArchiveBytes)) {
        mFrame = YKRect<int32>::None();
    }
    MakeStore(false);
    if (mBits != nullptr && size > 0) {
        RasterLock lock(this);
        const int64 length = std::min<int64>(size, BitsLength());
        yk_memcpy(mBits, data, static_cast<std::size_t>(std::max<int64>(length, 0)));
    }
}

YKRaster::YKRaster(std::unique_ptr<YKPlatformBitmap> bitmap, const char* name)
    : mName(yk_copy_name(name)), mFrame(YKRect<int32>::None()) {
    if (bitmap == nullptr || !bitmap->IsValid()) {
        return;
    }
    const YKRect<float> bounds = bitmap->Bounds();
    mFrame = {0, 0, static_cast<int32>(bounds.right), static_cast<int32>(bounds.bottom)};
    mBits = bitmap->Bits();
    mBytesPerRow = bitmap->BytesPerRow();
    mPlatformBitmap = std::move(bitmap);
}

YKRaster::~YKRaster() {
    if (mLockCount != 0) {
        yk_debug::AssertionFailed(__FILE__, __LINE__, "_lock_count == 0");
    }
}

void YKRaster::MakeStore(bool native) {
    const bool sizeOk =
        mFrame.IsValid() && yk_image_size_ok(int64{mFrame.right} - mFrame.left + 1,
                                             int64{mFrame.bottom} - mFrame.top + 1, mBytesPerPixel);
    if (sizeOk && native) {
        auto bitmap = std::make_unique<YKPlatformBitmap>(YKRect<float>{
            0.0f, 0.0f, static_cast<float>(Width() - 1), static_cast<float>(Height() - 1)});
        if (bitmap->IsValid()) {
            mBits = bitmap->Bits();
            mBytesPerRow = bitmap->BytesPerRow();
            mPlatformBitmap = std::move(bitmap);
        }
    } else if (sizeOk) {
        // calloc's pages are zero until written and cost no memory before: a raster made for
        // a file whose data ends early takes only what was read into it.
        const std::size_t length = static_cast<std::size_t>(Width()) * Height() * mBytesPerPixel;
        mOwnBits.reset(static_cast<uint8*>(std::calloc(length, 1)));
        if (mOwnBits != nullptr) {
            mBits = mOwnBits.get();
            mBytesPerRow = Width() * mBytesPerPixel;
        }
    }
    // Without a store the frame is empty, so no size computed from it can overflow later.
    if (mBits == nullptr) {
        mFrame = YKRect<int32>::None();
    }
}

// --- Archive and copies ---

void YKRaster::Archive(YKMessage* archive) const {
    archive->AddString(kNameField, mName ? mName.get() : "");
    archive->AddRect(kFrameField, mFrame);
    archive->AddInt32(kColorSpaceField, mColorSpace);
    archive->AddData(kDataField, YK_RAW_TYPE, mBits, BitsLength());
}

std::unique_ptr<YKRaster> YKRaster::DuplicateRaster(EYKRasterNatives natives) const {
    const bool native = natives == YK_RASTER_KEEP_KIND ? IsNative() : natives == YK_RASTER_NATIVE;
    auto copy = std::make_unique<YKRaster>(mFrame, mName.get(), mColorSpace, native);
    copy->CopyFrom(this);
    return copy;
}

void YKRaster::CopyFrom(const YKRaster* source) {
    if (source == nullptr || source->mBits == nullptr || mBits == nullptr) {
        return;
    }
    RasterLock lockThis(this);
    RasterLock lockSource(source);
    const int32 rows = std::min(Height(), source->Height());
    const int32 bytes = std::min(mBytesPerRow, source->mBytesPerRow);
    for (int32 y = 0; y < rows; ++y) {
        memcpy_2(mBits + static_cast<int64>(y) * mBytesPerRow,
                 source->mBits + static_cast<int64>(y) * source->mBytesPerRow,
                 static_cast<std::size_t>(bytes));
    }
}

void YKRaster::SwapEndian() {
    if (mBits == nullptr || mColorSpace == YK_GRAY1_COLOR_SPACE ||
        mColorSpace == YK_GRAY8_COLOR_SPACE || mColorSpace == YK_RGBA64_COLOR_SPACE) {
        return;
    }
    RasterLock lock(this);
    const int32 length = BitsLength();
    const int32 size = mBytesPerPixel;  // 2 or 4
    for (int32 i = 0; i + size <= length; i += size) {
        std::reverse(mBits + i, mBits + i + size);
    }
}

// --- Frame ---

void YKRaster::OffsetBy(int32 dx, int32 dy) {
    if (!mFrame.IsValid()) {
        return;
    }
    mFrame.OffsetBy(dx, dy);
    if (mOptimizedFrame.IsValid()) {
        mOptimizedFrame.OffsetBy(dx, dy);
    }
}

void YKRaster::ResetOptmizedFrame() {
    if (mColorSpace != YK_RGBA_COLOR_SPACE || mBits == nullptr) {
        return;
    }
    YKRect<int32> found = YKRect<int32>::None();
    for (int32 y = 0; y < Height(); ++y) {
        const uint32* row = PixelAt(mFrame.left, mFrame.top + y);
        for (int32 x = 0; x < Width(); ++x) {
            if ((row[x] >> 24) != 0) {
                found = found | YKRect<int32>{x, y, x, y};
            }
        }
    }
    if (found.IsValid()) {
        found.OffsetBy(mFrame.left, mFrame.top);
    }
    mOptimizedFrame = found;
}

void YKRaster::InitEmpty() {
    if (IsLocked() && mBits != nullptr) {
        std::memset(mBits, 0xFF, static_cast<std::size_t>(BitsLength()));
    }
}

void YKRaster::Unlock() const {
    if (mLockCount <= 0) {
        yk_debug::AssertionFailed(__FILE__, __LINE__, "_lock_count > 0");
    }
    --mLockCount;
}

// --- Scaling and rotation ---

std::unique_ptr<YKRaster> YKRaster::CreateScaled(YKRect<int32> rect, bool bilinear, double angle,
                                                 YKPoint<double> centre) const {
    if (!rect.IsValid() || !CanDraw() || !std::isfinite(angle) || !std::isfinite(centre.x) ||
        !std::isfinite(centre.y)) {
        return nullptr;
    }
    auto scaled = std::make_unique<YKRaster>(rect, mName.get(), mColorSpace);
    if (scaled->Bits() == nullptr) {
        return nullptr;
    }
    const auto scale = bilinear ? YKBitmapTools::ScaleBiLin : YKBitmapTools::ScalePlain;
    scale(Width(), Height(), scaled->Width(), scaled->Height(),
          reinterpret_cast<const uint32*>(mBits), reinterpret_cast<uint32*>(scaled->Bits()),
          mBytesPerRow / 4, scaled->BytesPerRow() / 4);
    if (angle == 0.0) {
        return scaled;
    }

    const double c = std::cos(angle);
    const double s = std::sin(angle);
    double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
    for (const YKPoint<int32> corner :
         {rect.LeftTop(), YKPoint<int32>{rect.right, rect.top},
          YKPoint<int32>{rect.left, rect.bottom}, rect.RightBottom()}) {
        const double dx = corner.x - centre.x;
        const double dy = corner.y - centre.y;
        const double x = centre.x + dx * c - dy * s;
        const double y = centre.y + dx * s + dy * c;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    // Far-away centres give boxes beyond int32; no store is made for them anyway.
    const auto truncate = [](double v) {
        return static_cast<int32>(std::clamp(v, -1073741824.0, 1073741824.0));
    };
    const YKRect<int32> box{truncate(left), truncate(top), truncate(right), truncate(bottom)};
    auto rotated = std::make_unique<YKRaster>(box, mName.get(), mColorSpace);
    if (rotated->Bits() == nullptr) {
        return nullptr;
    }
    const auto rotate = bilinear ? YKBitmapTools::RotateBiLin : YKBitmapTools::RotatePlain;
    rotate(scaled->Frame(), rotated->Frame(), centre, angle,
           reinterpret_cast<const uint32*>(scaled->Bits()),
           reinterpret_cast<uint32*>(rotated->Bits()), scaled->BytesPerRow() / 4,
           rotated->BytesPerRow() / 4);
    return rotated;
}

// --- Printing ---

void YKRaster::PrintToStream(const char* text, FILE* stream) const {
    if (mName && text != nullptr) {
        std::fprintf(stream, "YKRaster %s, %s\n", mName.get(), text);
    } else if (text != nullptr) {
        std::fprintf(stream, "YKRaster 'no name, %s\n", text);
    } else if (mName) {
        std::fprintf(stream, "YKRaster %s\n", mName.get());
    } else {
        std::fprintf(stream, "YKRaster 'no name'\n");
    }
    std::fprintf(stream, "%sFrame for YKRaster: (%d, %d, %d, %d)\n",
                 mFrame.IsValid() ? "" : "Invalid ", mFrame.left, mFrame.top, mFrame.right,
                 mFrame.bottom);
}
