#pragma once

// YKVectorEllipse: the ellipse inscribed in the four corners of a rounded rectangle without
// radii. It is created, selected, hit and archived as the rounded rectangle is.

#include "YKVectorRoundRect.h"

class YKVectorEllipse : public YKVectorRoundRect {
public:
    YKVectorEllipse() = default;
    YKVectorEllipse(Point start, int32 id, YKEnvelopManager* manager);
    YKVectorEllipse(const YKMessage* archive, int32 id, YKEnvelopManager* manager);

    int32 Type() const override { return kTypeEllipse; }

protected:
    YKVectorEntity* instantiate() const override { return new YKVectorEllipse(); }
    void drawShape(YKSketcher* sketcher, const PointList& corners) override;
    void sampleOutline(const PointList& corners, PointList* outline, bool* closed) const override;
};
