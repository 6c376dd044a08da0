#pragma once

// YKBrushRenderer: a brush that stamps dabs into a bitmap as the pointer moves. The base keeps
// the animation values a stroke is painted with and does nothing else; YKPencilBrushRenderer is
// the brush that paints.

#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKBitmap;
class YKMessage;

class YKBrushRenderer {
public:
    YKBrushRenderer() = default;
    YKBrushRenderer(const YKBrushRenderer&) = default;
    YKBrushRenderer& operator=(const YKBrushRenderer&) = default;
    virtual ~YKBrushRenderer();

    // The size of the square a dab may cover; 0 x 0 here.
    virtual void GetBrushSize(uint32* width, uint32* height) const;
    // Places what pointer position `point` calls for and reports the rectangle it may have
    // changed in `touched` (when not null; None() when nothing was drawn).
    virtual void DrawBrush(YKBitmap* bitmap, YKPoint<int32> point, YKRect<int32>* touched);
    virtual void Archive(YKMessage* archive) const;
    virtual void Unarchive(const YKMessage* archive);

    void SetCineRotation(float rotation) { mCineRotation = rotation; }
    float CineRotation() const { return mCineRotation; }
    void SetCineWidth(float width) { mCineWidth = width; }
    float CineWidth() const { return mCineWidth; }
    void SetCineHeight(float height) { mCineHeight = height; }
    float CineHeight() const { return mCineHeight; }
    // Time 0 marks the first dab of a stroke.
    void SetCineTime(float time) { mCineTime = time; }
    float CineTime() const { return mCineTime; }

private:
    float mCineRotation = 0;
    float mCineWidth = 0;
    float mCineHeight = 0;
    float mCineTime = 0;
};
