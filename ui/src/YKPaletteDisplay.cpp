#include "YKPaletteDisplay.h"

#include "InverseQuantizer.h"
#include "Pixmap.h"

YKPaletteDisplay::YKPaletteDisplay() = default;

YKPaletteDisplay::~YKPaletteDisplay() = default;

void YKPaletteDisplay::SetPalette(int32 cmap, bool dither) {
    mDither = dither;
    const Quantizer::Cmap* colours = Quantizer::Cmap::GetCmap(cmap);
    if (colours == nullptr || colours->count < 2) {
        mCmap = -1;
        mQuantizer.reset();
        return;
    }
    mCmap = cmap;
    // The table is built once per palette; the sizes only matter to the adaptive kinds.
    mQuantizer = std::make_unique<InverseQuantizer>(colours->count, 1, 1, 1);
    mQuantizer->SetCmap(*colours);
}

void YKPaletteDisplay::Convert(uint32* pixels, int32 width, int32 height, int32 bytesPerRow) {
    if (mQuantizer == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const Pixmap<uint32> image{width, height, bytesPerRow, pixels};
    // Over an opaque board a pixel's shown colour is its mix with the board: that is what the
    // screen would map. Straight alpha.
    if (mBoard >> 24 == 0xFF) {
        for (int32 y = 0; y < height; ++y) {
            uint32* row = image.Row(y);
            for (int32 x = 0; x < width; ++x) {
                const uint32 p = row[x];
                const uint32 a = p >> 24;
                uint32 mixed = 0xFF000000u;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const uint32 c = (p >> shift) & 0xFF;
                    const uint32 b = (mBoard >> shift) & 0xFF;
                    mixed |= ((c * a + b * (255 - a) + 127) / 255) << shift;
                }
                row[x] = mixed;
            }
        }
    }
    mQuantizer->Quantize(image,
                         mDither ? Quantizer::DITHER_FLOYD_STEINBERG : Quantizer::DITHER_NONE);
}
