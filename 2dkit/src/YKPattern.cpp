#include "YKPattern.h"

#include <cstring>

#include "YKMessage.h"
#include "YKRaster.h"
#include "yk_image_limits.h"

namespace {

constexpr int32 kBytesPerPixel = 4;

// Sizes from a raster or an archive are used only when they describe a store this system would
// make: within the image limits and with whole pixels in every row.
bool UsableSize(int64 width, int64 height, int64 bytesPerRow) {
    return yk_image_size_ok(width, height, kBytesPerPixel) &&
           bytesPerRow >= width * kBytesPerPixel && bytesPerRow * height <= kYKMaxImageBytes;
}

}  // namespace

YKPattern::YKPattern(const YKRaster* raster) {
    SetData(raster);
}

YKPattern::YKPattern(const YKMessage& archive) {
    int8 alpha = static_cast<int8>(mAlpha);
    archive.FindInt8("alpha", &alpha);
    mAlpha = static_cast<uint8>(alpha);
    archive.FindDouble("dx", &mScaleX);
    archive.FindDouble("dy", &mScaleY);
    archive.FindDouble("angle", &mAngle);
    // The centre and the reference point are written under the same names; both come back
    // from the first pair.
    archive.FindDouble("center_x", &mCenter.x);
    archive.FindDouble("center_y", &mCenter.y);
    mRefPoint = mCenter;

    int32 width = 0;
    int32 height = 0;
    int32 bytesPerRow = 0;
    const void* data = nullptr;
    ssize_t size = 0;
    if (archive.FindInt32("nx", &width) && archive.FindInt32("ny", &height) &&
        archive.FindInt32("bpr", &bytesPerRow) &&
        archive.FindData("pattern_buffer", YK_RAW_TYPE, &data, &size) &&
        UsableSize(width, height, bytesPerRow) && size == int64{bytesPerRow} * height) {
        mWidth = width;
        mHeight = height;
        mBytesPerRow = bytesPerRow;
        const auto* bytes = static_cast<const uint8*>(data);
        mData.assign(bytes, bytes + size);
    }
}

void YKPattern::ClearPixels() {
    mWidth = mHeight = mBytesPerRow = 0;
    mData.clear();
    mData.shrink_to_fit();
}

bool YKPattern::SetData(const YKRaster* raster) {
    ClearPixels();
    if (raster == nullptr || raster->ColorSpace() != YK_RGBA_COLOR_SPACE ||
        raster->Bits() == nullptr ||
        !UsableSize(raster->Width(), raster->Height(), raster->BytesPerRow())) {
        return false;
    }
    raster->Lock();
    mData.assign(raster->Bits(), raster->Bits() + raster->BitsLength());
    raster->Unlock();
    mWidth = raster->Width();
    mHeight = raster->Height();
    mBytesPerRow = raster->BytesPerRow();
    return true;
}

uint32 YKPattern::TexelAt(int64 column, int64 row) const {
    if (mData.empty()) {
        return 0;
    }
    int64 x = column % mWidth;
    int64 y = row % mHeight;
    x += x < 0 ? mWidth : 0;
    y += y < 0 ? mHeight : 0;
    uint32 texel = 0;
    std::memcpy(&texel, mData.data() + y * mBytesPerRow + x * kBytesPerPixel, sizeof texel);
    return texel;
}

void YKPattern::ArchiveIn(YKMessage* archive) const {
    archive->AddInt8("alpha", static_cast<int8>(mAlpha));
    archive->AddInt32("nx", mWidth);
    archive->AddInt32("ny", mHeight);
    archive->AddInt32("bpr", mBytesPerRow);
    archive->AddDouble("dx", mScaleX);
    archive->AddDouble("dy", mScaleY);
    archive->AddDouble("angle", mAngle);
    for (const YKPoint<double>& point : {mCenter, mRefPoint}) {
        archive->AddDouble("center_x", point.x);
        archive->AddDouble("center_y", point.y);
    }
    if (!mData.empty()) {
        archive->AddData("pattern_buffer", YK_RAW_TYPE, mData.data(),
                         static_cast<ssize_t>(mData.size()));
    }
}
