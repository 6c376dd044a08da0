#pragma once

// YKSketcher: the geometry half of the 2D engine. An object sets the drawing state (stroke and
// fill style, colours, pattern, gradient, width, caps, join, miter limit, dash, display mode,
// closed flag) and calls one Draw... operation with its control points. The sketcher flattens
// the primitive into straight-edged fill polygons and builds the stroke outline polygons from
// them (ComputeOutline). It never touches pixels: YKZipSketcher scan-converts what it builds.
// All coordinates are doubles in the target bitmap's pixel space.

#include <memory>

#include "YKList.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_color.h"
#include "yk_sketch_modes.h"
#include "yk_types.h"

class YKDash;
class YKFontData;
class YKGradientBuffer;
class YKPattern;
class YKStroker;

using YKPointList = YKList<YKPoint<double>>;

// One character placed along a path: its glyphs' pen origin on the baseline, the direction the
// text runs there (radians, y down) and the character's UTF-8 bytes (empty for the end
// placement after the last character).
struct path_item {
    YKPoint<double> point{0, 0};
    double angle = 0;
    char character[8] = {};
};

class YKSketcher {
public:
    YKSketcher();
    YKSketcher(const YKSketcher&) = delete;
    YKSketcher& operator=(const YKSketcher&) = delete;

    // --- Virtual operations, in slot order
    virtual ~YKSketcher();
    // Glyphs come from the font data, pen at `at` on the baseline; without one nothing is built.
    virtual void DrawChar(char c, YKPoint<double> at);
    virtual void DrawString(const char* text, YKPoint<double> at);
    virtual void DrawString(const char* text, YKPoint<double> at, int32 skip);
    virtual void SetFontData(YKFontData* font) { mFontData = font; }
    // Text along a Bézier path (groups of four points), from `a` pixels along it; `b` is
    // reserved (callers pass 0). `path` is emptied.
    virtual void DrawString(char* text, YKPointList* path, double a, double b);
    virtual void DrawLine(YKPoint<double> from, YKPoint<double> to);
    virtual void DrawLine(double x0, double y0, double x1, double y1);
    // The points are copied; the caller's list is emptied on return.
    virtual void DrawPolygon(YKPointList* points);
    // The four corners in order; the caller's list is emptied on return.
    virtual void DrawRect(YKPointList* corners);
    virtual void DrawRoundRect(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                               YKPoint<double> p3, double rx, double ry);
    // p0 a corner of the (possibly turned) box, p2 its neighbour along the first axis, p3 along
    // the second.
    virtual void DrawEllipse(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                             YKPoint<double> p3);
    // A quarter ellipse about the centre p2.
    virtual void DrawArc(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2);
    // Cubics in groups of four points (start, control, control, end); the list is emptied.
    virtual void DrawBezier(YKPointList* points);
    virtual void SetFrame(YKRect<int32> frame) { mFrame = frame; }
    virtual void SetOverlapStroke(bool overlap) { (void)overlap; }
    virtual bool OverlapStroke() const { return true; }

    // Curves stop being subdivided once their polygon holds this many points, so that huge
    // control polygons cannot exhaust memory.
    static constexpr int32 kMaxFlattenedPoints = 1 << 16;

    // --- State
    YKRect<int32> Frame() const { return mFrame; }
    // Widths of 1.0 or less (and any width in wireframe display) become 1.00001, a hairline.
    // Clears the width array.
    void SetWidth(double width);
    double Width() const { return mWidth; }
    // Per-vertex widths (not owned); the width becomes the largest of them.
    void SetWidthArray(YKList<double>* widths);
    YKList<double>* WidthArray() const { return mWidthArray; }
    void SetLineMode(int32 capIn, int32 capOut, int32 join, double miterLimit);
    int32 LineJoinMode() const { return mJoin; }
    int32 LineCapInMode() const { return mCapIn; }
    int32 LineCapOutMode() const { return mCapOut; }
    double LineMiterLimit() const { return mMiterLimit; }
    // Always anti-aliased, whatever is asked.
    void SetAntgMode(int32 mode);
    int32 AntgMode() const { return mAntgMode; }
    void SetStrokeStyle(int32 style) { mStrokeStyle = style; }
    int32 StrokeStyle() const { return mStrokeStyle; }
    void SetFillStyle(int32 style) { mFillStyle = style; }
    int32 FillStyle() const { return mFillStyle; }
    void SetStrokeColor(yk_color color) { mStrokeColor = color; }
    yk_color StrokeColor() const { return mStrokeColor; }
    void SetFillColor(yk_color color) { mFillColor = color; }
    yk_color FillColor() const { return mFillColor; }
    // Not owned; null strokes solid.
    void SetStrokeDash(YKDash* dash) { mStrokeDash = dash; }
    YKDash* StrokeDash() const { return mStrokeDash; }

    // Patterns and gradients are not owned.
    struct PatternPaint {
        YKPattern* pattern = nullptr;
        uint8 alpha = 0;
        double angle = 0;
        YKPoint<double> center{0, 0};
        YKPoint<double> refPoint{0, 0};
    };
    void SetStrokePattern(YKPattern* pattern) { mStrokePattern.pattern = pattern; }
    YKPattern* StrokePattern() const { return mStrokePattern.pattern; }
    void SetStrokePatternAlpha(uint8 alpha) { mStrokePattern.alpha = alpha; }
    uint8 StrokePatternAlpha() const { return mStrokePattern.alpha; }
    void SetStrokePatternRotation(YKPoint<double> center, double angle) {
        mStrokePattern.center = center;
        mStrokePattern.angle = angle;
    }
    double StrokePatternAngle() const { return mStrokePattern.angle; }
    YKPoint<double> StrokePatternCenter() const { return mStrokePattern.center; }
    void SetStrokePatternRefPoint(YKPoint<double> point) { mStrokePattern.refPoint = point; }
    YKPoint<double> StrokePatternRefPoint() const { return mStrokePattern.refPoint; }
    void SetFillPattern(YKPattern* pattern) { mFillPattern.pattern = pattern; }
    YKPattern* FillPattern() const { return mFillPattern.pattern; }
    void SetFillPatternAlpha(uint8 alpha) { mFillPattern.alpha = alpha; }
    uint8 FillPatternAlpha() const { return mFillPattern.alpha; }
    void SetFillPatternRotation(YKPoint<double> center, double angle) {
        mFillPattern.center = center;
        mFillPattern.angle = angle;
    }
    double FillPatternAngle() const { return mFillPattern.angle; }
    YKPoint<double> FillPatternCenter() const { return mFillPattern.center; }
    void SetFillPatternRefPoint(YKPoint<double> point) { mFillPattern.refPoint = point; }
    YKPoint<double> FillPatternRefPoint() const { return mFillPattern.refPoint; }
    const PatternPaint& StrokePatternPaint() const { return mStrokePattern; }
    const PatternPaint& FillPatternPaint() const { return mFillPattern; }
    void SetStrokeGradient(YKGradientBuffer* gradient) { mStrokeGradient = gradient; }
    YKGradientBuffer* StrokeGradient() const { return mStrokeGradient; }
    void SetFillGradient(YKGradientBuffer* gradient) { mFillGradient = gradient; }
    YKGradientBuffer* FillGradient() const { return mFillGradient; }
    void SetDisplay(int32 display) { mDisplay = display; }
    int32 Display() const { return mDisplay; }
    void SetClosed(bool closed) { mClosed = closed; }
    bool Closed() const { return mClosed; }

    // --- What the last Draw... built (valid until the next one)
    const YKList<YKPointList*>* Polygon() const { return &mPolygons; }
    const YKList<YKPointList*>* Outline() const { return &mOutline; }
    const YKList<YKPointList*>* OutlineIn() const { return &mOutlineIn; }
    const YKList<YKPointList*>* OutlineOut() const { return &mOutlineOut; }
    // The placements of the last text along a path: one per character drawn, then the end.
    const YKList<path_item>* StringPath() const { return &mStringPath; }

protected:
    // --- Building (the Draw... operations of the base are these in order)
    void ResetPolygon();
    void InitPolygon();
    // Appends the current polygon to the polygon list; one holding a non-finite point is
    // dropped instead.
    void ClosePolygon();
    void ResetOutline();
    // The stroke outline polygons of every fill polygon (caps, joins, dashes); nothing while
    // outlines are not wanted.
    void ComputeOutline();
    // A drawing target that will not paint the stroke spares the outline's cost: thousands of
    // points for a line of text.
    void SetOutlineWanted(bool wanted) { mOutlineWanted = wanted; }

    YKPointList* CurrentPolygon() const { return mCurrent; }
    YKFontData* FontData() const { return mFontData; }

    // --- Primitives: each appends its points to the current polygon
    void SetLine(YKPoint<double> a, YKPoint<double> b);
    // Replaces the current polygon's points by those of `points`.
    void SetPolygon(const YKPointList& points);
    // The first four points of `corners`, in order.
    void SetRect(const YKPointList& corners);
    void SetRect(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2, YKPoint<double> p3);
    // Cubics in groups of four points, flattened adaptively.
    void SetBezier(const YKPointList& points);
    // SetBezier without leaving the parts outside the frame coarse, for paths measured along
    // their length.
    void SetBezierWhole(const YKPointList& points);
    // 63 points at fixed steps of 0.1 radian; nothing when an axis is zero.
    void SetEllipse(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2, YKPoint<double> p3);
    // The quarter ellipse, closed by the centre p2 as the last point.
    void SetArc(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2);
    // p0..p3 the corners in order around the box; rx runs along p0p1 and p2p3, ry along the
    // other two sides.
    void SetRoundRect(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                      YKPoint<double> p3, double rx, double ry);

private:
    // Reset, build the current polygon with `build`, close it; the outline is left empty.
    template <typename Build>
    void BuildPolygon(Build build);
    // BuildPolygon, then the outline.
    template <typename Build>
    void Draw(Build build);
    // Draw from a copy of `points`, which is emptied afterwards.
    template <typename Build>
    void DrawCopy(YKPointList* points, Build build);

    // The glyph contours of the font data for `text` from character `skip` on, each one a fill
    // polygon (filled together, non-zero), and their stroke.
    void BuildGlyphs(const char* text, YKPoint<double> at, int32 skip);
    void InitStringPath() { mStringPath.MakeEmpty(); }
    // Places the characters of `text` along the current polygon from `start` pixels on.
    void _ComputeStringPath(const char* text, double start);

    // Stroking (yk_stroker_internal.h) reads the drawing state and fills the outline lists.
    friend class YKStroker;

    YKRect<int32> mFrame = YKRect<int32>::None();
    double mWidth = -1.0;
    YKList<double>* mWidthArray = nullptr;
    int32 mJoin = YK_JOIN_MITER;
    int32 mCapIn = YK_CAP_ROUND;
    int32 mCapOut = YK_CAP_ROUND;
    double mMiterLimit = 10.0;
    int32 mAntgMode = YK_ANTG_PLAIN;
    int32 mStrokeStyle = YK_STYLE_COLOR;
    int32 mFillStyle = YK_STYLE_COLOR;
    yk_color mStrokeColor{255, 255, 255, 255};
    yk_color mFillColor{255, 255, 255, 255};
    YKDash* mStrokeDash = nullptr;
    PatternPaint mStrokePattern;
    PatternPaint mFillPattern;
    YKGradientBuffer* mStrokeGradient = nullptr;
    YKGradientBuffer* mFillGradient = nullptr;
    int32 mDisplay = YK_PREVIEW_NORMAL;
    bool mClosed = false;
    bool mOutlineWanted = true;
    YKFontData* mFontData = nullptr;
    YKList<YKPointList*> mPolygons{16, false};
    YKPointList* mCurrent = nullptr;
    YKList<YKPointList*> mOutline{16, false};
    YKList<YKPointList*> mOutlineIn{16, false};
    YKList<YKPointList*> mOutlineOut{16, false};
    YKList<path_item> mStringPath{16, false};
    // Made by the first stroke and kept, so later ones reuse its working storage.
    std::unique_ptr<YKStroker> mStroker;
};
