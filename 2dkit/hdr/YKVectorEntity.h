#pragma once

// YKVectorEntity: the common base of every drawable vector object a vector-object layer holds.
// It owns the geometry (a point list and a segment list indexing it), the stroke and fill
// attributes (animatable through envelopes), the selection and knob state of the editing tools,
// the transformation state (translation, resize and rotation about a centre, and a global
// rotation that tilts the knob box), hit-testing at a tolerance, and the archive.
//
// Kinds: YKVectorPolyline (and YKVectorRectangle), YKVectorFreeHand, YKVectorRoundRect (and
// YKVectorEllipse, YKVectorArc), YKVectorBezier (and YKVectorTextBezier), YKVectorText. Each
// answers Type() with its number, which is also stored under "object_type"; YKVectorEntityFactory
// builds them back from it.
//
// Result codes of the hit tests: 0 miss, 1 on the outline, 2 on an end point, 3 inside the
// bounds, 4 on a knob. Selection states: 0 none, 1 a point, 2 a segment, 3 the whole object
// (knobs shown), 4 a knob grabbed, -1 editing with the dragging reference at the origin.

#include <memory>
#include <string>
#include <vector>

#include "YKPoint.h"
#include "YKRect.h"
#include "YKVectorAttributes.h"
#include "yk_color.h"
#include "yk_types.h"

class YKDash;
class YKEnvelopManager;
class YKGradientBuffer;
class YKGradientContainer;
class YKMessage;
class YKSketcher;
template <typename Traits>
class YKTypedEnvelop;
struct YKColorTraits;
struct YKDoubleTraits;
using YKEnvelopColor = YKTypedEnvelop<YKColorTraits>;
using YKEnvelopDouble = YKTypedEnvelop<YKDoubleTraits>;

// Paint kinds of a stroke or a fill.
enum YKColorFlag : int16 {
    kColorFlagNone = 0,
    kColorFlagColor = 1,
    kColorFlagNotFillable = 2,  // fills only: open paths and text
    kColorFlagPattern = 3,
    kColorFlagGradient = 4,
};

// One segment of the outline: indices into the point list.
struct YKVectorSegment {
    int32 begin = 0;
    int32 end = 0;
    int16 flag = 0;
};

// The stroke attributes. Every segment of an entity shares the one record the entity holds.
struct YKStrokeRecord {
    YKStrokeRecord();
    ~YKStrokeRecord();

    int16 colorFlag = kColorFlagColor;
    std::unique_ptr<YKEnvelopColor> color;  // "stroke_color"
    std::string patternName = "Default";
    std::unique_ptr<YKEnvelopDouble> patternAlpha;  // "stroke_pattern_alpha", 0-255
    bool patternLock = false;
    std::unique_ptr<YKGradientContainer> gradient;  // may be null
    std::unique_ptr<YKEnvelopDouble> width;         // "width"
    std::unique_ptr<YKDash> dash;                   // null: solid
};

class YKVectorEntity {
public:
    using Point = YKPoint<double>;
    using PointList = std::vector<Point>;
    using SegmentList = std::vector<YKVectorSegment>;

    // Object type numbers.
    enum : int32 {
        kTypeEntity = 0,
        kTypeArc = 1,
        kTypeBezier = 2,
        kTypeEllipse = 3,
        kTypeFreeHand = 4,
        kTypePolyline = 7,
        kTypeRectangle = 8,
        kTypeRoundRect = 9,
        kTypeText = 10,
        kTypeTextBezier = 11,
    };
    // Modification modes.
    enum : int32 { kModeIdle = 0, kModeCreating = 1, kModeDragging = 2, kModeRotating = 3 };

    // Empty: no points, no stroke record, no envelopes.
    YKVectorEntity();
    // Two equal points joined by one segment, a new stroke record and the fill envelopes, all
    // registered with `manager` (which may be null). Being created (mode 1).
    YKVectorEntity(Point start, int32 id, YKEnvelopManager* manager);
    // From an archive; missing keys keep the defaults, inconsistent geometry is dropped.
    YKVectorEntity(const YKMessage* archive, int32 id, YKEnvelopManager* manager);
    YKVectorEntity(const YKVectorEntity&) = delete;
    YKVectorEntity& operator=(const YKVectorEntity&) = delete;
    virtual ~YKVectorEntity();

    // --- Plain accessors
    YKEnvelopManager* EnvelopManager() const { return mManager; }
    void SetEnvelopManager(YKEnvelopManager* manager) { mManager = manager; }
    int32 ID() const { return mID; }
    void SetID(int32 id) { mID = id; }
    const PointList& pointList() const { return mPoints; }
    const SegmentList& segmentList() const { return mSegments; }
    // The global rotation angle.
    double Angle() const { return mGlobalAngle; }
    const Point* RefPoint() const { return mPoints.data(); }
    int32 Display() const { return mDisplay; }
    void SetDisplay(int32 display) { mDisplay = display; }
    int32 ModificationMode() const { return mModificationMode; }
    int16 FillColorFlag() const { return mFillColorFlag; }
    YKEnvelopColor* FillColorEnvelop() const { return mFillColor.get(); }
    const YKStrokeRecord* Stroke() const { return mStroke.get(); }
    YKStrokeRecord* Stroke() { return mStroke.get(); }
    int32 Join() const { return mJoin; }
    int32 FirstCap() const { return mFirstCap; }
    int32 LastCap() const { return mLastCap; }
    double MiterLimit() const { return mMiterLimit; }
    Point TransformationCenter() const { return mTransCenter; }
    Point GlobalRotationCenter() const { return mGlobalCenter; }
    int32 GrabbedKnob() const { return mGrabbedKnob; }
    int32 OppositeKnob() const { return mOppositeKnob; }
    // The stroke width as of the last resetBounds() or setWidth(): what the bounds and the hit
    // tests use, read without going through the envelope (hit tests run over many objects).
    double StrokeWidth() const { return mBoundsWidth; }
    // The stroke width at the current frame; 0 without a stroke record.
    double CurrentStrokeWidth() const;

    // What placing the object at another frame changes: its points and transformation centre.
    struct Shape {
        PointList points;
        Point transCenter;
        bool operator==(const Shape&) const = default;
    };
    Shape shape() const { return {mPoints, mTransCenter}; }
    // Puts back a shape this object had; false, with nothing done, when the point count differs.
    bool restoreShape(const Shape& shape);
    // Whether the shape is the whole geometry; text keeps its size in envelopes instead.
    virtual bool shapeIsGeometry() const { return true; }

    // Whether the geometry is one this kind can edit and draw: loading refuses the others.
    // The outline kinds need a point and a segment.
    virtual bool isWellFormed() const { return !mPoints.empty() && !mSegments.empty(); }

    // --- Creation
    virtual int32 segmentGranularity() const { return 1; }
    virtual void constrainSegment(int32 segment, bool on);
    virtual void nextPoint(Point point, bool constrain);
    virtual bool modifyPoint(int32 index, Point point, bool flag);
    virtual void addPoint(Point point, bool constrain);
    // The object itself when it survives its creation, else null (the caller deletes it).
    virtual YKVectorEntity* endCreationWithTol(double tol);

    // --- Path editing (only the path kinds do something)
    virtual void insertNewPointOnSegment(int32 segment, Point point);
    virtual void insertPointWithTol(Point point, double tol);
    // A new object cut off this one, this object itself when it was only opened, or null.
    virtual YKVectorEntity* cutWithTol(Point point, double tol);
    virtual bool mergeWithTol(YKVectorEntity* other, double tol);

    // --- Modification
    virtual bool beginModification_atPoint_withTol(int32 mode, Point point, double tol);
    virtual void setDraggingOffsetFromPoint(Point point);
    virtual void getDraggingOffset(Point* out) const;
    virtual void getDraggingRef(Point* out) const;
    virtual void draggingTo(Point point, bool flag);
    virtual void translate(Point delta);
    virtual void rawTranslation(Point delta);
    // Moves the points so that the box's left-top corner goes to `point`.
    virtual void rawTranslateTo(Point point);
    virtual void setTransformationCenter(Point center);
    // About `center`, or the bounds' centre when it is null.
    virtual void resizeWithCenter(double sx, double sy, const Point* center, bool flag);
    virtual void rawResize(double sx, double sy, bool flag);
    virtual void rotate_about(double angle, const Point* center);
    virtual void setGlobalRotation(double angle, Point center);
    virtual void rawRotate(double angle);
    virtual void endModification(double tol);
    // Mode 0 aligns the left (top) edge, 1 the centre, 2 the right (bottom) edge.
    virtual void setHorizontalAlignment(double x, int32 mode);
    virtual void setVerticalAlignment(double y, int32 mode);
    virtual void deleteSelectedPart() {}

    // --- Attributes
    virtual void setStrokeAndColor(yk_color color, int16 flag, const YKGradientContainer* gradient,
                                   double patternAlpha, bool patternLock, const char* patternName);
    virtual void setFillAndColor(yk_color color, int16 flag, const YKGradientContainer* gradient,
                                 double patternAlpha, bool patternLock, const char* patternName);
    virtual void setWidth(double width);
    // Stores a copy; null for a solid stroke.
    virtual void setDash(const YKDash* dash);
    virtual void getAttributes(YKVectorAttributes* attributes) const;
    virtual void setAttributes(const YKVectorAttributes* attributes);
    virtual void getSelectionDimensions(YKVectorDimensions* dimensions) const;
    virtual void getDimensions_ofSegmentNumber(YKVectorDimensions* dimensions, int32 segment) const;
    virtual void getLastSegmentDimensions(YKVectorDimensions* dimensions) const;
    virtual void setLength_andAngle_forSegmentNumber(double length, double angle, int32 segment);
    virtual void setCapJoin(int32 firstCap, int32 lastCap, int32 join);
    virtual void setMiterLimit(double limit);

    // --- Hit tests and selection
    virtual int32 rawHitAtTol(Point point, double tol) const;
    virtual int32 hitAtTol(Point point, double tol) const { return rawHitAtTol(point, tol); }
    virtual int32 selectAtTol(Point point, double tol, bool flag);
    virtual bool onKnob(Point point, double tol) const;
    virtual int32 selectionState() const { return mSelectionState; }
    virtual int32 selectionIndex() const { return mSelectionIndex; }
    virtual bool select();
    virtual void selectPartInRect(YKRect<double> rect);
    virtual bool select_type(int32 index, int32 state);
    virtual bool selectIfColorMatch(yk_color color);
    virtual void endSelect();
    virtual void lock();
    virtual void unlock() { mLocked = false; }
    virtual bool isLocked() const { return mLocked; }
    virtual bool entityInRect(YKRect<double> rect) const;
    virtual bool entityIntersectRect(YKRect<double> rect) const;

    // --- Knobs, bounds and box
    virtual const PointList& knobList() const { return mKnobs; }
    virtual void resetKnobs() { resetKnobsFromBox(); }
    virtual void resetKnobsFromBox();
    virtual void setBounds(YKRect<double> rect) { mBounds = rect; }
    // What is drawn and hit; kinds with a stroke grow it by the stroke.
    virtual void getBounds(YKRect<double>* out) const { *out = mBounds; }
    virtual void resetBounds();
    virtual void setBox(YKRect<double> rect) { mBox = rect; }
    virtual void getBox(YKRect<double>* out) const { *out = mBox; }
    virtual void resetBox();

    // --- Drawing, copies, archives
    // Sets the sketcher's display mode; the kinds set the paint and draw.
    virtual void drawIn(YKSketcher* sketcher, bool antialias);
    // A new independent object of the same kind that draws the same.
    virtual YKVectorEntity* copy() const;
    virtual void initCopy(const YKVectorEntity* source) { (void)source; }
    virtual int32 Type() const { return kTypeEntity; }
    // After loading: idle and unselected.
    virtual void Awake();
    // Writes the object into `archive`.
    virtual void ArchiveIn(YKMessage* archive) const;
    // Export hooks of the old exchange formats; no kind writes anything.
    virtual void DxfWriteTo(FILE* file, double scale, const char* layerName) const;
    virtual void AIWriteTo(FILE* file) const;
    virtual bool patternLock() const;

    // Rotation of `p` by `angle` about `center`, the one formula every kind uses.
    static Point rotatePt(Point p, double angle, Point center);
    // The bounds of `rect` turned by `angle` about `center`.
    static void makeBoundsFromRotatedRect(YKRect<double>* rect, double angle, Point center);

protected:
    // A new empty object of this kind; copy() fills it.
    virtual YKVectorEntity* instantiate() const { return new YKVectorEntity(); }
    // Copies everything of the base into `target`, with envelopes of its own registered with
    // this object's manager under the same id.
    void copyBaseInto(YKVectorEntity* target) const;

    // Sets the sketcher's stroke and fill paint, dash, width and antialias mode; the gradient
    // buffers it makes live in `buffers` until the drawing is done.
    struct PaintBuffers {
        std::unique_ptr<YKGradientBuffer> stroke;
        std::unique_ptr<YKGradientBuffer> fill;
        PaintBuffers();
        ~PaintBuffers();
    };
    void setupPaint(YKSketcher* sketcher, PaintBuffers* buffers) const;
    // The points turned by the global rotation.
    PointList rotatedPoints() const;
    Point rotated(Point p) const { return rotatePt(p, mGlobalAngle, mGlobalCenter); }
    bool hasGlobalRotation() const { return mGlobalAngle != 0; }

    // Every segment indexes points of the list (archives that do not are refused), so a valid
    // segment index is all a caller checks.
    bool hasSegment(int32 segment) const {
        return segment >= 0 && segment < static_cast<int32>(mSegments.size());
    }
    // Appends a point and a segment during creation or editing.
    void appendSegment(int32 begin, int32 end);
    // Removes the fill envelopes (open paths) and marks the fill as not fillable.
    void dropFill();
    // Whether `p` lies within the bounds grown by tol/2, borders included.
    bool inGrownBounds(Point p, double tol) const;
    // The first knob within `tol` of `p`, or -1.
    int32 knobAt(Point p, double tol) const;
    void grabKnob(int32 knob);
    void writeEntityKeys(YKMessage* archive, int32 type) const;
    void registerEnvelopes() const;

    static bool within(Point a, Point b, double tol);

    PointList mPoints;
    SegmentList mSegments;
    PointList mKnobs;
    YKEnvelopManager* mManager = nullptr;
    int32 mID = 0;
    std::unique_ptr<YKStrokeRecord> mStroke;
    int16 mFillColorFlag = kColorFlagNone;
    std::unique_ptr<YKEnvelopColor> mFillColor;  // "fill_color"
    std::string mFillPatternName = "Default";
    std::unique_ptr<YKEnvelopDouble> mFillPatternAlpha;  // "fill_pattern_alpha"
    bool mFillPatternLock = false;
    std::unique_ptr<YKGradientContainer> mFillGradient;
    int32 mJoin = 3;
    int32 mFirstCap = 4;
    int32 mLastCap = 4;
    double mMiterLimit = 2.0;
    int32 mDisplay = 0;
    bool mLocked = false;
    double mRotAngle = 0;
    Point mTransCenter;
    double mGlobalAngle = 0;
    Point mGlobalCenter;
    int32 mModificationMode = kModeIdle;
    int32 mSelectionState = 0;
    YKRect<double> mCreationBounds{1, 1, -1, -1};
    YKRect<double> mBounds{1, 1, -1, -1};
    YKRect<double> mBox{1, 1, -1, -1};
    int32 mSelectionIndex = 0;
    int32 mGrabbedKnob = 0;
    int32 mOppositeKnob = 0;
    Point mDraggingOffset;
    double mBoundsWidth = 0;

private:
    // Patterns this object holds in the bitmap roster (one use each); released with the object.
    std::vector<std::string> mRosterUsers;

    // Takes a use of the named pattern: the roster's when it holds the name, else the pixels
    // archived in `buffer` (when there are some). Keeps the pattern alive as long as this object.
    void holdPattern(const std::string& name, const YKMessage* buffer);

    void readArchive(const YKMessage* archive);
    void readStroke(const YKMessage* archive);
    void readFill(const YKMessage* archive);
    void createFillEnvelopes();
};
