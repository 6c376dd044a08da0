#include "YKVectorEntity.h"

#include <algorithm>
#include <cmath>

#include "YKBitmapRoster.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKGradientBuffer.h"
#include "YKGradientContainer.h"

// --- Stroke record ---

YKStrokeRecord::YKStrokeRecord() = default;
YKStrokeRecord::~YKStrokeRecord() = default;

YKVectorEntity::PaintBuffers::PaintBuffers() = default;
YKVectorEntity::PaintBuffers::~PaintBuffers() = default;

namespace {

template <typename Envelop, typename Value>
std::unique_ptr<Envelop> NewEnvelop(int32 id, const char* name, const Value& value) {
    auto envelope = std::make_unique<Envelop>(id, name);
    envelope->SetValue(value, 1);
    return envelope;
}

}  // namespace

// --- Construction ---

YKVectorEntity::YKVectorEntity() = default;

YKVectorEntity::YKVectorEntity(Point start, int32 id, YKEnvelopManager* manager)
    : mManager(manager), mID(id) {
    mPoints = {start, start};
    mSegments = {{0, 1, 0}};
    mStroke = std::make_unique<YKStrokeRecord>();
    mStroke->color = NewEnvelop<YKEnvelopColor>(id, "stroke_color", yk_color{0, 0, 0, 255});
    mStroke->patternAlpha = NewEnvelop<YKEnvelopDouble>(id, "stroke_pattern_alpha", 0.0);
    mStroke->width = NewEnvelop<YKEnvelopDouble>(id, "width", 0.0);
    createFillEnvelopes();
    registerEnvelopes();
    mModificationMode = kModeCreating;
    mBounds = {start.x, start.y, start.x, start.y};
    mCreationBounds = mBounds;
    mBox = mBounds;
}

YKVectorEntity::YKVectorEntity(const YKMessage* archive, int32 id, YKEnvelopManager* manager)
    : mManager(manager), mID(id) {
    readArchive(archive);
    registerEnvelopes();
    resetBox();
    resetBounds();
}

void YKVectorEntity::createFillEnvelopes() {
    mFillColor = NewEnvelop<YKEnvelopColor>(mID, "fill_color", yk_color{255, 255, 255, 255});
    mFillPatternAlpha = NewEnvelop<YKEnvelopDouble>(mID, "fill_pattern_alpha", 0.0);
    // A loaded object always has a container, so a new one has it too: otherwise the same
    // object saved before and after a reload would be written differently.
    mFillGradient = std::make_unique<YKGradientContainer>();
}

void YKVectorEntity::registerEnvelopes() const {
    if (mManager == nullptr) {
        return;
    }
    for (YKEnvelop* envelope : {static_cast<YKEnvelop*>(mFillColor.get()),
                                static_cast<YKEnvelop*>(mFillPatternAlpha.get())}) {
        if (envelope != nullptr) {
            mManager->AddEnvelop(envelope);
        }
    }
    if (mStroke != nullptr) {
        for (YKEnvelop* envelope : {static_cast<YKEnvelop*>(mStroke->color.get()),
                                    static_cast<YKEnvelop*>(mStroke->patternAlpha.get()),
                                    static_cast<YKEnvelop*>(mStroke->width.get())}) {
            if (envelope != nullptr) {
                mManager->AddEnvelop(envelope);
            }
        }
    }
}

YKVectorEntity::~YKVectorEntity() {
    for (const std::string& name : mRosterUsers) {
        YKBitmapRoster::Default().DeleteBitmap(name.c_str());
    }
    if (mManager == nullptr) {
        return;
    }
    // The manager must not keep pointers to envelopes about to be deleted.
    for (YKEnvelop* envelope : {static_cast<YKEnvelop*>(mFillColor.get()),
                                static_cast<YKEnvelop*>(mFillPatternAlpha.get())}) {
        if (envelope != nullptr) {
            mManager->RemoveEnvelop(envelope);
        }
    }
    if (mStroke != nullptr) {
        for (YKEnvelop* envelope : {static_cast<YKEnvelop*>(mStroke->color.get()),
                                    static_cast<YKEnvelop*>(mStroke->patternAlpha.get()),
                                    static_cast<YKEnvelop*>(mStroke->width.get())}) {
            if (envelope != nullptr) {
                mManager->RemoveEnvelop(envelope);
            }
        }
    }
}

void YKVectorEntity::dropFill() {
    if (mManager != nullptr) {
        for (YKEnvelop* envelope : {static_cast<YKEnvelop*>(mFillColor.get()),
                                    static_cast<YKEnvelop*>(mFillPatternAlpha.get())}) {
            if (envelope != nullptr) {
                mManager->RemoveEnvelop(envelope);
            }
        }
    }
    mFillColor.reset();
    mFillPatternAlpha.reset();
    mFillGradient.reset();
    mFillColorFlag = kColorFlagNotFillable;
}

double YKVectorEntity::CurrentStrokeWidth() const {
    return mStroke != nullptr && mStroke->width != nullptr ? mStroke->width->Value() : 0.0;
}

// --- Copies ---

YKVectorEntity* YKVectorEntity::copy() const {
    YKVectorEntity* target = instantiate();
    copyBaseInto(target);
    target->initCopy(this);
    return target;
}

void YKVectorEntity::copyBaseInto(YKVectorEntity* target) const {
    target->mPoints = mPoints;
    target->mSegments = mSegments;
    target->mKnobs = mKnobs;
    target->mManager = mManager;
    target->mID = mID;
    if (mStroke != nullptr) {
        target->mStroke = std::make_unique<YKStrokeRecord>();
        YKStrokeRecord& stroke = *target->mStroke;
        stroke.colorFlag = mStroke->colorFlag;
        stroke.color.reset(mStroke->color != nullptr ? mStroke->color->Duplicate() : nullptr);
        stroke.patternName = mStroke->patternName;
        target->holdPattern(stroke.patternName, nullptr);
        stroke.patternAlpha.reset(
            mStroke->patternAlpha != nullptr ? mStroke->patternAlpha->Duplicate() : nullptr);
        stroke.patternLock = mStroke->patternLock;
        if (mStroke->gradient != nullptr) {
            stroke.gradient = std::make_unique<YKGradientContainer>(*mStroke->gradient);
        }
        stroke.width.reset(mStroke->width != nullptr ? mStroke->width->Duplicate() : nullptr);
        if (mStroke->dash != nullptr) {
            stroke.dash = std::make_unique<YKDash>(*mStroke->dash);
        }
    }
    target->mFillColorFlag = mFillColorFlag;
    target->mFillColor.reset(mFillColor != nullptr ? mFillColor->Duplicate() : nullptr);
    target->mFillPatternName = mFillPatternName;
    if (mFillColorFlag != kColorFlagNotFillable) {
        target->holdPattern(mFillPatternName, nullptr);
    }
    target->mFillPatternAlpha.reset(mFillPatternAlpha != nullptr ? mFillPatternAlpha->Duplicate()
                                                                 : nullptr);
    target->mFillPatternLock = mFillPatternLock;
    if (mFillGradient != nullptr) {
        target->mFillGradient = std::make_unique<YKGradientContainer>(*mFillGradient);
    }
    target->mJoin = mJoin;
    target->mFirstCap = mFirstCap;
    target->mLastCap = mLastCap;
    target->mMiterLimit = mMiterLimit;
    target->mDisplay = mDisplay;
    target->mLocked = mLocked;
    target->mRotAngle = mRotAngle;
    target->mTransCenter = mTransCenter;
    target->mGlobalAngle = mGlobalAngle;
    target->mGlobalCenter = mGlobalCenter;
    target->mModificationMode = mModificationMode;
    target->mSelectionState = mSelectionState;
    target->mCreationBounds = mCreationBounds;
    target->mBounds = mBounds;
    target->mBox = mBox;
    target->mSelectionIndex = mSelectionIndex;
    target->mGrabbedKnob = mGrabbedKnob;
    target->mOppositeKnob = mOppositeKnob;
    target->mDraggingOffset = mDraggingOffset;
    target->mBoundsWidth = mBoundsWidth;
    target->registerEnvelopes();
}

void YKVectorEntity::Awake() {
    mModificationMode = kModeIdle;
    mSelectionState = 0;
}

// --- Creation ---

void YKVectorEntity::appendSegment(int32 begin, int32 end) {
    mSegments.push_back({begin, end, 0});
}

void YKVectorEntity::constrainSegment(int32 segment, bool on) {
    if (!on || !hasSegment(segment)) {
        return;
    }
    const YKVectorSegment& s = mSegments[segment];
    const Point begin = mPoints[s.begin];
    Point& end = mPoints[s.end];
    const double dx = end.x - begin.x;
    const double dy = end.y - begin.y;
    const double length = std::hypot(dx, dy);
    if (length == 0) {
        return;
    }
    if (std::fabs(dx) / length < 0.5) {
        end.x = begin.x;
    } else if (std::fabs(dx) / length < 0.866025) {
        const double side = length * std::sqrt(2.0) / 2;
        end = {begin.x + std::copysign(side, dx), begin.y + std::copysign(side, dy)};
    } else {
        end.y = begin.y;
    }
}

void YKVectorEntity::nextPoint(Point point, bool constrain) {
    if (mSegments.empty()) {
        return;
    }
    const int32 last = static_cast<int32>(mSegments.size()) - 1;
    const int32 end = mSegments[last].end;
    if (end < 0 || end >= static_cast<int32>(mPoints.size())) {
        return;
    }
    mPoints[end] = point;
    constrainSegment(last, constrain);
    const Point p = rotated(mPoints[end]);
    mBounds = mCreationBounds;
    mBounds.left = MIN(mBounds.left, p.x);
    mBounds.top = MIN(mBounds.top, p.y);
    mBounds.right = MAX(mBounds.right, p.x);
    mBounds.bottom = MAX(mBounds.bottom, p.y);
}

bool YKVectorEntity::modifyPoint(int32 index, Point point, bool flag) {
    (void)point;
    (void)flag;
    return hasSegment(index);
}

void YKVectorEntity::addPoint(Point point, bool constrain) {
    if (mSegments.empty()) {
        return;
    }
    const int32 granularity = segmentGranularity();
    if (mPoints.capacity() <= mPoints.size() + 2) {
        // Growing by a fixed step would copy a long stroke's points over and over.
        mPoints.reserve(
            std::max(mPoints.size() * 2, mPoints.size() + static_cast<size_t>(granularity) + 2));
    }
    const int32 last = static_cast<int32>(mSegments.size()) - 1;
    const int32 end = mSegments[last].end;
    if (end < 0 || end >= static_cast<int32>(mPoints.size())) {
        return;
    }
    mPoints[end] = point;
    mPoints.push_back(point);
    constrainSegment(last, constrain);
    const Point p = rotated(mPoints[end]);
    mBounds = mCreationBounds;
    if (!mBounds.IsValid()) {
        mBounds = {p.x, p.y, p.x, p.y};
    }
    mBounds.left = MIN(mBounds.left, p.x);
    mBounds.top = MIN(mBounds.top, p.y);
    mBounds.right = MAX(mBounds.right, p.x);
    mBounds.bottom = MAX(mBounds.bottom, p.y);
    mCreationBounds = mBounds;
    appendSegment(end, static_cast<int32>(mPoints.size()) - 1);
    mSelectionIndex = static_cast<int32>(mSegments.size()) - 1;
}

YKVectorEntity* YKVectorEntity::endCreationWithTol(double tol) {
    (void)tol;
    bool survives = false;
    for (size_t i = 0; i + 1 < mSegments.size(); ++i) {
        const YKVectorSegment& s = mSegments[i];
        if (s.begin >= 0 && s.end >= 0 && s.begin < static_cast<int32>(mPoints.size()) &&
            s.end < static_cast<int32>(mPoints.size()) && !(mPoints[s.begin] == mPoints[s.end])) {
            survives = true;
            break;
        }
    }
    if (mModificationMode == kModeCreating) {
        if (mSegments.size() < 2) {
            return nullptr;
        }
        mModificationMode = kModeIdle;
        mSegments.pop_back();
        mPoints.pop_back();
        mSelectionState = 3;
        resetBox();
        resetBounds();
        resetKnobs();
    }
    if (!survives) {
        return nullptr;
    }
    if (mManager != nullptr) {
        mManager->ObjectModified(mID);
    }
    return this;
}

// --- Path editing: the path kinds override these ---

void YKVectorEntity::insertNewPointOnSegment(int32 segment, Point point) {
    (void)segment;
    (void)point;
}

void YKVectorEntity::insertPointWithTol(Point point, double tol) {
    (void)point;
    (void)tol;
}

YKVectorEntity* YKVectorEntity::cutWithTol(Point point, double tol) {
    (void)point;
    (void)tol;
    return nullptr;
}

bool YKVectorEntity::mergeWithTol(YKVectorEntity* other, double tol) {
    (void)other;
    (void)tol;
    return false;
}

// --- Export hooks ---

void YKVectorEntity::DxfWriteTo(FILE* file, double scale, const char* layerName) const {
    (void)file;
    (void)scale;
    (void)layerName;
}

void YKVectorEntity::AIWriteTo(FILE* file) const {
    (void)file;
}

// --- Geometry ---

YKVectorEntity::Point YKVectorEntity::rotatePt(Point p, double angle, Point center) {
    if (angle == 0) {
        return p;
    }
    const double s = std::sin(angle);
    const double c = std::cos(angle);
    return {(p.y - center.y) * s + (p.x - center.x) * c + center.x,
            (p.y - center.y) * c - (p.x - center.x) * s + center.y};
}

void YKVectorEntity::makeBoundsFromRotatedRect(YKRect<double>* rect, double angle, Point center) {
    YKRect<double> bounds{1e35, 1e35, -1e35, -1e35};
    for (const Point corner : {Point{rect->left, rect->top}, Point{rect->right, rect->top},
                               Point{rect->right, rect->bottom}, Point{rect->left, rect->bottom}}) {
        const Point p = rotatePt(corner, angle, center);
        bounds.left = MIN(bounds.left, p.x);
        bounds.top = MIN(bounds.top, p.y);
        bounds.right = MAX(bounds.right, p.x);
        bounds.bottom = MAX(bounds.bottom, p.y);
    }
    *rect = bounds;
}

bool YKVectorEntity::within(Point a, Point b, double tol) {
    return std::hypot(a.x - b.x, a.y - b.y) <= tol;
}
