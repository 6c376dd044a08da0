#include "YKVectorAttributes.h"

#include <cmath>

#include "YKDash.h"
#include "YKGeneric.h"
#include "YKGradientContainer.h"

namespace {

bool SameColor(const yk_color& a, const yk_color& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

// Each object holds its own copy of a dash or a gradient: equal copies are the same attribute.
template <typename T>
bool SameValue(const T* a, const T* b) {
    return a == b || (a != nullptr && b != nullptr && *a == *b);
}

}  // namespace

void YKMergeAttributes(YKVectorAttributes* a, const YKVectorAttributes& b) {
    if (!SameColor(a->strokeColor, b.strokeColor) || a->strokeColorFlag != b.strokeColorFlag ||
        a->strokePatternName != b.strokePatternName ||
        !SameValue(a->strokeGradient, b.strokeGradient)) {
        a->strokeDiffers = true;
    }
    a->strokeDiffers = a->strokeDiffers || b.strokeDiffers;
    a->widthDiffers = a->widthDiffers || b.widthDiffers || a->width != b.width;
    a->dashDiffers = a->dashDiffers || b.dashDiffers || !SameValue(a->dash, b.dash);
    if (!SameColor(a->fillColor, b.fillColor) || a->fillColorFlag != b.fillColorFlag ||
        a->fillPatternName != b.fillPatternName || !SameValue(a->fillGradient, b.fillGradient)) {
        a->fillDiffers = true;
    }
    a->fillDiffers = a->fillDiffers || b.fillDiffers;
}

bool YKAttributesIsMultiple(const YKVectorAttributes& a) {
    return a.strokeDiffers || a.widthDiffers || a.dashDiffers || a.fillDiffers;
}

namespace {

// A segment record (start, start + (length, angle)) as the box between its two ends.
YKVectorDimensions AsBox(const YKVectorDimensions& d) {
    if (d.kind != YKVectorDimensions::kSegment) {
        return d;
    }
    const double length = d.v[2] - d.v[0];
    const double angle = d.v[3] - d.v[1];
    const double endX = d.v[0] + length * std::cos(angle);
    const double endY = d.v[1] + length * std::sin(angle);
    YKVectorDimensions box;
    box.v[0] = MIN(d.v[0], endX);
    box.v[1] = MIN(d.v[1], endY);
    box.v[2] = MAX(d.v[0], endX);
    box.v[3] = MAX(d.v[1], endY);
    return box;
}

}  // namespace

void YKMergeDimensions(YKVectorDimensions* a, const YKVectorDimensions& b) {
    const YKVectorDimensions first = AsBox(*a);
    const YKVectorDimensions second = AsBox(b);
    a->v[0] = MIN(first.v[0], second.v[0]);
    a->v[1] = MIN(first.v[1], second.v[1]);
    a->v[2] = MAX(first.v[2], second.v[2]);
    a->v[3] = MAX(first.v[3], second.v[3]);
    a->kind = YKVectorDimensions::kUnion;
}

void YKSetStrokePaint(YKVectorAttributes* a, yk_color color, int16 flag,
                      const YKGradientContainer* gradient, double patternAlpha, bool patternLock,
                      const char* patternName) {
    a->strokeColor = color;
    a->strokeColorFlag = flag;
    a->strokeGradient = gradient;
    a->strokePatternAlpha = patternAlpha;
    a->strokePatternLock = patternLock;
    a->strokePatternName = patternName != nullptr ? patternName : "";
}

void YKSetFillPaint(YKVectorAttributes* a, yk_color color, int16 flag,
                    const YKGradientContainer* gradient, double patternAlpha, bool patternLock,
                    const char* patternName) {
    a->fillColor = color;
    a->fillColorFlag = flag;
    a->fillGradient = gradient;
    a->fillPatternAlpha = patternAlpha;
    a->fillPatternLock = patternLock;
    a->fillPatternName = patternName != nullptr ? patternName : "";
}
