#pragma once

// Quantizer: reduces 32-bit pixels to at most 256 palette indices. A kind either learns a
// palette from the images it is shown (Submit for each image, then Reduce) or is given one
// (SetCmap); Quantize then maps every pixel, optionally with Floyd-Steinberg error diffusion.

#include "Pixmap.h"
#include "yk_types.h"

// Largest palette any quantizer makes or takes.
inline constexpr int32 _QUANTIZER_MAX_COLORS = 256;

class Quantizer {
public:
    class Cmap {
    public:
        struct Color {
            uint8 red = 0;
            uint8 green = 0;
            uint8 blue = 0;
            bool operator==(const Color&) const = default;
        };

        // The built-in palettes: "Web-safe", "Windows", "MacOS" and "BeOS", then those added.
        static int32 NumCmaps();
        // Null outside 0..NumCmaps() - 1. The pointers stay valid for the life of the process.
        static const char* GetCmapName(int32 index);
        static const Cmap* GetCmap(int32 index);
        // Appends a palette (a loaded palette file) under `name` and returns its index. A name
        // already listed gives that palette's index when the palettes are the same, else -1.
        // The list is not locked: palettes are added at start-up, before any export runs.
        static int32 AddCmap(const char* name, const Cmap& cmap);

        // The transparent index becomes the entry nearest to `color` (the first of equals).
        void SetTransparent(Color color);

        int32 count = 0;
        int32 transparent = -1;  // -1: none
        Color colors[_QUANTIZER_MAX_COLORS] = {};
    };

    enum DitherMethod : int32 {
        DITHER_NONE = 0,
        DITHER_FLOYD_STEINBERG = 1,  // any other value maps without dithering
    };

    // `colors` must lie in 2.._QUANTIZER_MAX_COLORS (fatal otherwise); `images` is how many
    // images will be submitted.
    Quantizer(int32 colors, int32 width, int32 height, int32 images);
    Quantizer(const Quantizer&) = delete;
    Quantizer& operator=(const Quantizer&) = delete;
    virtual ~Quantizer() = default;

    // Maps onto a given palette. Fatal here: only the kinds that can do it override it.
    virtual void SetCmap(const Cmap& cmap);
    // Learns from one image; `reserveTransparent` keeps an entry for transparency even when no
    // pixel is transparent. Fatal here: only the adaptive kinds override it.
    virtual void Submit(const Pixmap<uint32>& image, bool reserveTransparent);
    // Turns what was learnt into the palette.
    virtual void Reduce() {}
    // The palette index for an opaque colour.
    virtual int32 QuantizePixel(uint8 red, uint8 green, uint8 blue) = 0;

    // One index per pixel into `dst` (at least as large as `src`); pixels with alpha 0 take the
    // transparent index, or are mapped by their colour when the palette has none.
    void Quantize(const Pixmap<uint32>& src, const Pixmap<uint8>& dst, DitherMethod method);
    // Replaces each pixel's colour by its palette colour in place, keeping alpha; every pixel is
    // mapped as if opaque.
    void Quantize(const Pixmap<uint32>& image, DitherMethod method);

    const Cmap& GetCmap() const { return mCmap; }
    // Use count of each palette entry, as far as the kind keeps them.
    const int32* GetFrequencies() const { return mFrequencies; }

    // Squared Euclidean distances.
    static int32 RGBDistance(Cmap::Color a, Cmap::Color b) {
        return RGBDistance(a.red, a.green, a.blue, b.red, b.green, b.blue);
    }
    static int32 RGBDistance(int32 red, int32 green, int32 blue, Cmap::Color c) {
        return RGBDistance(red, green, blue, c.red, c.green, c.blue);
    }
    static int32 RGBDistance(int32 r1, int32 g1, int32 b1, int32 r2, int32 g2, int32 b2) {
        return (r1 - r2) * (r1 - r2) + (g1 - g2) * (g1 - g2) + (b1 - b2) * (b1 - b2);
    }

protected:
    // Prints the palette's entries to stderr, one a line.
    void DumpCmap() const;

    int32 mNumColors;
    int32 mWidth;
    int32 mHeight;
    int32 mNumImages;
    Cmap mCmap;
    int32 mFrequencies[_QUANTIZER_MAX_COLORS] = {};
};
