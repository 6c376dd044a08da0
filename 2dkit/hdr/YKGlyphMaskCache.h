#pragma once

// YKGlyphMaskCache: the coverage of single glyphs as the zip sketcher's scan converter gives
// it, kept so that drawing plain text stamps glyph images instead of scan-converting every
// outline again. A mask is the glyph of one font in its current shape (size, flips, shearing,
// rotation) with its pen origin at a sub-pixel phase: x in quarters, y in eighths of a pixel.
// One cache serves the process; it is used under the sketcher lock only. A font's masks are
// dropped when its shape changes, and the least recently used fonts' masks when the cache
// would outgrow its capacity.

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

#include "yk_types.h"

class YKFontData;
class YKScanConverter;

class YKGlyphMaskCache {
public:
    // Pen origin phases: x in 1/kPhasesX, y in 1/kPhasesY pixel.
    static constexpr int32 kPhasesX = 4;
    static constexpr int32 kPhasesY = 8;
    // Glyphs reaching further than this many pixels across are not kept as masks.
    static constexpr int32 kMaxMaskSide = 256;
    static constexpr std::size_t kDefaultCapacity = std::size_t{8} << 20;
    static constexpr int32 kRowAlign = 8;

    struct Mask {
        // The mask's top left pixel, relative to the pixel holding the pen origin.
        int32 left = 0;
        int32 top = 0;
        int32 width = 0;
        int32 height = 0;
        // Per pixel, row after row of `stride` entries: 0..2048, as the scan converter sums
        // it. The mask is cut to the glyph's covered pixels; rows are padded with zeros to a
        // multiple of kRowAlign, so that whole rows are summed a vector at a time.
        int32 stride = 0;
        std::vector<uint16> coverage;
    };

    YKGlyphMaskCache();
    ~YKGlyphMaskCache();
    YKGlyphMaskCache(const YKGlyphMaskCache&) = delete;
    YKGlyphMaskCache& operator=(const YKGlyphMaskCache&) = delete;

    static YKGlyphMaskCache& Shared();

    // The mask of `glyph` at phase (phaseX / kPhasesX, phaseY / kPhasesY), built on a miss;
    // valid until the next call. Null for a glyph too large to keep.
    const Mask* Find(YKFontData& font, uint32 glyph, int32 phaseX, int32 phaseY);

    // Bytes held by all masks; never above the capacity.
    std::size_t Bytes() const { return mBytes; }
    std::size_t Capacity() const { return mCapacity; }
    // Drops masks until the cache fits.
    void SetCapacity(std::size_t bytes);
    // Masks held for `font` in its current shape.
    int32 CountMasks(const YKFontData& font) const;
    // Masks scan-converted since the cache was made.
    int64 CountBuilds() const { return mBuilds; }

private:
    struct FontMasks;
    FontMasks& MasksOf(YKFontData& font);
    Mask Build(YKFontData& font, uint32 glyph, int32 phaseX, int32 phaseY);
    // Drops other fonts' masks, least recently used first, then `keep`'s, until `bytes` more
    // fit.
    void MakeRoom(std::size_t bytes, FontMasks* keep);
    void Drop(FontMasks& masks);

    std::unordered_map<uint64, FontMasks> mFonts;
    // The entry of the font asked for last, and its serial.
    FontMasks* mLastFont = nullptr;
    uint64 mLastSerial = 0;
    std::unique_ptr<YKScanConverter> mScan;
    // A mask larger than the whole capacity lives here until the next call.
    Mask mOversize;
    std::size_t mBytes = 0;
    std::size_t mCapacity = kDefaultCapacity;
    uint64 mClock = 0;
    int64 mBuilds = 0;
};
