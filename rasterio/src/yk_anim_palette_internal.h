#pragma once

// An animation coder in front of another that first reduces every frame to one palette, made as
// the animated GIF writer makes its own from the same options: the frames are kept until the
// palette has seen them all, then recoloured and passed on in order.

#include <memory>
#include <vector>

#include "yk_anim_export_internal.h"
#include "yk_gif_export_internal.h"

namespace yk_anim_export {

class PaletteCoder : public Coder {
public:
    // `options` are the GIF's colour-reduction options; their background decides, as in a GIF,
    // what turns transparent and whether the palette keeps an entry for it.
    PaletteCoder(const yk_gif_export::Options& options, Coder& next);
    ~PaletteCoder() override;

    bool Begin(std::FILE* file, int32 width, int32 height, int32 frames,
               std::string* error) override;
    bool Add(const YKRaster& frame, int32 delay, std::string* error) override;
    bool Finish(std::string* error) override;

private:
    struct Kept {
        std::unique_ptr<YKRaster> pixels;
        int32 delay;
    };

    yk_gif_export::Options mOptions;
    Coder& mNext;
    yk_gif_export::Palette mPalette;
    std::vector<Kept> mFrames;
    int64 mBytes = 0;
};

}  // namespace yk_anim_export
