#pragma once

// YKFontDataFreetype: glyph contours from a font file read by FreeType. Glyphs are computed at
// 32 times the final precision (the character size is set to 2048/64 of the size, in points,
// at 96 dpi), so that outline units are 1/2048 document pixel and an em of size s measures
// s*96/72 pixels. Quadratic and cubic pieces are flattened in those units, and successive
// glyphs are kerned from the font's kerning table.

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

#include "YKFontData.h"
#include "yk_freetype.h"

class YKFontDataFreetype : public YKFontData {
public:
    // "<path> <family> <style>": the path may hold spaces (see the parse in the source). A
    // file that cannot be opened, or is cut short, is replaced by DejaVu Sans after one alert.
    explicit YKFontDataFreetype(const char* description);
    ~YKFontDataFreetype() override;

    double StringWidth(const char* text, double reserved) override;
    double GetHeight(const char* text, double reserved) override;
    // Sizes are clamped to [kMinSize, kMaxSize] (a non-finite size counts as the default 10);
    // a change empties the glyph cache.
    void SetSize(double h, double v) override;
    void GetGlyphOutlines(YKList<YKList<YKPoint<double>>*>& out, const char* text,
                          YKPoint<double> origin, int32 skip, double reserved) override;
    // The box of the same points, measured where they are placed instead of from lists.
    YKRect<double> GetBoundingBox(const char* text, YKPoint<double> origin,
                                  double reserved) override;
    void PrintToStream() const override;
    // Glyphs are named by their character code.
    bool PlaceGlyphs(const char* text, YKPoint<double> origin, int32 skip,
                     const PlaceGlyph& place) override;
    void GetGlyphContours(YKList<YKList<YKPoint<double>>*>& out, uint32 glyph,
                          YKPoint<double> origin) override;

    // One call produces at most this many points: the glyphs after them only move the pen, so
    // that a huge text cannot exhaust memory (curves are flattened finely, about two thousand
    // points per glyph).
    static constexpr int64 kMaxOutlinePoints = int64{1} << 24;
    static constexpr double kMinSize = 0.1;
    static constexpr double kMaxSize = 1000.0;

    int16 ResH() const { return mResH; }
    int16 ResV() const { return mResV; }
    // Resolutions outside 1..2400 dpi are ignored.
    void SetResH(int16 dpi);
    void SetResV(int16 dpi);
    // Null only when neither the file nor the fallback face could be opened.
    FT_Face Face() const { return mFace; }
    FT_GlyphSlot Glyph() const { return mFace != nullptr ? mFace->glyph : nullptr; }
    FT_Size Instance() const { return mFace != nullptr ? mFace->size : nullptr; }
    // Whether the requested file was replaced by the fallback face.
    bool UsedFallback() const { return mUsedFallback; }
    bool HasUnicodeMap() const { return mHasUnicodeMap; }
    // Glyphs held by the cache, and glyphs loaded from the face since it was opened.
    int32 CountCachedGlyphs() const { return static_cast<int32>(mGlyphs.size()); }
    int32 CountGlyphLoads() const { return mGlyphLoads; }
    // Glyph outlines flattened since the face was opened: once per glyph and size, unless the
    // flattened points outgrow kMaxCachedPoints and are dropped.
    int32 CountFlattenings() const { return mFlattenings; }
    static constexpr int64 kMaxCachedPoints = int64{1} << 22;

protected:
    // One cached glyph: metrics and outline at the current size, in 1/2048 pixel units, and
    // the outline's contours flattened once, untransformed (y up, pen at 0): drawing the glyph
    // again only moves and turns their points.
    struct GlyphEntry {
        uint16 code = 0;
        FT_UInt index = 0;
        FT_Glyph_Metrics metrics{};
        std::vector<FT_Vector> points;
        std::vector<char> tags;
        std::vector<short> contours;
        bool flattened = false;
        std::vector<std::vector<YKPoint<double>>> flat;
    };

private:
    // Opens `path`, or the fallback face when that fails; sets the character map and size.
    void SetData(const std::string& path);
    bool OpenFace(const std::string& path);
    void ChooseCharMap();
    void ApplySize();
    // The glyph of `code`, loaded on a miss. Call under the FreeType lock.
    GlyphEntry& CachedGlyph(uint16 code);
    // Walks the pen over `codes`, calling place(index, glyph, pen) per character with the pen
    // in 1/2048 pixel along the writing direction; returns the total advance (spacing only
    // between characters). Call under the FreeType lock.
    template <typename Place>
    double Layout(const std::vector<uint16>& codes, Place place);
    // Flattens the glyph's outline into glyph.flat unless that was done at this size.
    void Flatten(GlyphEntry& glyph);
    // The flips, shearing and rotation of the current state, worked out once per call.
    struct Transform;
    Transform CurrentTransform() const;
    // The kerning between two glyphs along the line, cached per pair at this size.
    FT_Pos Kerning(FT_UInt previous, FT_UInt index);
    // Appends the contours of one glyph, transformed and placed at `pen` from `origin`.
    void AppendContours(YKList<YKList<YKPoint<double>>*>& out, GlyphEntry& glyph, double pen,
                        YKPoint<double> origin);

    FT_Face mFace = nullptr;
    int16 mResH = 96;
    int16 mResV = 96;
    bool mUsedFallback = false;
    bool mHasUnicodeMap = false;
    // FreeType's ascender and descender at the current size, unrounded, in 1/2048 pixel.
    double mUnitAscent = 0;
    double mUnitDescent = 0;
    std::unordered_map<uint16, GlyphEntry> mGlyphs;
    // The entries of mGlyphs by code, 256 codes a page: layout finds a seen glyph without
    // hashing.
    using GlyphPage = std::array<GlyphEntry*, 256>;
    std::array<std::unique_ptr<GlyphPage>, 256> mGlyphPages;
    // Kerning of the pairs met, direct-mapped by the pair's glyph indices: a pair replaces
    // the one that shared its slot, so the memory stays fixed and a lookup is one probe.
    struct KerningSlot {
        uint64 pair = ~uint64{0};
        FT_Pos delta = 0;
    };
    std::vector<KerningSlot> mKerning;
    static constexpr int32 kKerningSlotBits = 12;
    int32 mGlyphLoads = 0;
    int32 mFlattenings = 0;
    int64 mCachedPoints = 0;
};
