#include "YKReadGif.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <utility>

#include "YKDebug.h"
#include "YKMessage.h"
#include "yk_gif_interlace.h"
#include "yk_gif_lzw_decoder.h"
#include "yk_image_limits.h"

// --- Sections: image record, start and end, block loop, one image (data, result, decoding,
//     disposal), looping, screen rasters.

namespace {

constexpr const char* kFlagsField = "gce_flags";
constexpr const char* kDelayField = "gce_delay";
constexpr const char* kTransparentField = "gce_transp";
constexpr const char* kCommentField = "ra_descript";

// Room after the data in the code buffer, more than the decoder fetches past it.
constexpr int64 kCodePadding = 256;
static_assert(kCodePadding >= YKGifLzwDecoder::kPadding);

// Colours of files without any colour table, as (red, green, blue).
constexpr uint8 kDefaultColors[16][3] = {
    {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},
    {128, 0, 0},     {128, 0, 128},   {128, 128, 0},   {200, 200, 200},
    {100, 100, 100}, {100, 100, 255}, {100, 255, 100}, {100, 255, 255},
    {255, 100, 100}, {255, 100, 255}, {255, 255, 100}, {255, 255, 255},
};

uint32 OpaquePixel(const uint8* rgb) {
    return 0xFF000000u | uint32{rgb[0]} << 16 | uint32{rgb[1]} << 8 | rgb[2];
}

uint32* RowOf(const YKRaster& raster, int32 y) {
    return reinterpret_cast<uint32*>(raster.Bits() + static_cast<int64>(y) * raster.BytesPerRow());
}

// Fills the columns [left, right) of the rows [top, bottom).
void FillPixels(const YKRaster& raster, int32 left, int32 top, int32 right, int32 bottom,
                uint32 pixel) {
    for (int32 y = top; y < bottom; ++y) {
        std::fill(RowOf(raster, y) + left, RowOf(raster, y) + right, pixel);
    }
}

// True when a colour table of `count` triples could be read into opaque pixels.
bool ReadColorTable(YKBinFile& file, int32 count, uint32* pixels) {
    uint8 triples[256 * 3];
    if (!file.Read(reinterpret_cast<char*>(triples), count * 3)) {
        return false;
    }
    for (int32 i = 0; i < count; ++i) {
        pixels[i] = OpaquePixel(triples + i * 3);
    }
    return true;
}

}  // namespace

// One image as its descriptor and graphic control give it, clipped to the screen.
struct YKReadGif::Image {
    int32 left = 0;
    int32 top = 0;
    int32 width = 0;
    int32 height = 0;
    bool interlaced = false;
    // The screen part it covers, as [left, right) x [top, bottom); may be empty.
    int32 clipLeft = 0;
    int32 clipTop = 0;
    int32 clipRight = 0;
    int32 clipBottom = 0;
    // Index to pixel; 0 marks the transparent index (every colour is opaque).
    uint32 lut[256] = {};
    int32 transparent = -1;
    int32 disposal = 0;  // of the graphic control before it

    bool IsClipEmpty() const { return clipLeft >= clipRight || clipTop >= clipBottom; }
};

YKReadGif::YKReadGif() : mDecoder(std::make_unique<YKGifLzwDecoder>()) {}

YKReadGif::~YKReadGif() {
    EndRead();
}

// --- Start and end ---

bool YKReadGif::BeginRead(const char* path, YKMessage* info, bool native) {
    EndRead();
    mInfo = info;
    if (mInfo != nullptr) {
        mInfo->RemoveName(kFlagsField);
        mInfo->RemoveName(kDelayField);
        mInfo->RemoveName(kTransparentField);
    }
    mNative = native;
    mWarning.clear();
    mError.clear();
    if (!mFile.Open(path, YK_BIN_READ_ONLY)) {
        return false;
    }
    // Loop points are file positions, which seek in 32 bits.
    mFileLength = mFile.Size();
    if (mFileLength <= 0 || mFileLength > INT32_MAX - kCodePadding || !ReadHeader()) {
        EndRead();
        return false;
    }
    mCodes.reset(new (std::nothrow) uint8[static_cast<std::size_t>(mFileLength + kCodePadding)]());
    if (mCodes == nullptr) {
        EndRead();
        return false;
    }
    ResetGraphicControl();
    mImageCount = 0;
    mAtEnd = false;
    return true;
}

bool YKReadGif::ReadHeader() {
    char signature[6];
    if (!mFile.Read(signature, 6) ||
        (std::memcmp(signature, "GIF87a", 6) != 0 && std::memcmp(signature, "GIF89a", 6) != 0)) {
        return false;
    }
    uint16 width = 0;
    uint16 height = 0;
    uint8 packed = 0;
    uint8 background = 0;
    uint8 aspect = 0;
    if (!mFile.ReadCheck16LE(width) || !mFile.ReadCheck16LE(height) || !mFile.ReadCheck8(packed) ||
        !mFile.ReadCheck8(background) || !mFile.ReadCheck8(aspect)) {
        return false;
    }
    if (!yk_image_size_ok(width, height, 4)) {
        return false;
    }
    mScreenWidth = width;
    mScreenHeight = height;
    mBackgroundIndex = background;
    if ((packed & 0x80) != 0) {
        mColorCount = 2 << (packed & 7);
        return ReadColorTable(mFile, mColorCount, mPalette);
    }
    mColorCount = 256;
    for (int32 i = 0; i < 256; ++i) {
        mPalette[i] = OpaquePixel(kDefaultColors[i & 15]);
    }
    return true;
}

void YKReadGif::EndRead() {
    mFile.Close();
    mInfo = nullptr;
    mCodes.reset();
    mBase.reset();
    mPrevious.reset();
    mHasPrevious = false;
    mLoop = LoopPoint();
    mRow = std::vector<uint8>();
}

void YKReadGif::SetLoopFrame(int32 index) {
    mLoopFrame = std::max(index, 0);
    mLoop = LoopPoint();
}

void YKReadGif::Warn(const std::string& text) {
    // One line tells that the file is damaged; the first fault is the one that explains it.
    if (mWarning.empty()) {
        mWarning = "GIF image " + std::to_string(mImageCount + 1) + ": " + text;
    }
}

void YKReadGif::ResetGraphicControl() {
    mPendingFlags = 0;
    mPendingDelay = 0;
    mPendingTransparent = -1;
}

// --- Block loop ---

bool YKReadGif::ReadNextImage(std::unique_ptr<YKRaster>& raster, bool loop) {
    if (mCodes == nullptr) {
        return false;
    }
    uint8 byte = 0;
    while (!mAtEnd && mFile.ReadCheck8(byte)) {
        if (byte == 0x21) {
            ReadExtension();
            continue;
        }
        if (byte == 0x2C) {
            const ImageRead read = ReadImage(raster, loop);
            if (read == ImageRead::kDone) {
                return true;
            }
            if (read == ImageRead::kTruncated) {
                Warn("the file ends inside its descriptor or colour table");
            }
        }
        // The trailer, anything that cannot start a block, or an image that cannot be read:
        // the images end there, and looping goes back as it does after the last one.
        break;
    }
    // Whatever follows the end is not read.
    mAtEnd = true;
    return loop && mLoop.position >= 0 && LoopBack(raster);
}

bool YKReadGif::ReadNextImage(YKRasterList& list) {
    std::unique_ptr<YKRaster> raster;
    if (!ReadNextImage(raster, false)) {
        return false;
    }
    list.AddItem(raster.release());
    return true;
}

bool YKReadGif::ReadAllFile(const char* path, YKRasterList& list, YKMessage* info, bool native) {
    if (!BeginRead(path, info, native)) {
        return false;
    }
    while (ReadNextImage(list)) {
    }
    EndRead();
    return true;
}

void YKReadGif::ReadExtension() {
    uint8 label = 0;
    if (!mFile.ReadCheck8(label)) {
        return;
    }
    if (label == 0xF9) {
        uint8 size = 0;
        uint8 packed = 0;
        uint16 delay = 0;
        uint8 transparent = 0;
        if (!mFile.ReadCheck8(size) || !mFile.ReadCheck8(packed) || !mFile.ReadCheck16LE(delay) ||
            !mFile.ReadCheck8(transparent)) {
            return;
        }
        mPendingFlags = packed;
        mPendingDelay = delay;
        mPendingTransparent = (packed & 1) != 0 ? transparent : -1;
    } else if (label == 0xFE && mInfo != nullptr) {
        uint8 length = 0;
        while (mFile.ReadCheck8(length) && length != 0) {
            char text[256];
            if (!mFile.Read(text, length)) {
                return;
            }
            text[length] = '\0';
            mInfo->AddString(kCommentField, text);
        }
        return;
    }
    // Every other extension (application, plain text, ...) is only skipped.
    SkipSubBlocks();
}

void YKReadGif::SkipSubBlocks() {
    uint8 length = 0;
    // A seek past the end succeeds; the next read then fails and ends the walk.
    while (mFile.ReadCheck8(length) && length != 0 && mFile.Seek(length, YK_BIN_SEEK_CUR)) {
    }
}

// --- One image ---

YKReadGif::ImageRead YKReadGif::ReadImage(std::unique_ptr<YKRaster>& raster, bool loop) {
    Image image;
    uint16 left = 0;
    uint16 top = 0;
    uint16 width = 0;
    uint16 height = 0;
    uint8 packed = 0;
    if (!mFile.ReadCheck16LE(left) || !mFile.ReadCheck16LE(top) || !mFile.ReadCheck16LE(width) ||
        !mFile.ReadCheck16LE(height) || !mFile.ReadCheck8(packed)) {
        return ImageRead::kTruncated;
    }
    image.left = left;
    image.top = top;
    image.width = width;
    image.height = height;
    image.interlaced = (packed & 0x40) != 0;
    image.clipLeft = std::min<int32>(left, mScreenWidth);
    image.clipTop = std::min<int32>(top, mScreenHeight);
    image.clipRight = std::min(left + image.width, mScreenWidth);
    image.clipBottom = std::min(top + image.height, mScreenHeight);

    // A local table serves this image only. Indices past the table wrap around it.
    uint32 local[256];
    const uint32* palette = mPalette;
    int32 count = mColorCount;
    if ((packed & 0x80) != 0) {
        count = 2 << (packed & 7);
        if (!ReadColorTable(mFile, count, local)) {
            return ImageRead::kTruncated;
        }
        palette = local;
    }
    if (mPendingTransparent >= 0 && mPendingTransparent < count) {
        image.transparent = mPendingTransparent;
    }
    for (int32 i = 0; i < 256; ++i) {
        image.lut[i] = (i & (count - 1)) == image.transparent ? 0 : palette[i & (count - 1)];
    }
    image.disposal = (mPendingFlags >> 2) & 3;

    uint8 minCodeSize = 0;
    if (!mFile.ReadCheck8(minCodeSize)) {
        Warn("the file ends before its data");
    } else if (minCodeSize == 0 || minCodeSize > 8) {
        // Indices of more than 8 bits have no colour, and code size 0 has no codes at all.
        mError = "GIF image " + std::to_string(mImageCount + 1) + ": LZW code size " +
                 std::to_string(minCodeSize) + " is impossible (2 to 8 are allowed)";
        return ImageRead::kFailed;
    } else if (minCodeSize == 1) {
        Warn("LZW code size 1 is outside 2 to 8");
    }
    const int64 length = ReadImageData();

    if (!PrepareResult(raster, image)) {
        return ImageRead::kFailed;
    }
    DecodeInto(*raster, image, minCodeSize, length);
    if (!KeepResult(*raster, image)) {
        return ImageRead::kFailed;
    }

    if (loop && mImageCount == mLoopFrame && mLoop.position < 0) {
        mLoop.position = mFile.Tell();
        mLoop.disposal = mDisposal;
        if (!CopyScreen(mLoop.result, *raster, false) ||
            (mHasPrevious && !CopyScreen(mLoop.previous, *mPrevious, false))) {
            mLoop = LoopPoint();
        }
    }
    ++mImageCount;
    if (mInfo != nullptr) {
        mInfo->AddInt32(kFlagsField, mPendingFlags);
        mInfo->AddInt32(kDelayField, mPendingDelay);
        mInfo->AddInt32(kTransparentField, mPendingTransparent);
    }
    ResetGraphicControl();
    return ImageRead::kDone;
}

int64 YKReadGif::ReadImageData() {
    // Counted here rather than asked of the file, so that a sub-block cut by the end of the
    // file still gives the bytes it has.
    int64 position = mFile.Tell();
    int64 length = 0;
    uint8 size = 0;
    while (mFile.ReadCheck8(size) && size != 0) {
        ++position;
        const int32 available = static_cast<int32>(std::min<int64>(size, mFileLength - position));
        if (available <= 0 ||
            !mFile.Read(reinterpret_cast<char*>(mCodes.get() + length), available)) {
            break;
        }
        length += available;
        position += available;
        if (available < size) {
            break;
        }
    }
    return length;
}

bool YKReadGif::PrepareResult(std::unique_ptr<YKRaster>& raster, const Image& image) {
    if (raster != nullptr &&
        (raster->Width() != mScreenWidth || raster->Height() != mScreenHeight ||
         raster->BytesPerPixel() != 4 || raster->Bits() == nullptr)) {
        yk_debug::AssertionFailed(__FILE__, __LINE__,
                                  "in_out_raster->Width() == RWidth && "
                                  "in_out_raster->Height() == RHeight");
    }
    if (mBase != nullptr) {
        return ApplyDisposal(image.disposal) && CopyScreen(raster, *mBase, mNative);
    }
    if (raster == nullptr && (raster = MakeScreenRaster(mNative)) == nullptr) {
        return false;
    }
    const uint32 background = BackgroundPixel();
    if (mBackgroundIndex != image.transparent) {
        // Everything outside the image rectangle.
        if (image.IsClipEmpty()) {
            FillPixels(*raster, 0, 0, mScreenWidth, mScreenHeight, background);
        } else {
            FillPixels(*raster, 0, 0, mScreenWidth, image.clipTop, background);
            FillPixels(*raster, 0, image.clipTop, image.clipLeft, image.clipBottom, background);
            FillPixels(*raster, image.clipRight, image.clipTop, mScreenWidth, image.clipBottom,
                       background);
            FillPixels(*raster, 0, image.clipBottom, mScreenWidth, mScreenHeight, background);
        }
    }
    return true;
}

void YKReadGif::DecodeInto(YKRaster& result, const Image& image, int32 minCodeSize, int64 length) {
    if (image.IsClipEmpty()) {
        return;
    }
    mDecoder->Begin(mCodes.get(), length, minCodeSize);
    mRow.resize(static_cast<std::size_t>(image.width));
    uint8* row = mRow.data();
    const int32 firstRow = image.clipTop - image.top;
    const int32 endRow = image.clipBottom - image.top;
    const int32 skip = image.clipLeft - image.left;
    const int32 columns = image.clipRight - image.clipLeft;
    int32 rowsLeft = endRow - firstRow;
    bool ended = false;
    bool missing = false;

    // Rows come in file order; rows off the screen are decoded without being written, and
    // decoding stops once every visible row is done.
    const auto visit = [&](int32 y) {
        const bool visible = y >= firstRow && y < endRow;
        if (!ended) {
            const int32 got = mDecoder->Read(visible ? row : nullptr, image.width);
            ended = got < image.width;
            if (ended && visible) {
                std::fill(row + got, row + image.width, uint8{0});
                missing = true;
            }
        } else if (visible) {
            // Pixels the data did not reach are index 0.
            std::fill(row, row + image.width, uint8{0});
            missing = true;
        }
        if (visible) {
            uint32* out = RowOf(result, image.top + y) + image.clipLeft;
            const uint8* in = row + skip;
            if (image.transparent < 0) {
                for (int32 x = 0; x < columns; ++x) {
                    out[x] = image.lut[in[x]];
                }
            } else {
                for (int32 x = 0; x < columns; ++x) {
                    const uint32 pixel = image.lut[in[x]];
                    out[x] = pixel != 0 ? pixel : out[x];
                }
            }
            --rowsLeft;
        }
        return rowsLeft > 0;
    };
    if (image.interlaced) {
        yk_gif_interlaced_rows(image.height, visit);
    } else {
        for (int32 y = 0; y < image.height && visit(y); ++y) {
        }
    }
    if (mDecoder->DataFault() == YKGifLzwDecoder::Fault::kCodePastTable) {
        Warn("its data has codes past the LZW table");
    } else if (missing) {
        Warn("its data ends before the image is complete");
    }
}

// --- Disposal ---

uint32 YKReadGif::BackgroundPixel() const {
    return mBackgroundIndex < mColorCount ? mPalette[mBackgroundIndex] : 0;
}

bool YKReadGif::KeepResult(const YKRaster& result, const Image& image) {
    mDisposal = {image.disposal,  image.clipLeft,   image.clipTop,
                 image.clipRight, image.clipBottom, image.transparent >= 0};
    // Only a block can start another image: after a still or the last frame the copy is saved.
    uint8 next = 0;
    if (!mFile.ReadCheck8(next) || !mFile.Seek(-1, YK_BIN_SEEK_CUR) ||
        (next != 0x21 && next != 0x2C)) {
        return true;
    }
    return CopyScreen(mBase, result, false);
}

bool YKReadGif::ApplyDisposal(int32 next) {
    // The last result is kept when the coming image will restore it.
    const bool keepLast = next == 3;
    if (mDisposal.method == 3 && mHasPrevious) {
        std::swap(mBase, mPrevious);
    } else {
        if (keepLast && !CopyScreen(mPrevious, *mBase, false)) {
            return false;
        }
        const uint32 background = BackgroundPixel();
        switch (mDisposal.method) {
            case 0:
                FillPixels(*mBase, 0, 0, mScreenWidth, mScreenHeight, background);
                break;
            case 2:
                // Transparent: the background colour with alpha 0.
                FillPixels(*mBase, mDisposal.left, mDisposal.top, mDisposal.right, mDisposal.bottom,
                           mDisposal.transparent ? background & 0x00FFFFFF : background);
                break;
            default:
                // Left in place; a first image that restores the previous one has none.
                break;
        }
    }
    mHasPrevious = keepLast;
    return true;
}

// --- Looping ---

bool YKReadGif::LoopBack(std::unique_ptr<YKRaster>& raster) {
    if (raster != nullptr && (raster->Width() != mLoop.result->Width() ||
                              raster->BitsLength() != mLoop.result->BitsLength())) {
        yk_debug::AssertionFailed(__FILE__, __LINE__,
                                  "in_out_raster->Width() == mLoopRaster->Width()");
    }
    if (!mFile.Seek(static_cast<int32>(mLoop.position), YK_BIN_SEEK_SET) ||
        !CopyScreen(raster, *mLoop.result, mNative) ||
        (mLoop.previous != nullptr && !CopyScreen(mPrevious, *mLoop.previous, false))) {
        return false;
    }
    if (!CopyScreen(mBase, *mLoop.result, false)) {
        return false;
    }
    mHasPrevious = mLoop.previous != nullptr;
    mDisposal = mLoop.disposal;
    mImageCount = mLoopFrame + 1;
    mAtEnd = false;
    ResetGraphicControl();
    return true;
}

// --- Screen rasters ---

std::unique_ptr<YKRaster> YKReadGif::MakeScreenRaster(bool native) const {
    auto raster =
        std::make_unique<YKRaster>(YKRect<int32>{0, 0, mScreenWidth - 1, mScreenHeight - 1},
                                   nullptr, YK_RGBA_COLOR_SPACE, native);
    return raster->Bits() != nullptr ? std::move(raster) : nullptr;
}

bool YKReadGif::CopyScreen(std::unique_ptr<YKRaster>& raster, const YKRaster& source,
                           bool native) const {
    if (raster == nullptr) {
        raster = MakeScreenRaster(native);
        if (raster == nullptr) {
            return false;
        }
    }
    raster->CopyFrom(&source);
    return true;
}
