#pragma once

// The paint rules shared by the vector objects and the text attributes: one side (stroke or
// fill) of an object handed to the sketcher, and the pattern uses an object keeps in the roster.

#include <memory>
#include <string>

#include "YKPoint.h"
#include "YKRect.h"
#include "yk_color.h"
#include "yk_types.h"

class YKGradientBuffer;
class YKGradientContainer;
class YKMessage;
class YKSketcher;

namespace yk_paint {

// The paint of one side as the object holds it.
struct Side {
    int16 flag;
    yk_color color;
    const std::string& patternName;
    double patternAlpha;
    bool patternLock;
    const YKGradientContainer* gradient;
};

// Where the object lies: gradients are placed in its box and turn with the global rotation,
// locked patterns turn about `lockedReference`.
struct Placement {
    YKRect<double> box;
    YKRect<double> bounds;
    YKPoint<double> lockedReference;
    double globalAngle;
    YKPoint<double> globalCenter;
};

// Sets one side's paint on the sketcher and returns its style (0 none, 1 colour, 2 pattern,
// 3 gradient); a gradient's buffer is made in `gradientBuffer` and must outlive the drawing.
int32 Apply(YKSketcher* sketcher, const Side& side, bool stroke, const Placement& placement,
            std::unique_ptr<YKGradientBuffer>* gradientBuffer);

// Whether the side uses a pattern held by the roster without the lock.
bool UnlockedPattern(int16 flag, const std::string& name, bool lock);

// Takes a use of the named pattern: the roster's when it holds the name, else the pixels
// archived in `buffer` (when there are some). True when a use was taken; the caller releases
// it with YKBitmapRoster::DeleteBitmap.
bool HoldPattern(const std::string& name, const YKMessage* buffer);

}  // namespace yk_paint
