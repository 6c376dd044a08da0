#pragma once

// YKFontData: a font as the text objects and the sketcher see it. It turns a UTF-8 string into
// glyph contours, flattened into closed point lists in document pixels, ready for the
// sketcher's non-zero fill. Implementations differ in where the glyph shapes come from.

#include <string>

#include "YKList.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKFontData {
public:
    YKFontData() = default;
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
    virtual void SetShearing(double degrees) { mShearing = degrees; }
    // Percent of the size added between characters.
    virtual void SetSpacing(double percent) { mSpacing = percent; }
    virtual void SetRotation(double radians) { mRotation = radians; }
    // Appends one new point list per glyph contour (owned by the caller) for the characters of
    // `text` from index `skip` on; the earlier ones only move the pen. `origin` is the pen's
    // start on the baseline.
    virtual void GetGlyphOutlines(YKList<YKList<YKPoint<double>>*>& out, const char* text,
                                  YKPoint<double> origin, int32 skip, double reserved) = 0;
    // The box of every contour of `text` drawn at `origin`; None() when nothing is drawn.
    virtual YKRect<double> GetBoundingBox(const char* text, YKPoint<double> origin,
                                          double reserved);
    virtual void PrintToStream() const;

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
};
