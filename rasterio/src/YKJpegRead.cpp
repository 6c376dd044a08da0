// JPEG reading: libjpeg decodes into the raster's rows as blue, green, red, alpha 255 (the
// 32-bit pixel's order in little-endian memory); only CMYK needs a conversion of ours.

#include <bit>
#include <vector>

#include "YKJpegIO.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "yk_file_head_internal.h"
#include "yk_image_limits.h"
#include "yk_io_error_internal.h"
#include "yk_jpeg_internal.h"

static_assert(std::endian::native == std::endian::little,
              "libjpeg is asked for blue, green, red, alpha bytes: the 32-bit pixel's order in "
              "little-endian memory");

namespace {

// Progressive files can hold any number of scans, each a pass over the whole image; a few
// bytes apiece, thousands of them would keep the reader busy for minutes.
constexpr int kMaxScans = 500;

struct Decoder {
    jpeg_decompress_struct cinfo;
    yk_jpeg::Errors errors;
    jpeg_progress_mgr progress;
};

void LimitScans(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        auto& errors = *reinterpret_cast<yk_jpeg::Errors*>(cinfo->err);
        std::snprintf(errors.error, sizeof errors.error, "more than %d scans", kMaxScans);
        std::longjmp(errors.jump, 1);
    }
}

// Where the bytes come from: a file or a block of memory.
struct Input {
    std::FILE* file = nullptr;
    const uint8* data = nullptr;
    size_t size = 0;
};

// Plain locals only (setjmp).
bool Create(Decoder* d) {
    d->cinfo.err = yk_jpeg::InitErrors(d->errors);
    if (setjmp(d->errors.jump)) {
        return false;
    }
    jpeg_create_decompress(&d->cinfo);
    // Coefficient buffers of progressive files grow with the declared size; they stay within
    // what the largest raster takes.
    d->cinfo.mem->max_memory_to_use = kYKMaxImageBytes;
    d->progress.progress_monitor = LimitScans;
    d->cinfo.progress = &d->progress;
    return true;
}

// Plain locals only (setjmp).
bool ReadHeader(Decoder* d, const Input* input) {
    if (setjmp(d->errors.jump)) {
        return false;
    }
    // Empty memory is refused here already.
    if (input->file != nullptr) {
        jpeg_stdio_src(&d->cinfo, input->file);
    } else {
        jpeg_mem_src(&d->cinfo, input->data, static_cast<unsigned long>(input->size));
    }
    jpeg_read_header(&d->cinfo, TRUE);
    return true;
}

bool IsCmyk(const jpeg_decompress_struct& cinfo) {
    return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

// libjpeg turns YCCK into CMYK but not CMYK into RGB. Adobe's files store the inks inverted
// (255 is no ink), the others as they are.
void CmykToPixels(const uint8* cmyk, uint32* out, JDIMENSION width, bool inverted) {
    const uint32 flip = inverted ? 0 : 255;
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4) {
        const uint32 k = cmyk[3] ^ flip;
        const auto channel = [&](int i) { return ((cmyk[i] ^ flip) * k + 127) / 255; };
        out[x] = 0xFF000000u | channel(0) << 16 | channel(1) << 8 | channel(2);
    }
}

// Decodes every row into `raster`; `cmyk` holds one row of four bytes a pixel for a CMYK file.
// Plain locals only (setjmp).
bool Decompress(Decoder* d, YKRaster* raster, uint8* cmyk) {
    if (setjmp(d->errors.jump)) {
        return false;
    }
    jpeg_decompress_struct& cinfo = d->cinfo;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        uint8* row = raster->Bits() + int64{cinfo.output_scanline} * raster->BytesPerRow();
        JSAMPROW target = cmyk != nullptr ? cmyk : row;
        jpeg_read_scanlines(&cinfo, &target, 1);
        if (cmyk != nullptr) {
            CmykToPixels(cmyk, reinterpret_cast<uint32*>(row), cinfo.output_width,
                         cinfo.saw_Adobe_marker);
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

std::unique_ptr<YKRaster> Decode(const Input& input, YKMessage* info, bool native,
                                 std::string* error) {
    Decoder d{};
    const bool created = Create(&d);
    std::unique_ptr<YKRaster> raster;
    std::vector<uint8> cmyk;
    if (!created) {
        yk_set_error(error, std::string("cannot read the JPEG file: ") + d.errors.error);
        return nullptr;
    }
    if (!ReadHeader(&d, &input)) {
        yk_set_error(error, std::string("JPEG header refused: ") + d.errors.error);
    } else if (!yk_image_size_ok(d.cinfo.image_width, d.cinfo.image_height, 4)) {
        yk_set_error(error, "JPEG image of " + std::to_string(d.cinfo.image_width) + " x " +
                                std::to_string(d.cinfo.image_height) +
                                " pixels is too large (the limit is " +
                                std::to_string(kYKMaxImageSide) + " pixels a side and " +
                                std::to_string(kYKMaxImageBytes >> 20) + " MiB of pixels)");
    } else {
        d.cinfo.out_color_space = IsCmyk(d.cinfo) ? JCS_CMYK : JCS_EXT_BGRA;
        raster = YKRasterIO::AllocRaster({0, 0, static_cast<int32>(d.cinfo.image_width) - 1,
                                          static_cast<int32>(d.cinfo.image_height) - 1},
                                         native);
        if (raster == nullptr) {
            yk_set_error(error, "not enough memory for the JPEG image");
        } else {
            if (IsCmyk(d.cinfo)) {
                cmyk.resize(size_t{d.cinfo.image_width} * 4);
            }
            if (!Decompress(&d, raster.get(), cmyk.empty() ? nullptr : cmyk.data())) {
                yk_set_error(error, std::string("JPEG image data refused: ") + d.errors.error);
                raster.reset();
            } else if (info != nullptr && d.errors.manager.num_warnings > 0) {
                info->AddString(YKRasterIO::kWarningField,
                                std::string("JPEG data damaged: ") + d.errors.warning);
            }
        }
    }
    jpeg_destroy_decompress(&d.cinfo);
    return raster;
}

}  // namespace

std::unique_ptr<YKRaster> YKJpegIO::ReadMemory(const uint8* data, size_t size, YKMessage* info,
                                               std::string* error) {
    Input input;
    input.data = data;
    input.size = data != nullptr ? size : 0;
    return Decode(input, info, false, error);
}

std::unique_ptr<YKRaster> YKJpegIO::Read(const char* path, YKMessage* info, bool native,
                                         std::string* error) const {
    std::string reason;
    Input input;
    input.file = yk_fopen_input(path, &reason);
    if (input.file == nullptr) {
        yk_set_error(error, std::string("cannot open ") + path + ": " + reason);
        return nullptr;
    }
    std::unique_ptr<YKRaster> raster = Decode(input, info, native, error);
    std::fclose(input.file);
    return raster;
}

bool YKJpegIO::Accept(const char* path) const {
    // Every JPEG starts with the SOI marker; anything else is turned away without libjpeg.
    uint8 soi[2];
    if (yk_read_file_head(path, soi, 2) != 2 || soi[0] != 0xFF || soi[1] != 0xD8) {
        return false;
    }
    Input input;
    input.file = yk_fopen_input(path);
    if (input.file == nullptr) {
        return false;
    }
    Decoder d{};
    const bool accepted = Create(&d) && ReadHeader(&d, &input);
    jpeg_destroy_decompress(&d.cinfo);
    std::fclose(input.file);
    return accepted;
}
