#pragma once

// YKVectorRoundRect: a box with rounded corners, kept as its four corners in a closed loop of
// four segments. Corner 0 is where the creation drag started, corner 2 the opposite one; corner
// 1 shares corner 0's y and corner 3 its x, so sides 0-1 and 2-3 round with rx and sides 1-2
// and 3-0 with ry. The sides stay axis-parallel in the point list; any tilt is the global
// rotation. The ellipse and the arc reuse this machinery (creation, knobs, bounds, hit tests,
// archive) and only draw and measure another outline; they carry no radii.

#include <memory>

#include "YKVectorEntity.h"

class YKVectorRoundRect : public YKVectorEntity {
public:
    YKVectorRoundRect();
    // Four coincident corners at `start`, radii 0, being dragged out by corner 2 (mode 2).
    YKVectorRoundRect(Point start, int32 id, YKEnvelopManager* manager);
    // From an archive; a missing "rx" or "ry" gives a radius of 0 rather than none.
    YKVectorRoundRect(const YKMessage* archive, int32 id, YKEnvelopManager* manager);
    ~YKVectorRoundRect() override;

    // The radius envelopes; null for the ellipse and the arc.
    YKEnvelopDouble* RxEnvelop() const { return mRx.get(); }
    YKEnvelopDouble* RyEnvelop() const { return mRy.get(); }

    // --- Creation: corner `index` moves and its neighbours follow so the box stays a box.
    // Keeps corner `segment` on a diagonal through the opposite corner (a square).
    void constrainSegment(int32 segment, bool on) override;
    void nextPoint(Point point, bool constrain) override;
    bool modifyPoint(int32 index, Point point, bool flag) override;
    void addPoint(Point point, bool constrain) override;

    // --- Hit tests, knobs, bounds
    // 1 within the stroke's half width plus `tol` of the outline, 0 elsewhere inside the
    // bounds; knob hits as the base answers them.
    int32 hitAtTol(Point point, double tol) const override;
    // The four corners while selected, none otherwise.
    void resetKnobs() override;
    // Grown by the stroke width on every side, so a redraw covers the whole stroke.
    void getBounds(YKRect<double>* out) const override;

    // --- Attributes, drawing, copies, archives
    void getAttributes(YKVectorAttributes* attributes) const override;
    void setAttributes(const YKVectorAttributes* attributes) override;
    void drawIn(YKSketcher* sketcher, bool antialias) override;
    void initCopy(const YKVectorEntity* source) override;
    int32 Type() const override { return kTypeRoundRect; }
    void ArchiveIn(YKMessage* archive) const override;

protected:
    // The ellipse and the arc build the same object without radii.
    YKVectorRoundRect(Point start, int32 id, YKEnvelopManager* manager, bool withRadii);
    YKVectorRoundRect(const YKMessage* archive, int32 id, YKEnvelopManager* manager,
                      bool withRadii);

    YKVectorEntity* instantiate() const override { return new YKVectorRoundRect(); }
    // Sets the line mode and hands the turned corners to the sketcher; the paint is set.
    virtual void drawShape(YKSketcher* sketcher, const PointList& corners);
    // The outline through the turned corners as a polyline, and whether it closes.
    virtual void sampleOutline(const PointList& corners, PointList* outline, bool* closed) const;
    // Butt caps and bevel joins whatever the object's own; closed unless dashed, so a dash
    // pattern runs on across the seam.
    void setClosedLineMode(YKSketcher* sketcher) const;
    // Appends centre + cos t·from + sin t·to for t from 0 to π/2 by `step`, the end included.
    static void appendQuarter(PointList* out, Point center, Point from, Point to, double step);

private:
    // Distance from `p` to the sampled outline; never more than 100.
    double outlineDistance(Point p) const;
    void registerRadii() const;
    void unregisterRadii() const;

    std::unique_ptr<YKEnvelopDouble> mRx;  // "rx"
    std::unique_ptr<YKEnvelopDouble> mRy;  // "ry"
};
