// Still GIF export: one raster, one palette, cropped to what shows over a transparent background.

#include "YKRaster.h"
#include "YKRasterSteps.h"
#include "YKSimpleGifIO.h"
#include "yk_gif_export_internal.h"
#include "yk_io_error_internal.h"

bool YKSimpleGifIO::Write(const char* path, const YKRaster& raster, const YKMessage* options,
                          YKRasterProgress* progress, std::string* error) const {
    using namespace yk_gif_export;
    YKRasterSteps steps(progress, 5);
    const auto cancelled = [error] {
        yk_set_error(error, "cancelled");
        return false;
    };
    if (!steps.Begin(1, "Gathering Raster Info…")) {
        return cancelled();
    }
    if (raster.Bits() == nullptr || raster.BytesPerPixel() != 4) {
        yk_set_error(error, "nothing to write: the raster has no 32-bit pixels");
        return steps.End(false);
    }
    Options settings;
    Palette palette;
    if (!settings.Read(options, error) ||
        !palette.Begin(settings, raster.Width(), raster.Height(), 1, error)) {
        return steps.End(false);
    }
    std::unique_ptr<YKRaster> image = cropRaster(raster, raster.Bounds());
    if (image == nullptr) {
        yk_set_error(error, "out of memory");
        return steps.End(false);
    }

    if (!steps.Begin(2, "Adjusting Transparency…")) {
        return cancelled();
    }
    AdjustTransparency(*image, settings.back, false);
    std::vector<Frame> frames(1);
    Frame& frame = frames.front();
    const YKRect<int32> crop =
        settings.TransparentBack() ? cropFrame(settings.back, *image) : image->Bounds();
    frame.left = crop.left;
    frame.top = crop.top;
    frame.pixels = crop == image->Bounds() ? std::move(image) : cropRaster(*image, crop);
    if (frame.pixels == nullptr) {
        yk_set_error(error, "out of memory");
        return steps.End(false);
    }

    if (!steps.Begin(3, "Computing Color Palette…")) {
        return cancelled();
    }
    palette.Learn(*frame.pixels);
    palette.Finish();
    if (!steps.Begin(4, "Dithering Image…")) {
        return cancelled();
    }
    palette.Quantize(frame);
    palette.Compact(frames);
    if (!steps.Begin(5, "Writing Image…")) {
        return cancelled();
    }
    return steps.End(WriteFile(
        path, raster.Width(), raster.Height(), palette.Cmap(), frames, settings,
        [](std::size_t) { return true; }, error));
}
