// What the animation writers share: shown frames, common options, the run through the frames.

#include <algorithm>
#include <cmath>
#include <memory>

#include "YKAnimationSource.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKRasterFilters.h"
#include "YKRasterIO.h"
#include "YKRasterSteps.h"
#include "YKReplacedFile.h"
#include "yk_anim_export_internal.h"
#include "yk_io_error_internal.h"

namespace yk_anim_export {

namespace {

constexpr int32 kMaxHundredths = 0xFFFF;

}  // namespace

// --- Frames and their timing ---

std::vector<Shown> ShownFrames(const YKAnimationSource& source) {
    std::vector<Shown> shown;
    for (int32 f = source.FirstFrame(); f <= source.LastFrame(); ++f) {
        if (source.FrameUsable(f)) {
            shown.push_back({f, source.FrameDuration(f)});
        } else if (!shown.empty()) {
            shown.back().duration += source.FrameDuration(f);
        }
    }
    return shown;
}

int32 Hundredths(float duration) {
    return std::isnan(duration)
               ? 0
               : static_cast<int32>(std::clamp(duration, 0.0f, static_cast<float>(kMaxHundredths)));
}

int32 PlayCount(const YKMessage* options) {
    int32 loop = 0;
    if (options == nullptr || !options->FindInt32("gif_loop", &loop)) {
        return 1;
    }
    loop = std::clamp(loop, 0, kMaxHundredths);
    return loop == 0 ? 0 : loop + 1;
}

// --- Options ---

void Options::Read(const YKMessage* options) {
    plays = PlayCount(options);
    if (options == nullptr) {
        return;
    }
    options->FindBool("ra_hasbackcol", &hasBack);
    int32 value = 0;
    if (options->FindInt32("ra_back_col", &value)) {
        back = static_cast<uint32>(value);
    }
    options->FindBool("gif_use_speed", &useSpeed);
    if (options->FindInt32("gif_speed", &speed)) {
        speed = std::clamp(speed, 0, kMaxHundredths);
    }
}

int32 Options::Delay(const Shown& shown) const {
    return useSpeed ? speed : Hundredths(shown.duration);
}

// --- The run ---

bool Run(const char* path, const char* mime, YKAnimationSource& source, const Options& options,
         Coder& coder, YKRasterProgress* progress, std::string* error) {
    const std::vector<Shown> shown = ShownFrames(source);
    if (shown.empty()) {
        yk_set_error(error, "nothing to write: the animation has no usable frame");
        return false;
    }
    const auto count = static_cast<int32>(shown.size());
    YKRasterSteps steps(progress, count + 1);
    const auto fail = [&](const std::string& text) {
        yk_set_error(error, text);
        return steps.End(false);
    };
    // Made first, so that a path that cannot be written fails before any frame is rendered.
    YKReplacedFile file(path);
    if (file.Stream() == nullptr) {
        return fail("cannot write the file: " + file.Error());
    }
    int32 width = 0;
    int32 height = 0;
    for (int32 i = 0; i < count; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "Frame #%d -- Encoding", shown[i].frame);
        if (!steps.Begin(i + 1, text)) {
            yk_set_error(error, "cancelled");
            return false;
        }
        std::string why;
        std::unique_ptr<YKRaster> frame = source.RenderFrame(shown[i].frame, &why);
        if (frame == nullptr || frame->Bits() == nullptr || frame->BytesPerPixel() != 4) {
            return fail("frame " + std::to_string(shown[i].frame) + ": " +
                        (why.empty() ? std::string("no 32-bit pixels") : why));
        }
        if (i == 0) {
            width = frame->Width();
            height = frame->Height();
            if (!coder.Begin(file.Stream(), width, height, count, error)) {
                return steps.End(false);
            }
        } else if (frame->Width() != width || frame->Height() != height) {
            return fail("frame " + std::to_string(shown[i].frame) +
                        " is not the size of the first");
        }
        if (options.hasBack) {
            YKRasterIO::RemoveTransparency(*frame, options.back);
        }
        if (!coder.Add(*frame, options.Delay(shown[i]), error)) {
            return steps.End(false);
        }
    }
    if (!steps.Begin(count + 1, "Saving")) {
        yk_set_error(error, "cancelled");
        return false;
    }
    if (!coder.Finish(error)) {
        return steps.End(false);
    }
    if (std::ferror(file.Stream()) != 0 || !file.Commit()) {
        return fail("cannot write the file: " + (file.Error().empty()
                                                     ? std::string("the disk refused the data")
                                                     : file.Error()));
    }
    YKRasterFilters::SetMimeType(path, mime);
    return steps.End(true);
}

}  // namespace yk_anim_export
