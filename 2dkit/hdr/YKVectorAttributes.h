#pragma once

// The records that carry a selection's editable attributes to the attribute panels and its
// geometry to the info panel, and the functions that fold several objects into one record.

#include <string>

#include "yk_color.h"
#include "yk_types.h"

class YKDash;
class YKGradientContainer;

// The attributes of one object, or of several folded together; a differs mark is set when the
// folded objects disagree on that attribute.
struct YKVectorAttributes {
    yk_color strokeColor{0, 0, 0, 255};
    std::string strokePatternName = "Default";
    double strokePatternAlpha = 0;
    bool strokePatternLock = false;
    const YKGradientContainer* strokeGradient = nullptr;  // not owned
    int16 strokeColorFlag = 1;
    bool strokeDiffers = false;
    double width = 0;
    bool widthDiffers = false;
    const YKDash* dash = nullptr;  // not owned; null is a solid stroke
    bool dashDiffers = false;
    yk_color fillColor{255, 255, 255, 255};
    std::string fillPatternName = "Default";
    double fillPatternAlpha = 0;
    bool fillPatternLock = false;
    const YKGradientContainer* fillGradient = nullptr;  // not owned
    int16 fillColorFlag = 0;
    bool fillDiffers = false;
    int32 join = 3;
    int32 firstCap = 4;
    int32 lastCap = 4;
    double miterLimit = 2.0;
    // Corner radii; only rounded rectangles fill them in.
    double rx = 0;
    double ry = 0;
    // Text objects only. An empty font description leaves a text as it is.
    bool textFlipH = false;
    bool textFlipV = false;
    bool textDirection = true;  // horizontal writing
    double textSpacing = 0;     // percent of the size
    double textShearing = 0;    // degrees
    double textSizeH = 12;
    double textSizeV = 12;
    std::string fontDescription;
};

// The stroke or the fill paint of `a` replaced, as the single-attribute setters of an object
// give it (a null pattern name is an empty one).
void YKSetStrokePaint(YKVectorAttributes* a, yk_color color, int16 flag,
                      const YKGradientContainer* gradient, double patternAlpha, bool patternLock,
                      const char* patternName);
void YKSetFillPaint(YKVectorAttributes* a, yk_color color, int16 flag,
                    const YKGradientContainer* gradient, double patternAlpha, bool patternLock,
                    const char* patternName);

// Folds `b` into `a`: every attribute on which they differ gets its differs mark.
void YKMergeAttributes(YKVectorAttributes* a, const YKVectorAttributes& b);
// Whether the record stands for objects that disagree somewhere.
bool YKAttributesIsMultiple(const YKVectorAttributes& a);

// What the info panel shows of a selection.
struct YKVectorDimensions {
    enum Kind : int16 { kBox = 0, kSegment = 1, kUnion = 3 };
    // kBox: left, top, right, bottom. kSegment: the left end's x and y, then x + length and
    // y + angle (radians). kUnion: a box.
    double v[4] = {0, 0, 0, 0};
    int16 kind = kBox;
};

// Turns segment records into boxes and makes `a` the union of both.
void YKMergeDimensions(YKVectorDimensions* a, const YKVectorDimensions& b);
