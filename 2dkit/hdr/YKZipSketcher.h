#pragma once

// YKZipSketcher: the pixel half of the 2D engine. Each Draw... lets the base sketcher build
// the fill and stroke outline polygons, then scan-converts them with anti-aliasing into a
// tiled bitmap: 8 sub-scanlines per row, 1/256 pixel across, exact horizontal coverage, the
// non-zero rule. Colour, pattern and gradient paint are applied per pixel as rows are written.
// All drawing in the process is serialised by one lock.

#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "YKSketcher.h"
#include "yk_types.h"

class YKBitmap;
class YKLocker;
class YKScanConverter;
struct YKCoveragePiece;

class YKZipSketcher : public YKSketcher {
public:
    YKZipSketcher();
    ~YKZipSketcher() override;

    // The bitmap drawn into (not owned); nothing is drawn without one.
    void SetBuffer(YKBitmap* buffer) { mBuffer = buffer; }
    YKBitmap* Buffer() const { return mBuffer; }
    // The frame grows by one pixel on every side; the row storage follows its width.
    void SetFrame(YKRect<int32> frame) override;
    // True: the fill first, the stroke over it; false: the other way round.
    void SetOverlapStroke(bool overlap) override { mOverlapStroke = overlap; }
    bool OverlapStroke() const override { return mOverlapStroke; }
    void SetName(const char* name) { mName = name != nullptr ? name : ""; }
    const char* Name() const { return mName.c_str(); }

    void DrawChar(char c, YKPoint<double> at) override;
    void DrawString(const char* text, YKPoint<double> at) override;
    void DrawString(const char* text, YKPoint<double> at, int32 skip) override;
    void DrawString(char* text, YKPointList* path, double a, double b) override;
    void DrawLine(YKPoint<double> from, YKPoint<double> to) override;
    void DrawLine(double x0, double y0, double x1, double y1) override;
    void DrawPolygon(YKPointList* points) override;
    void DrawRect(YKPointList* corners) override;
    void DrawRoundRect(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                       YKPoint<double> p3, double rx, double ry) override;
    void DrawEllipse(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                     YKPoint<double> p3) override;
    void DrawArc(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2) override;
    void DrawBezier(YKPointList* points) override;

    // The lock every drawing in the process holds.
    static YKLocker& Lock();

private:
    struct Paint;
    struct PlacedGlyph;
    class BlockRows;
    // Runs one base Draw... and paints what it built, under the lock.
    template <typename Build>
    void Draw(Build build);
    bool CanDraw() const;
    // Whether the stroke has a colour and a width to be painted with in the normal display.
    bool StrokePainted() const;
    // Plain filled text is drawn from cached glyph masks (YKZipSketcherGlyphs.cpp). False,
    // with nothing drawn, when the text needs the outline path.
    bool DrawGlyphMasks(const char* text, YKPoint<double> at, int32 skip);
    bool GlyphMasksApply() const;
    // Stamps the glyphs touching rows top..bottom into the band and paints those rows.
    void PaintGlyphBand(const std::vector<const PlacedGlyph*>& glyphs, int32 top, int32 bottom,
                        int32 left, int32 right, const Paint& paint, BlockRows& blocks);
    // Writes columns x0..x1 of row y straight into the bitmap's blocks: painted from
    // `coverage`, or, when it is null, transparent.
    void WriteGlyphRun(const Paint& paint, int32 y, int32 x0, int32 x1, const uint16* coverage,
                       BlockRows& blocks);
    Paint PaintFor(bool fill) const;
    // Paints the polygons the base built, by display mode and overlap order.
    void PolygonDraw();
    void PolygonFill();
    void PolygonStroke(const YKPointList& outline);
    void Fill(std::span<const YKPointList* const> polygons, bool fill);
    // Writes a row the scan converter finished: its pieces, with the coverage of each of their
    // pixels (0..2048) from the first piece's left end on.
    void PaintCoverageRow(const Paint& paint, int32 y, const YKCoveragePiece* pieces,
                          std::size_t count, const int32* coverage);
    // Writes pixels x0..x1 of row y, all fully covered.
    void PaintRun(const Paint& paint, int32 y, int32 x0, int32 x1);
    // Applies coverage to gradient or pattern pixels made without it (a pattern at full
    // opacity): the pixels RowPixels makes with it.
    static void CoverPixels(const Paint& paint, const int32* coverage, int32 count, uint32* out);
    // False when the paint has nothing to paint with: its rows are not written at all.
    static bool Paints(const Paint& paint);
    // The pixels of `count` columns from x0 on row y, before they are merged into the bitmap.
    template <typename Coverage>
    static void RowPixels(const Paint& paint, int32 y, int32 x0, int32 count,
                          const Coverage* coverage, uint32* out);
    template <typename Coverage>
    static void PatternRow(const Paint& paint, int32 y, int32 x0, int32 count,
                           const Coverage* coverage, uint32* out);
    template <typename Coverage>
    static void GradientRow(const Paint& paint, int32 y, int32 x0, int32 count,
                            const Coverage* coverage, uint32* out);

    YKBitmap* mBuffer = nullptr;
    std::vector<uint32> mLine;
    int32 mDrawingMode = 17;
    bool mOverlapStroke = true;
    std::unique_ptr<YKScanConverter> mScan;
    std::string mName;
    // Glyph coverage of a band of rows, each row's first and last touched column, and which
    // of its chunks of kBandChunk columns any glyph touched.
    std::vector<uint16> mBand;
    std::vector<std::pair<int32, int32>> mBandRows;
    std::vector<uint64> mBandChunks;
    // A text's glyphs, by position and in the order of their top rows, and those in a band.
    std::vector<PlacedGlyph> mPlaced;
    std::vector<const PlacedGlyph*> mOrder;
    std::vector<const PlacedGlyph*> mActive;
};
