// Animated GIF export: every frame through one palette; after the first, each frame holds only
// what changed since the frame before.

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "YKAnimGifIO.h"
#include "YKAnimationSource.h"
#include "YKRaster.h"
#include "YKRasterSteps.h"
#include "YKWriteGif.h"
#include "yk_anim_export_internal.h"
#include "yk_gif_export_internal.h"
#include "yk_image_limits.h"
#include "yk_io_error_internal.h"

namespace {

using yk_anim_export::Hundredths;
using yk_anim_export::Shown;
using yk_anim_export::ShownFrames;
using yk_gif_export::Frame;

YKRect<int32> PlaceOf(const Frame& frame) {
    return {frame.left, frame.top, frame.left + frame.pixels->Width() - 1,
            frame.top + frame.pixels->Height() - 1};
}

// A disposal clears only the frame's own rectangle, so the frame before one that must start
// from a clear screen grows (with transparent pixels) over everything the screen shows then.
bool ClearAfter(Frame& frame, const YKRaster& shown, uint32 back) {
    frame.flags = YKWriteGif::kDisposeBackground;
    const YKRect<int32> place = PlaceOf(frame);
    const YKRect<int32> visible = YKRasterIO::cropFrame(back, shown);
    const YKRect<int32> grown = {
        std::min(place.left, visible.left), std::min(place.top, visible.top),
        std::max(place.right, visible.right), std::max(place.bottom, visible.bottom)};
    if (grown == place) {
        return true;
    }
    std::unique_ptr<YKRaster> pixels =
        YKRasterIO::AllocRaster({0, 0, grown.right - grown.left, grown.bottom - grown.top}, false);
    if (pixels == nullptr) {
        return false;
    }
    const uint32 unchanged = back & 0x00FFFFFF;
    for (int32 y = 0; y < pixels->Height(); ++y) {
        auto* row = reinterpret_cast<uint32*>(pixels->Bits() + int64{y} * pixels->BytesPerRow());
        std::fill(row, row + pixels->Width(), unchanged);
        const int32 sourceRow = y + grown.top - place.top;
        if (sourceRow >= 0 && sourceRow < frame.pixels->Height()) {
            std::memcpy(row + (place.left - grown.left),
                        frame.pixels->Bits() + int64{sourceRow} * frame.pixels->BytesPerRow(),
                        std::size_t(frame.pixels->Width()) * 4);
        }
    }
    frame.pixels = std::move(pixels);
    frame.left = grown.left;
    frame.top = grown.top;
    return true;
}

}  // namespace

bool YKAnimGifIO::Write(const char* path, YKAnimationSource& source, const YKMessage* options,
                        YKRasterProgress* progress, std::string* error) const {
    using namespace yk_gif_export;
    Options settings;
    if (!settings.Read(options, error)) {
        return false;
    }
    const std::vector<Shown> shown = ShownFrames(source);
    if (shown.empty()) {
        yk_set_error(error, "nothing to write: the animation has no usable frame");
        return false;
    }
    const int32 count = static_cast<int32>(shown.size());
    YKRasterSteps steps(progress, 4 * count + 1);
    int32 step = 0;
    bool cancelled = false;
    const auto begin = [&](const char* format, int32 frame) {
        char text[64];
        std::snprintf(text, sizeof text, format, frame);
        cancelled = !steps.Begin(++step, text);
        if (cancelled) {
            yk_set_error(error, "cancelled");
        }
        return !cancelled;
    };
    const auto fail = [&](const std::string& text) {
        yk_set_error(error, text);
        return steps.End(false);
    };

    // --- Gathering: the first frame cropped, the others as differences ---
    Palette palette;
    std::vector<Frame> frames;
    std::unique_ptr<YKRaster> first;
    std::unique_ptr<YKRaster> previous;
    int64 bytes = 0;
    int32 width = 0;
    int32 height = 0;
    for (const Shown& item : shown) {
        if (!begin("Frame #%d -- Gathering Raster", item.frame)) {
            return false;
        }
        std::string why;
        std::unique_ptr<YKRaster> current = source.RenderFrame(item.frame, &why);
        if (current == nullptr || current->Bits() == nullptr || current->BytesPerPixel() != 4) {
            return fail("frame " + std::to_string(item.frame) + ": " +
                        (why.empty() ? std::string("no 32-bit pixels") : why));
        }
        if (previous == nullptr) {
            width = current->Width();
            height = current->Height();
            if (!palette.Begin(settings, current->Width(), current->Height(), count, error)) {
                return steps.End(false);
            }
        } else if (current->Width() != previous->Width() ||
                   current->Height() != previous->Height()) {
            return fail("frame " + std::to_string(item.frame) + " is not the size of the first");
        }
        AdjustTransparency(*current, settings.back, false);

        if (!begin("Frame #%d -- Grabbing Colors", item.frame)) {
            return false;
        }
        Frame frame;
        // Every frame stays until one after it asks for a clear screen (ClearAfter).
        frame.flags = YKWriteGif::kDisposeNone;
        frame.delay = settings.useSpeed ? settings.speed : Hundredths(item.duration);
        // The disposal that clears for this frame belongs to the frame shown before it.
        if (TakeChange(previous.get(), *current, settings, frame) ==
                YKWriteGif::kDisposeBackground &&
            !ClearAfter(frames.back(), *previous, settings.back)) {
            return fail("out of memory");
        }
        if (frame.pixels == nullptr) {
            return fail("out of memory");
        }
        bytes += frame.pixels->BitsLength();
        if (bytes > kYKMaxImageBytes) {
            return fail("the frames to write exceed 1 GiB");
        }
        palette.Learn(*frame.pixels);
        frames.push_back(std::move(frame));
        if (settings.loop >= 0 && first == nullptr) {
            first = current->DuplicateRaster(YK_RASTER_OWN);
        }
        previous = std::move(current);
    }
    // Looping back to the first frame is one more change of frame.
    if (first != nullptr && count > 1) {
        int32 left = 0;
        int32 top = 0;
        int32 flags = 0;
        if (getFrameDiff(previous.get(), *first, &left, &top, settings.back, false, &flags) ==
            nullptr) {
            return fail("out of memory");
        }
        if (flags == YKWriteGif::kDisposeBackground &&
            !ClearAfter(frames.back(), *previous, settings.back)) {
            return fail("out of memory");
        }
    }
    first.reset();
    previous.reset();

    // --- One palette for all frames ---
    if (!steps.Begin(++step, palette.IsFixed() ? "Using Preset Palette"
                                               : "Optimizing Global Color Palette")) {
        yk_set_error(error, "cancelled");
        return false;
    }
    palette.Finish();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (!begin("Frame #%d -- Dithering", shown[i].frame)) {
            return false;
        }
        palette.Quantize(frames[i]);
    }
    palette.Compact(frames);
    ChooseKeptPixels(frames, width, height, palette.Cmap(), settings.interlace);

    const bool written = WriteFile(
        path, width, height, palette.Cmap(), frames, settings,
        [&](std::size_t i) { return begin("Frame #%d -- Saving", shown[i].frame); }, error);
    return cancelled ? false : steps.End(written);
}
