#pragma once

// YKFontData: a font as the text objects and the sketcher see it. It turns a UTF-8 string into
// glyph contours, flattened into closed point lists in document pixels, ready for the
// sketcher's non-zero fill. Implementations differ in where the glyph shapes come from.

#include <functional>
#include <string>

#include "YKList.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKFontData {
public:
    YKFontData();
    YKFontData(const YKFontData&) = delete;
    YKFontData& operator=(const YKFontData&) = delete;

    // --- Virtual operations, in slot order
    virtual ~YKFontData() = default;
    // The pen advance of `text` along the writing direction, in document pixels. The double is
    // reserved for the callers' scale; the size set by SetSize already applies.
    virtual double StringWidth(const char* text, double reserved) = 0;
    virtual void SetAscent(double ascent) { mAscent = ascent; }
    virtual void SetDescent(double descent) { mDescent = descent; }
    virtual void SetHeight(double height) { mHeight = height; }
    // The extent of `text` across the writing direction, in document pixels.
    virtual double GetHeight(const char* text, double reserved) = 0;
    virtual void SetSize(double h, double v);
    // True: horizontal writing.
    virtual void SetDirection(bool horizontal) { mDirection = horizontal; }
    virtual void SetFlip(bool h, bool v);
    virtual void SetShearing(double degrees);
    // Percent of the size added between characters.
    virtual void SetSpacing(double percent) { mSpacing = percent; }
    virtual void SetRotation(double radians);
    // Appends one new point list per glyph contour (owned by the caller) for the characters of
    // `text` from index `skip` on; the earlier ones only move the pen. `origin` is the pen's
    // start on the baseline.
    virtual void GetGlyphOutlines(YKList<YKList<YKPoint<double>>*>& out, const char* text,
                                  YKPoint<double> origin, int32 skip, double reserved) = 0;
    // The box of every contour of `text` drawn at `origin`; None() when nothing is drawn.
    virtual YKRect<double> GetBoundingBox(const char* text, YKPoint<double> origin,
                                          double reserved);
    virtual void PrintToStream() const;

    // One glyph of a laid-out text, for renderers that keep images of glyphs.
    struct GlyphPlacement {
        // The glyph's shape within this font (what GetGlyphContours takes).
        uint32 glyph = 0;
        // Its pen origin in document pixels: GetGlyphContours(glyph, origin) gives the contours
        // GetGlyphOutlines gives for this character.
        YKPoint<double> origin;
        // Holds every contour point; None() when the glyph has no contours.
        YKRect<double> box = YKRect<double>::None();
    };
    using PlaceGlyph = std::function<void(const GlyphPlacement&)>;
    // Lays `text` out from `origin` as GetGlyphOutlines does, calling `place` for the
    // characters from index `skip` on. False (this default): the font cannot, and the caller
    // draws outlines instead.
    virtual bool PlaceGlyphs(const char* text, YKPoint<double> origin, int32 skip,
                             const PlaceGlyph& place);
    // Appends one new point list per contour of `glyph` with its pen origin at `origin`.
    virtual void GetGlyphContours(YKList<YKList<YKPoint<double>>*>& out, uint32 glyph,
                                  YKPoint<double> origin);

    // Never shared by two objects of a process, so images keyed by it cannot go stale.
    uint64 Serial() const { return mSerial; }
    // Changes whenever glyph shapes may change (size, flips, shearing, rotation, resolution).
    uint64 ShapeVersion() const { return mShapeVersion; }

    // --- State
    const std::string& Description() const { return mDescription; }
    const std::string& Path() const { return mPath; }
    const std::string& Family() const { return mFamily; }
    const std::string& Style() const { return mStyle; }
    double Ascent() const { return mAscent; }
    double Descent() const { return mDescent; }
    double Height() const { return mHeight; }
    double SizeH() const { return mSizeH; }
    double SizeV() const { return mSizeV; }
    bool Direction() const { return mDirection; }
    bool FlipH() const { return mFlipH; }
    bool FlipV() const { return mFlipV; }
    double Shearing() const { return mShearing; }
    double Spacing() const { return mSpacing; }
    double Rotation() const { return mRotation; }

protected:
    void ShapeChanged() { ++mShapeVersion; }

    std::string mDescription;
    std::string mPath;
    std::string mFamily;
    std::string mStyle;
    double mAscent = 0;
    double mDescent = 0;
    double mHeight = 0;
    double mSizeH = 10;
    double mSizeV = 10;
    bool mDirection = true;
    bool mFlipH = false;
    bool mFlipV = false;
    double mShearing = 0;
    double mSpacing = 0;
    double mRotation = 0;

private:
    const uint64 mSerial;
    uint64 mShapeVersion = 0;
};
