// Targa files through the registry.

#include "YKTargaIO.h"

#include "YKMessage.h"
#include "YKRaster.h"
#include "YKRasterSteps.h"
#include "YKTarga.h"
#include "yk_file_head_internal.h"
#include "yk_io_error_internal.h"

bool YKTargaIO::Accept(const char* path) const {
    uint8 head[YKTarga::kHeaderSize];
    return YKTarga::IsReadable(head, yk_read_file_head(path, head, sizeof head));
}

std::unique_ptr<YKRaster> YKTargaIO::Read(const char* path, YKMessage*, bool native,
                                          std::string* error) const {
    return YKTarga::ReadFile(path, native, error);
}

bool YKTargaIO::Write(const char* path, const YKRaster& raster, const YKMessage* options,
                      YKRasterProgress* progress, std::string* error) const {
    bool hasBack = false;
    bool saveAlpha = false;
    bool rle = false;
    int32 back = -1;  // opaque white
    if (options != nullptr) {
        options->FindBool("ra_hasbackcol", &hasBack);
        options->FindBool("targa_save_alpha", &saveAlpha);
        options->FindBool("targa_rle_compress", &rle);
        options->FindInt32("ra_back_col", &back);
    }
    YKRasterSteps steps(progress, hasBack ? 3 : 2);
    int32 step = 1;
    if (!steps.Begin(step++, "Gathering Raster Info…")) {
        yk_set_error(error, "cancelled");
        return false;
    }
    const YKRaster* source = &raster;
    std::unique_ptr<YKRaster> composed;
    if (hasBack) {
        if (!steps.Begin(step++, "Composing Alpha Layer…")) {
            yk_set_error(error, "cancelled");
            return false;
        }
        composed = raster.DuplicateRaster(YK_RASTER_OWN);
        const uint32 under = saveAlpha ? static_cast<uint32>(back) : back | 0xFF000000u;
        AdjustTransparency(*composed, under, true);
        source = composed.get();
    }
    if (!steps.Begin(step, "Saving TARGA file…")) {
        yk_set_error(error, "cancelled");
        return false;
    }
    return steps.End(YKTarga::WriteFile(path, *source, saveAlpha ? 32 : 24, rle, error));
}
