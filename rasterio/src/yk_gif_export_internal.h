#pragma once

// What the still and the animated GIF writers share: their options, the one palette of a file,
// and the writing of prepared frames through a temporary file.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Quantizer.h"
#include "YKRaster.h"
#include "yk_types.h"

class YKMessage;

namespace yk_gif_export {

struct Options {
    uint32 back = 0xFFFFFFFF;  // opaque white
    bool interlace = false;
    int32 colors = _QUANTIZER_MAX_COLORS;
    int32 quantizerId = 0;
    bool dither = false;
    int32 fixedPalette = 0;  // 1-based; 0: adaptive
    // Read for the export window's sake; it changes nothing in the file.
    bool netPositive = false;
    // Animation only.
    int32 loop = -1;  // -1: no loop block
    bool useSpeed = false;
    int32 speed = 0;

    // False, with the reason in `error`, for values no file can be made with.
    bool Read(const YKMessage* options, std::string* error);
    bool TransparentBack() const { return (back >> 24) == 0; }
};

// A frame on its way to the file: 32-bit pixels first, palette indices once quantized.
struct Frame {
    std::unique_ptr<YKRaster> pixels;
    std::vector<uint8> indices;
    int32 width = 0;
    int32 height = 0;
    int32 left = 0;
    int32 top = 0;
    int32 delay = 0;
    int32 flags = 0;  // disposal bits of YKWriteGif
};

// The palette of one file, learnt from every frame or prepared from a fixed one.
class Palette {
public:
    Palette();
    ~Palette();
    // Makes the quantizer the options ask for, for `images` frames of the screen's size; false
    // with the reason when that kind cannot do what is asked.
    bool Begin(const Options& options, int32 width, int32 height, int32 images, std::string* error);
    // A fixed palette used whole learns nothing from the frames.
    bool IsPreset() const;
    bool IsFixed() const { return mFixed != nullptr; }
    void Learn(const YKRaster& frame);
    // Ends learning: the quantizer now maps onto the palette.
    void Finish();
    // Fills the frame's indices (its pixels are dropped).
    void Quantize(Frame& frame);
    // Replaces every colour of `pixels` by its palette colour, alpha kept, for formats that store
    // pixels rather than indices.
    void Recolor(YKRaster& pixels);
    // Drops unused and duplicate entries over every frame and puts the transparent entry first,
    // so that the screen's background index 0 is transparent.
    void Compact(std::vector<Frame>& frames);
    const Quantizer::Cmap& Cmap() const { return mCmap; }

private:
    Quantizer::DitherMethod Dithering() const;

    Options mOptions;
    std::unique_ptr<Quantizer> mQuantizer;
    // The octree whose colours pick the fixed palette's entries when fewer are asked.
    std::unique_ptr<Quantizer> mReducer;
    const Quantizer::Cmap* mFixed = nullptr;
    Quantizer::Cmap mCmap;
};

// Fills `frame` with what the file holds of `current` (prepared by AdjustTransparency): the
// first frame (no `previous`) cropped to what shows, a later one as what changed since
// `previous`, at its place. Returns the disposal the change asks of the frame before it
// (kDisposeNone or kDisposeBackground of YKWriteGif); frame.pixels is null when memory is short.
// The palette learns from these parts, so a writer that wants a GIF's palette learns from them.
int32 TakeChange(const YKRaster* previous, const YKRaster& current, const Options& options,
                 Frame& frame);

// Where a frame leaves the screen as it is over a shown colour (transparent there, or of the same
// index), writes the transparent index or that colour, whichever continues a string the coder
// knows; transparent when neither does. The file shows the same.
void ChooseKeptPixels(std::vector<Frame>& frames, int32 width, int32 height,
                      const Quantizer::Cmap& cmap, bool interlace);

// Writes the frames over a screen of width x height with the palette; `beforeFrame(i)` is
// asked before frame i and stops the write when false. Nothing is left at `path` unless the
// whole file was written.
bool WriteFile(const char* path, int32 width, int32 height, const Quantizer::Cmap& cmap,
               const std::vector<Frame>& frames, const Options& options,
               const std::function<bool(std::size_t)>& beforeFrame, std::string* error);

}  // namespace yk_gif_export
