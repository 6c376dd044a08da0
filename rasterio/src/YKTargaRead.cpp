// Targa reading: true-colour pixels of 16, 24 or 32 bits, raw or in run-length packets, into
// 32-bit pixels (blue, green, red, alpha in memory).

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "YKRaster.h"
#include "YKRasterIO.h"
#include "YKTarga.h"
#include "yk_image_limits.h"
#include "yk_io_error_internal.h"
#include "yk_open_input.h"

namespace {

constexpr uint8 kTrueColor = 2;
constexpr uint8 kRunLengthTrueColor = 10;
constexpr uint8 kRunBit = 0x80;
constexpr uint8 kRightToLeft = 0x10;
constexpr uint8 kTopToBottom = 0x20;

struct Header {
    uint8 idLength;
    uint8 colorMapType;
    uint8 imageType;
    uint16 colorMapLength;
    uint16 width;
    uint16 height;
    uint8 depth;
    uint8 descriptor;

    int32 AttributeBits() const { return descriptor & 15; }
    int32 BytesPerPixel() const { return depth / 8; }
};

Header ParseHeader(const uint8* b) {
    const auto word = [b](int at) { return static_cast<uint16>(b[at] | b[at + 1] << 8); };
    return {b[0], b[1], b[2], word(5), word(12), word(14), b[16], b[17]};
}

// Null when this reader decodes the image the header describes, else why not.
const char* Refusal(const Header& h) {
    switch (h.imageType) {
        case kTrueColor:
        case kRunLengthTrueColor:
            break;
        case 1:
        case 9:
            return "colour-mapped Targa images are not supported";
        case 3:
        case 11:
            return "greyscale Targa images are not supported";
        default:
            return "unknown Targa image type";
    }
    if (h.colorMapType > 1) {
        return "unknown Targa colour map type";
    }
    const int32 attributes = h.AttributeBits();
    if (!((h.depth == 16 && attributes <= 1) || (h.depth == 24 && attributes == 0) ||
          (h.depth == 32 && (attributes == 0 || attributes == 8)))) {
        return "unsupported Targa pixel depth or attribute bits";
    }
    if (h.width == 0 || h.height == 0) {
        return "Targa image without pixels";
    }
    return nullptr;
}

// Where the bytes come from: a block of memory, or a file read through a buffer.
class Source {
public:
    Source(const uint8* data, size_t size) : mData(data), mEnd(data + size) {}
    // The buffer holds more than the longest row of the largest image.
    Source(std::FILE* file, size_t size) : mFile(file), mLeft(size), mBuffer(1 << 18) {}

    // Bytes not read yet.
    size_t Remaining() const { return static_cast<size_t>(mEnd - mData) + mLeft; }

    // The next `length` bytes, valid until the next call; null when the input ends first.
    const uint8* Take(size_t length) {
        if (static_cast<size_t>(mEnd - mData) < length && !Refill(length)) {
            return nullptr;
        }
        const uint8* taken = mData;
        mData += length;
        return taken;
    }

    bool Skip(size_t length) {
        while (length > 0) {
            const size_t step = std::min(length, mBuffer.empty() ? length : mBuffer.size());
            if (Take(step) == nullptr) {
                return false;
            }
            length -= step;
        }
        return true;
    }

private:
    // Keeps the unread bytes and reads more behind them, for at least `length` in all.
    bool Refill(size_t length) {
        const size_t kept = static_cast<size_t>(mEnd - mData);
        if (mFile == nullptr || kept + mLeft < length || length > mBuffer.size()) {
            return false;
        }
        if (kept > 0) {  // mData is null before the first read
            std::memmove(mBuffer.data(), mData, kept);
        }
        const size_t wanted = std::min(mBuffer.size() - kept, mLeft);
        const size_t got = std::fread(mBuffer.data() + kept, 1, wanted, mFile);
        mLeft = got == wanted ? mLeft - got : 0;  // a file that shrank ends here
        mData = mBuffer.data();
        mEnd = mData + kept + got;
        return kept + got >= length;
    }

    const uint8* mData = nullptr;
    const uint8* mEnd = nullptr;
    std::FILE* mFile = nullptr;
    size_t mLeft = 0;  // file bytes not in the buffer yet
    std::vector<uint8> mBuffer;
};

// --- Pixels ---

void Convert16(const uint8* in, uint32* out, int32 count) {
    for (int32 i = 0; i < count; ++i) {
        const uint32 w = in[2 * i] | in[2 * i + 1] << 8;
        out[i] = (w & 0x8000 ? 0xFF000000u : 0) | (w >> 10 & 31) << 19 | (w >> 5 & 31) << 11 |
                 (w & 31) << 3;
    }
}

void Convert24(const uint8* in, uint32* out, int32 count) {
    for (int32 i = 0; i < count; ++i) {
        out[i] = 0xFF000000u | uint32{in[3 * i + 2]} << 16 | in[3 * i + 1] << 8 | in[3 * i];
    }
}

// File order is the 32-bit pixel's own order in little-endian memory.
void Convert32(const uint8* in, uint32* out, int32 count) {
    std::memcpy(out, in, size_t(count) * 4);
}

// Decodes the pixels of one row after another in file order. Run-length packets may go on
// into the next row, so the packet under way is kept between rows.
class RowDecoder {
public:
    explicit RowDecoder(const Header& h)
        : mBytes(h.BytesPerPixel()),
          mRle(h.imageType == kRunLengthTrueColor),
          mConvert(h.depth == 16   ? Convert16
                   : h.depth == 24 ? Convert24
                                   : Convert32) {}

    // False when the data ends first.
    bool Row(Source& source, uint32* out, int32 width) {
        if (!mRle) {
            const uint8* bytes = source.Take(size_t(width) * mBytes);
            if (bytes == nullptr) {
                return false;
            }
            mConvert(bytes, out, width);
            return true;
        }
        for (int32 x = 0; x < width;) {
            if (mLeft == 0 && !NextPacket(source)) {
                return false;
            }
            const int32 count = std::min(mLeft, width - x);
            if (mRun) {
                std::fill_n(out + x, count, mRunPixel);
            } else {
                const uint8* bytes = source.Take(size_t(count) * mBytes);
                if (bytes == nullptr) {
                    return false;
                }
                mConvert(bytes, out + x, count);
            }
            mLeft -= count;
            x += count;
        }
        return true;
    }

private:
    bool NextPacket(Source& source) {
        const uint8* head = source.Take(1);
        if (head == nullptr) {
            return false;
        }
        mRun = (*head & kRunBit) != 0;
        mLeft = (*head & 0x7F) + 1;
        if (mRun) {
            const uint8* bytes = source.Take(mBytes);
            if (bytes == nullptr) {
                return false;
            }
            mConvert(bytes, &mRunPixel, 1);
        }
        return true;
    }

    int32 mBytes;
    bool mRle;
    void (*mConvert)(const uint8*, uint32*, int32);
    int32 mLeft = 0;  // pixels left in the packet under way
    bool mRun = false;
    uint32 mRunPixel = 0;
};

// The fewest bytes that can hold the image data: every pixel raw, or every 128 in one run.
size_t LeastDataBytes(const Header& h) {
    const size_t pixels = size_t{h.width} * h.height;
    return h.imageType == kRunLengthTrueColor ? (pixels + 127) / 128 * (1 + h.BytesPerPixel())
                                              : pixels * h.BytesPerPixel();
}

std::string SizeText(const Header& h) {
    return std::to_string(h.width) + " x " + std::to_string(h.height);
}

std::unique_ptr<YKRaster> Decode(Source& source, bool native, std::string* error) {
    const uint8* head = source.Take(YKTarga::kHeaderSize);
    if (head == nullptr) {
        yk_set_error(error, "not a Targa file: it is shorter than a header");
        return nullptr;
    }
    const Header h = ParseHeader(head);
    if (const char* refusal = Refusal(h)) {
        yk_set_error(error, refusal);
        return nullptr;
    }
    // The colour map of a true-colour image only suggests colours; it is passed over.
    const size_t colorMapBytes = h.colorMapType == 1 ? size_t{h.colorMapLength} * 3 : 0;
    if (!source.Skip(h.idLength + colorMapBytes)) {
        yk_set_error(error, "Targa file ends inside its header");
        return nullptr;
    }
    if (!yk_image_size_ok(h.width, h.height, 4)) {
        yk_set_error(error, "Targa image of " + SizeText(h) +
                                " pixels is too large (the limit is " +
                                std::to_string(kYKMaxImageSide) + " pixels a side and " +
                                std::to_string(kYKMaxImageBytes >> 20) + " MiB of pixels)");
        return nullptr;
    }
    if (source.Remaining() < LeastDataBytes(h)) {
        yk_set_error(error, "Targa file has too little image data for " + SizeText(h) +
                                " pixels: it is truncated");
        return nullptr;
    }
    std::unique_ptr<YKRaster> raster =
        YKRasterIO::AllocRaster({0, 0, h.width - 1, h.height - 1}, native);
    if (raster == nullptr) {
        yk_set_error(error, "not enough memory for a Targa image of " + SizeText(h) + " pixels");
        return nullptr;
    }
    RowDecoder decoder(h);
    const bool topDown = (h.descriptor & kTopToBottom) != 0;
    const bool mirrored = (h.descriptor & kRightToLeft) != 0;
    uint32 alphas = 0;
    for (int32 row = 0; row < h.height; ++row) {
        auto* out = reinterpret_cast<uint32*>(
            raster->Bits() + int64{topDown ? row : h.height - 1 - row} * raster->BytesPerRow());
        if (!decoder.Row(source, out, h.width)) {
            yk_set_error(error, "Targa image data ends early, in row " + std::to_string(row + 1) +
                                    " of " + std::to_string(h.height) + ": the file is truncated");
            return nullptr;
        }
        if (mirrored) {
            std::reverse(out, out + h.width);
        }
        for (int32 x = 0; x < h.width; ++x) {
            alphas |= out[x];
        }
    }
    // Many writers leave the alpha channel at 0 when they have none to give: such an image is
    // meant to be seen, not to vanish.
    const bool alphaStored = h.depth == 32 || (h.depth == 16 && h.AttributeBits() == 1);
    if (alphaStored && (alphas >> 24) == 0) {
        for (int32 y = 0; y < h.height; ++y) {
            auto* row =
                reinterpret_cast<uint32*>(raster->Bits() + int64{y} * raster->BytesPerRow());
            for (int32 x = 0; x < h.width; ++x) {
                row[x] |= 0xFF000000u;
            }
        }
    }
    return raster;
}

}  // namespace

bool YKTarga::IsReadable(const uint8* bytes, size_t size) {
    return size >= kHeaderSize && Refusal(ParseHeader(bytes)) == nullptr;
}

std::unique_ptr<YKRaster> YKTarga::ReadMemory(const uint8* data, size_t size, bool native,
                                              std::string* error) {
    Source source(data, data != nullptr ? size : 0);
    return Decode(source, native, error);
}

std::unique_ptr<YKRaster> YKTarga::ReadFile(const char* path, bool native, std::string* error) {
    std::string reason;
    std::FILE* file = yk_fopen_input(path, &reason);
    if (file == nullptr) {
        yk_set_error(error, std::string("cannot open ") + path + ": " + reason);
        return nullptr;
    }
    const long length = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    std::rewind(file);
    Source source(file, length > 0 ? static_cast<size_t>(length) : 0);
    std::unique_ptr<YKRaster> raster = Decode(source, native, error);
    std::fclose(file);
    return raster;
}
