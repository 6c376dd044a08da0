// PNG reading: any colour type and depth into 32-bit pixels (blue, green, red, alpha in memory).
//
// Stages: the header, then the size checks and the raster, then the rows. Only the header and
// the rows call libpng; the checks between them refuse a file before anything large is made.

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "YKPngIO.h"
#include "YKRaster.h"
#include "yk_file_head_internal.h"
#include "yk_image_limits.h"
#include "yk_io_error_internal.h"
#include "yk_png_internal.h"

static_assert(std::endian::native == std::endian::little,
              "libpng is asked for blue, green, red, alpha bytes: the 32-bit pixel's order in "
              "little-endian memory");

namespace {

constexpr size_t kSignatureLength = 8;
// No chunk libpng keeps (a palette, tRNS) needs more.
constexpr png_alloc_size_t kChunkMallocMax = 1 << 20;
// Deflate turns one byte into at most 1032, so a file holds at most this much image data per
// byte of its length; a larger declared image is a lie or a truncation.
constexpr int64 kMaxInflateRatio = 1032;

// Where the bytes come from: a file or a block of memory.
struct Input {
    std::FILE* file = nullptr;
    const uint8* data = nullptr;
    size_t size = 0;  // the whole length; the largest size_t for a file of unknown length
    size_t offset = 0;
};

// How many of `length` bytes could be read.
size_t Take(Input& input, uint8* out, size_t length) {
    if (input.file != nullptr) {
        return std::fread(out, 1, length, input.file);
    }
    const size_t got = std::min(length, input.size - input.offset);
    if (got > 0) {
        std::memcpy(out, input.data + input.offset, got);
    }
    input.offset += got;
    return got;
}

void ReadInput(png_structp png, png_bytep out, size_t length) {
    if (Take(*static_cast<Input*>(png_get_io_ptr(png)), out, length) != length) {
        png_error(png, "the data ends early: the file is truncated");
    }
}

// `length` bytes at `offset`; how many could be had. Moves a file's read position.
size_t ReadAt(const Input& input, size_t offset, uint8* out, size_t length) {
    if (input.file == nullptr) {
        if (offset >= input.size) {
            return 0;
        }
        const size_t got = std::min(length, input.size - offset);
        std::memcpy(out, input.data + offset, got);
        return got;
    }
    return std::fseek(input.file, static_cast<long>(offset), SEEK_SET) == 0
               ? std::fread(out, 1, length, input.file)
               : 0;
}

// The image data bytes the input holds: the IDAT chunks walked from the signature on, each
// counted only as far as the input goes. A file cut short, or a header claiming more than
// any such data inflates to, is caught by this before the image is allocated.
int64 IdatBytes(const Input& input) {
    const long resume = input.file != nullptr ? std::ftell(input.file) : 0;
    int64 total = 0;
    size_t offset = kSignatureLength;
    uint8 head[8];
    while (offset <= LONG_MAX - sizeof head &&
           ReadAt(input, offset, head, sizeof head) == sizeof head) {
        const size_t length = png_get_uint_32(head);
        offset += sizeof head;
        if (std::memcmp(head + 4, "IDAT", 4) == 0) {
            total +=
                static_cast<int64>(std::min(length, input.size - std::min(offset, input.size)));
        } else if (std::memcmp(head + 4, "IEND", 4) == 0) {
            break;
        }
        if (length > input.size - std::min(offset, input.size)) {
            break;
        }
        offset += length + 4;
    }
    if (input.file != nullptr) {
        std::fseek(input.file, resume, SEEK_SET);
    }
    return total;
}

// The image as libpng will deliver it, once the transformations are set.
struct Layout {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
    size_t rowBytes = 0;
};

// Reads up to the image data and asks for 8-bit BGRA rows. Plain locals only (setjmp).
bool ReadHeader(png_structp png, png_infop info, Layout* layout) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    png_get_IHDR(png, info, &layout->width, &layout->height, &layout->bitDepth, &layout->colorType,
                 &layout->interlace, nullptr, nullptr);
    const bool grey = (layout->colorType & PNG_COLOR_MASK_COLOR) == 0;
    if (layout->colorType == PNG_COLOR_TYPE_PALETTE || (grey && layout->bitDepth < 8) ||
        png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_expand(png);
    }
    if (layout->bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (layout->bitDepth < 8) {
        png_set_packing(png);
    }
    if (grey) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    layout->rowBytes = png_get_rowbytes(png, info);
    return true;
}

// Plain locals only (setjmp).
bool ReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// Bytes of filtered image data the declared header needs, interlacing aside.
int64 DataBytes(const Layout& layout) {
    int64 channels = 1;
    if (layout.colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        channels = 2;
    } else if (layout.colorType == PNG_COLOR_TYPE_RGB) {
        channels = 3;
    } else if (layout.colorType == PNG_COLOR_TYPE_RGB_ALPHA) {
        channels = 4;
    }
    const int64 rowBits = int64{layout.width} * layout.bitDepth * channels;
    return int64{layout.height} * ((rowBits + 7) / 8 + 1);
}

std::unique_ptr<YKRaster> ReadPng(Input& input, bool native, std::string* error) {
    uint8 signature[kSignatureLength] = {};
    if (!YKPngIO::IsPng(signature, Take(input, signature, kSignatureLength))) {
        yk_set_error(error, "not a PNG file");
        return nullptr;
    }
    yk_png::ErrorSink sink;
    yk_png::Handle handle(false, &sink);
    if (!handle.IsValid()) {
        yk_set_error(error, "out of memory");
        return nullptr;
    }
    png_set_read_fn(handle.png, &input, ReadInput);
    png_set_sig_bytes(handle.png, kSignatureLength);
    png_set_user_limits(handle.png, kYKMaxImageSide, kYKMaxImageSide);
    png_set_chunk_malloc_max(handle.png, kChunkMallocMax);
    // Only the palette and tRNS matter to a raster; every other chunk is skipped unread.
    png_set_keep_unknown_chunks(handle.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    Layout layout;
    if (!ReadHeader(handle.png, handle.info, &layout)) {
        yk_set_error(error, "PNG header refused: " + yk_png::ErrorText(sink));
        return nullptr;
    }
    const std::string size = std::to_string(layout.width) + " x " + std::to_string(layout.height);
    if (!yk_image_size_ok(layout.width, layout.height, 4)) {
        yk_set_error(error, "PNG image of " + size + " pixels is too large (the limit is " +
                                std::to_string(kYKMaxImageSide) + " pixels a side and " +
                                std::to_string(kYKMaxImageBytes >> 20) + " MiB of pixels)");
        return nullptr;
    }
    if (DataBytes(layout) / kMaxInflateRatio > IdatBytes(input)) {
        yk_set_error(error, "PNG file has too little image data for " + size + " pixels");
        return nullptr;
    }
    if (layout.rowBytes != size_t{layout.width} * 4) {
        yk_set_error(error, "unexpected PNG row layout");
        return nullptr;
    }
    std::unique_ptr<YKRaster> raster = YKRasterIO::AllocRaster(
        {0, 0, static_cast<int32>(layout.width) - 1, static_cast<int32>(layout.height) - 1},
        native);
    if (raster == nullptr) {
        yk_set_error(error, "not enough memory for a PNG image of " + size + " pixels");
        return nullptr;
    }
    std::vector<png_bytep> rows(layout.height);
    for (png_uint_32 y = 0; y < layout.height; ++y) {
        rows[y] = raster->Bits() + int64{y} * raster->BytesPerRow();
    }
    sink.warning[0] = '\0';
    if (!ReadRows(handle.png, rows.data())) {
        yk_set_error(error, "PNG image data refused: " + yk_png::ErrorText(sink));
        return nullptr;
    }
    return raster;
}

std::unique_ptr<YKRaster> ReadPngFile(const char* path, bool native, std::string* error) {
    std::string reason;
    std::FILE* file = yk_fopen_input(path, &reason);
    if (file == nullptr) {
        yk_set_error(error, std::string("cannot open ") + path + ": " + reason);
        return nullptr;
    }
    Input input;
    input.file = file;
    const long length = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    std::rewind(file);
    input.size = length >= 0 ? static_cast<size_t>(length) : SIZE_MAX;
    std::unique_ptr<YKRaster> raster = ReadPng(input, native, error);
    std::fclose(file);
    return raster;
}

}  // namespace

bool YKPngIO::IsPng(const uint8* bytes, size_t size) {
    return size >= kSignatureLength && png_sig_cmp(bytes, 0, kSignatureLength) == 0;
}

bool YKPngIO::Accept(const char* path) const {
    uint8 head[kSignatureLength];
    return IsPng(head, yk_read_file_head(path, head, sizeof head));
}

std::unique_ptr<YKRaster> YKPngIO::Read(const char* path, YKMessage*, bool native,
                                        std::string* error) const {
    return ReadPngFile(path, native, error);
}

YKRaster* YKPngIO::Read(const char* path, std::string* error) {
    return ReadPngFile(path, false, error).release();
}

YKRaster* YKPngIO::ReadMemory(const uint8* data, size_t size, std::string* error) {
    Input input;
    input.data = data;
    input.size = data != nullptr ? size : 0;
    return ReadPng(input, false, error).release();
}
