// What the GIF writers share: options, the file's palette, writing through a temporary file.

#include <algorithm>
#include <utility>

#include "CmapCompactor.h"
#include "OctreeQuantizer.h"
#include "QuantizerInfo.h"
#include "YKMessage.h"
#include "YKRasterFilters.h"
#include "YKRasterIO.h"
#include "YKReplacedFile.h"
#include "YKWriteGif.h"
#include "yk_gif_export_internal.h"
#include "yk_io_error_internal.h"

namespace yk_gif_export {

namespace {

static_assert(sizeof(Quantizer::Cmap::Color) == 3, "the writer takes colours as packed triples");

constexpr int32 kMaxGifValue = 0xFFFF;

Pixmap<uint32> PixelsOf(const YKRaster& raster) {
    return {raster.Width(), raster.Height(), raster.BytesPerRow(),
            reinterpret_cast<uint32*>(raster.Bits())};
}

Pixmap<uint8> IndicesOf(Frame& frame) {
    return {frame.width, frame.height, frame.width, frame.indices.data()};
}

// The entry of `palette` nearest to `color`, the first of equals.
Quantizer::Cmap::Color Nearest(const Quantizer::Cmap& palette, Quantizer::Cmap::Color color) {
    int32 best = 0;
    for (int32 i = 1; i < palette.count; ++i) {
        if (Quantizer::RGBDistance(palette.colors[i], color) <
            Quantizer::RGBDistance(palette.colors[best], color)) {
            best = i;
        }
    }
    return palette.colors[best];
}

}  // namespace

// --- Options ---

bool Options::Read(const YKMessage* options, std::string* error) {
    if (options == nullptr) {
        return true;
    }
    int32 value = 0;
    if (options->FindInt32("ra_back_col", &value)) {
        back = static_cast<uint32>(value);
    }
    options->FindBool("ra_interlace", &interlace);
    if (options->FindInt32("ra_nb_colors", &colors)) {
        // A palette of no colour has no meaning; below 2 and above 256 the nearest size serves.
        if (colors <= 0) {
            yk_set_error(error,
                         "a GIF palette needs at least 2 colours, not " + std::to_string(colors));
            return false;
        }
        colors = std::clamp(colors, 2, _QUANTIZER_MAX_COLORS);
    }
    options->FindInt32("24to8_quant_id", &quantizerId);
    options->FindBool("24to8_dithering", &dither);
    bool fixed = false;
    options->FindBool("24to8_isfixedpal", &fixed);
    if (fixed && options->FindInt32("24to8_fix_palette", &value) && value >= 1) {
        if (value > Quantizer::Cmap::NumCmaps()) {
            yk_set_error(error, "there is no fixed palette " + std::to_string(value) + " (1 to " +
                                    std::to_string(Quantizer::Cmap::NumCmaps()) + ")");
            return false;
        }
        fixedPalette = value;
    }
    options->FindBool("24to8_netposcomp", &netPositive);
    if (options->FindInt32("gif_loop", &loop)) {
        loop = std::clamp(loop, 0, kMaxGifValue);
    }
    options->FindBool("gif_use_speed", &useSpeed);
    if (options->FindInt32("gif_speed", &speed)) {
        speed = std::clamp(speed, 0, kMaxGifValue);
    }
    return true;
}

// --- Frame parts ---

int32 TakeChange(const YKRaster* previous, const YKRaster& current, const Options& options,
                 Frame& frame) {
    if (previous == nullptr) {
        const YKRect<int32> crop = options.TransparentBack()
                                       ? YKRasterIO::cropFrame(options.back, current)
                                       : current.Bounds();
        frame.pixels = YKRasterIO::cropRaster(current, crop);
        frame.left = crop.left;
        frame.top = crop.top;
        return YKWriteGif::kDisposeNone;
    }
    int32 disposal = YKWriteGif::kDisposeNone;
    frame.pixels = YKRasterIO::getFrameDiff(previous, current, &frame.left, &frame.top,
                                            options.back, false, &disposal);
    return disposal;
}

// --- Palette ---

Palette::Palette() = default;
Palette::~Palette() = default;

bool Palette::Begin(const Options& options, int32 width, int32 height, int32 images,
                    std::string* error) {
    mOptions = options;
    const QuantizerInfo* kind =
        YKRasterFilters::Instantiate()->QuantizerInfoForId(options.quantizerId);
    if (kind == nullptr) {
        yk_set_error(error, "there is no colour quantizer " + std::to_string(options.quantizerId));
        return false;
    }
    const bool fixed = options.fixedPalette >= 1;
    if (fixed ? !kind->DoesFixed() : !kind->DoesAdaptative()) {
        yk_set_error(error, std::string("\"") + kind->Name() + "\" cannot " +
                                (fixed ? "map onto a fixed palette" : "build a palette"));
        return false;
    }
    mQuantizer = kind->CreateQuantizer(options.colors, width, height, images);
    if (fixed) {
        mFixed = Quantizer::Cmap::GetCmap(options.fixedPalette - 1);
        // Fewer colours than the palette has (or a palette without a transparent entry): the
        // image's own colours choose the entries.
        if ((mFixed->count != options.colors || mFixed->transparent < 0) &&
            options.colors <= mFixed->count) {
            mReducer = std::make_unique<OctreeQuantizer>(options.colors, width, height, images);
        }
    }
    return true;
}

bool Palette::IsPreset() const {
    return mFixed != nullptr && mReducer == nullptr;
}

void Palette::Learn(const YKRaster& frame) {
    if (IsPreset()) {
        return;
    }
    Quantizer& learner = mReducer != nullptr ? *mReducer : *mQuantizer;
    learner.Submit(PixelsOf(frame), mOptions.TransparentBack());
}

void Palette::Finish() {
    if (mFixed == nullptr) {
        mQuantizer->Reduce();
        return;
    }
    Quantizer::Cmap cmap;
    if (mReducer != nullptr) {
        mReducer->Reduce();
        cmap = mReducer->GetCmap();
        for (int32 i = 0; i < cmap.count; ++i) {
            if (i != cmap.transparent) {
                cmap.colors[i] = Nearest(*mFixed, cmap.colors[i]);
            }
        }
    } else {
        cmap = *mFixed;
        if (cmap.transparent < 0) {
            cmap.colors[cmap.count] = {uint8(mOptions.back >> 16), uint8(mOptions.back >> 8),
                                       uint8(mOptions.back)};
            cmap.transparent = cmap.count++;
        }
    }
    mQuantizer->SetCmap(cmap);
}

Quantizer::DitherMethod Palette::Dithering() const {
    return mOptions.dither ? Quantizer::DITHER_FLOYD_STEINBERG : Quantizer::DITHER_NONE;
}

void Palette::Quantize(Frame& frame) {
    frame.width = frame.pixels->Width();
    frame.height = frame.pixels->Height();
    frame.indices.resize(std::size_t(frame.width) * frame.height);
    mQuantizer->Quantize(PixelsOf(*frame.pixels), IndicesOf(frame), Dithering());
    frame.pixels.reset();
}

void Palette::Recolor(YKRaster& pixels) {
    mQuantizer->Quantize(PixelsOf(pixels), Dithering());
}

void Palette::Compact(std::vector<Frame>& frames) {
    mCmap = mQuantizer->GetCmap();
    CmapCompactor compactor(mCmap);
    for (Frame& frame : frames) {
        compactor.Stat(IndicesOf(frame));
    }
    compactor.CompactCmap();
    for (Frame& frame : frames) {
        compactor.CompactPixmap(IndicesOf(frame));
    }
    const int32 transparent = mCmap.transparent;
    if (transparent <= 0) {
        return;
    }
    std::swap(mCmap.colors[0], mCmap.colors[transparent]);
    mCmap.transparent = 0;
    for (Frame& frame : frames) {
        for (uint8& index : frame.indices) {
            index = index == 0 ? uint8(transparent) : index == transparent ? 0 : index;
        }
    }
}

// --- Writing ---

bool WriteFile(const char* path, int32 width, int32 height, const Quantizer::Cmap& cmap,
               const std::vector<Frame>& frames, const Options& options,
               const std::function<bool(std::size_t)>& beforeFrame, std::string* error) {
    if (width > kMaxGifValue || height > kMaxGifValue) {
        yk_set_error(error, "a GIF image is at most 65535 pixels wide and high");
        return false;
    }
    YKReplacedFile file(path);
    YKWriteGif writer;
    YKWriteGif::SGlobalInfo global;
    global.width = width;
    global.height = height;
    global.colorCount = cmap.count;
    global.colorMap = reinterpret_cast<const uint8*>(cmap.colors);
    global.loopCount = options.loop;
    if (file.Stream() == nullptr ||
        !writer.CreateFile(file.TemporaryPath().c_str(), global, nullptr)) {
        yk_set_error(error,
                     "cannot write the GIF file: " +
                         (file.Error().empty() ? std::string("cannot open it") : file.Error()));
        return false;
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (!beforeFrame(i)) {
            yk_set_error(error, "cancelled");
            return false;
        }
        const Frame& frame = frames[i];
        YKWriteGif::SLocalInfo local;
        local.width = frame.width;
        local.height = frame.height;
        local.left = frame.left;
        local.top = frame.top;
        local.transparentIndex = cmap.transparent;
        local.delay = frame.delay;
        local.flags = frame.flags | (options.interlace ? YKWriteGif::kInterlaced : 0);
        writer.AddFrame8(frame.indices.data(), local);
    }
    if (!writer.CloseFile() || !file.Commit()) {
        yk_set_error(error, "cannot write the GIF file: " +
                                (file.Error().empty() ? std::string("the disk refused the data")
                                                      : file.Error()));
        return false;
    }
    YKRasterFilters::SetMimeType(path, "image/gif");
    return true;
}

}  // namespace yk_gif_export
