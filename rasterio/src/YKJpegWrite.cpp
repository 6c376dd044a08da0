// JPEG writing. libjpeg takes the raster's rows as they are (blue, green, red and a byte it
// ignores); only rows with transparency are first composed over the background, in a buffer.

#include <algorithm>
#include <vector>

#include "YKJpegIO.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKRasterFilters.h"
#include "YKRasterSteps.h"
#include "YKReplacedFile.h"
#include "yk_io_error_internal.h"
#include "yk_jpeg_internal.h"

namespace {

// Rows handed to libjpeg at a time: as many as one pass of 4:2:0 subsampling takes.
constexpr int32 kBatch = 16;

struct Settings {
    uint32 back = 0xFFFFFFFF;
    int quality = YKJpegIO::kDefaultQuality;
    bool progressive = false;
};

bool Opaque(const uint32* row, int32 width) {
    uint32 alphas = 0xFF000000u;
    for (int32 x = 0; x < width; ++x) {
        alphas &= row[x];
    }
    return alphas == 0xFF000000u;
}

// Points `rows` at `count` raster rows from `y`; a row with transparency is first composed over
// the background in `scratch` (kBatch rows of the raster's width). The scratch is made for the
// first such row only: opaque pictures, the usual case, then need no buffer, whose allocation
// and release made the heap grow and shrink, with fresh pages to fault in, on every write.
void PrepareRows(const YKRaster& raster, int32 y, int32 count, uint32 back,
                 std::vector<uint32>* scratch, JSAMPROW* rows) {
    const int32 width = raster.Width();
    for (int32 i = 0; i < count; ++i) {
        auto* row = reinterpret_cast<uint32*>(raster.Bits() + int64{y + i} * raster.BytesPerRow());
        if (!Opaque(row, width)) {
            scratch->resize(size_t(kBatch) * width);
            uint32* copy = scratch->data() + int64{i} * width;
            std::copy_n(row, width, copy);
            YKRasterIO::AdjustTransparency(copy, width, back, false);
            row = copy;
        }
        rows[i] = reinterpret_cast<JSAMPROW>(row);
    }
}

// Plain locals only (setjmp).
bool Compress(jpeg_compress_struct* cinfo, yk_jpeg::Errors* errors, std::FILE* out,
              const YKRaster* raster, const Settings* settings, std::vector<uint32>* scratch) {
    if (setjmp(errors->jump)) {
        return false;
    }
    jpeg_create_compress(cinfo);
    jpeg_stdio_dest(cinfo, out);
    cinfo->image_width = static_cast<JDIMENSION>(raster->Width());
    cinfo->image_height = static_cast<JDIMENSION>(raster->Height());
    cinfo->input_components = 4;
    cinfo->in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, settings->quality, FALSE);
    if (settings->progressive) {
        jpeg_simple_progression(cinfo);
    }
    jpeg_start_compress(cinfo, TRUE);
    JSAMPROW rows[kBatch];
    while (cinfo->next_scanline < cinfo->image_height) {
        const auto y = static_cast<int32>(cinfo->next_scanline);
        const int32 count = std::min(kBatch, raster->Height() - y);
        PrepareRows(*raster, y, count, settings->back, scratch, rows);
        jpeg_write_scanlines(cinfo, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_compress(cinfo);
    return true;
}

bool WriteJpeg(const char* path, const YKRaster& raster, const Settings& settings,
               std::string* error) {
    YKReplacedFile file(path);
    if (file.Stream() == nullptr) {
        yk_set_error(error, std::string("cannot write the JPEG file: ") + file.Error());
        return false;
    }
    std::vector<uint32> scratch;
    jpeg_compress_struct cinfo{};
    yk_jpeg::Errors errors;
    cinfo.err = yk_jpeg::InitErrors(errors);
    const bool written = Compress(&cinfo, &errors, file.Stream(), &raster, &settings, &scratch);
    jpeg_destroy_compress(&cinfo);
    if (!written) {
        yk_set_error(error, std::string("cannot write the JPEG file: ") + errors.error);
        return false;
    }
    if (!file.Commit()) {
        yk_set_error(error, std::string("cannot write the JPEG file: ") + file.Error());
        return false;
    }
    YKRasterFilters::SetMimeType(path, "image/jpg");
    return true;
}

}  // namespace

bool YKJpegIO::Write(const char* path, const YKRaster& raster, const YKMessage* options,
                     YKRasterProgress* progress, std::string* error) const {
    if (raster.Bits() == nullptr || raster.BytesPerPixel() != 4) {
        yk_set_error(error, "nothing to write: the raster has no 32-bit pixels");
        return false;
    }
    Settings settings;
    if (options != nullptr) {
        int32 back = -1;
        int32 quality = kDefaultQuality;
        options->FindInt32("ra_back_col", &back);
        options->FindInt32("jpeg_quality", &quality);
        options->FindBool("ra_interlace", &settings.progressive);
        settings.back = static_cast<uint32>(back) | 0xFF000000u;
        // Beyond the range libjpeg would scale its tables past their limits.
        settings.quality = std::clamp(quality, 0, 100);
    }
    YKRasterSteps steps(progress, 3);
    // Transparency is composed row by row while saving; the step is shown all the same.
    for (const auto& [step, text] : {std::pair{1, "Gathering Raster Info…"},
                                     {2, "Adjusting Transparency…"},
                                     {3, "Saving JPEG file...…"}}) {
        if (!steps.Begin(step, text)) {
            yk_set_error(error, "cancelled");
            return false;
        }
    }
    return steps.End(WriteJpeg(path, raster, settings, error));
}
