// Rounded rectangle: construction, creation by dragging a corner, radii attributes, copies and
// archive. The outline, hit test and drawing are in YKVectorRoundRectOutline.cpp.

#include "YKVectorRoundRect.h"

#include <cmath>

#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"

namespace {

constexpr const char* kRxName = "rx";
constexpr const char* kRyName = "ry";

std::unique_ptr<YKEnvelopDouble> NewRadius(int32 id, const char* name) {
    auto radius = std::make_unique<YKEnvelopDouble>(id, name);
    radius->SetValue(0.0, 1);
    return radius;
}

// A radius read from its archived envelope. Both are always written, so a missing or empty one
// comes from a damaged file: a 0 radius keeps the object drawable and editable.
std::unique_ptr<YKEnvelopDouble> ReadRadius(const YKMessage* archive, int32 id, const char* name) {
    auto radius = std::make_unique<YKEnvelopDouble>(id, name);
    YKMessage part;
    if (archive != nullptr && archive->FindMessage(name, &part)) {
        radius->UnArchive(&part, id);
        radius->SetName(name);
    }
    if (radius->CountKeyFrames() == 0) {
        radius->SetValue(0.0, 1);
    }
    return radius;
}

void WriteRadius(YKMessage* archive, const char* name, const YKEnvelopDouble& radius) {
    YKMessage part;
    radius.Archive(&part);
    archive->AddMessage(name, &part);
}

}  // namespace

// --- Construction ---

YKVectorRoundRect::YKVectorRoundRect() = default;

YKVectorRoundRect::YKVectorRoundRect(Point start, int32 id, YKEnvelopManager* manager)
    : YKVectorRoundRect(start, id, manager, true) {}

YKVectorRoundRect::YKVectorRoundRect(const YKMessage* archive, int32 id, YKEnvelopManager* manager)
    : YKVectorRoundRect(archive, id, manager, true) {}

YKVectorRoundRect::YKVectorRoundRect(Point start, int32 id, YKEnvelopManager* manager,
                                     bool withRadii)
    : YKVectorEntity(start, id, manager) {
    // Five points and four segments, then the last segment closes on corner 0.
    for (int32 i = 0; i < 3; ++i) {
        YKVectorEntity::addPoint(start, false);
    }
    mSegments.back().end = 0;
    mPoints.pop_back();
    mModificationMode = kModeDragging;
    mSelectionState = 0;
    if (withRadii) {
        mRx = NewRadius(id, kRxName);
        mRy = NewRadius(id, kRyName);
        registerRadii();
    }
    resetBox();
    resetBounds();
    resetKnobs();
}

YKVectorRoundRect::YKVectorRoundRect(const YKMessage* archive, int32 id, YKEnvelopManager* manager,
                                     bool withRadii)
    : YKVectorEntity(archive, id, manager) {
    if (withRadii) {
        mRx = ReadRadius(archive, id, kRxName);
        mRy = ReadRadius(archive, id, kRyName);
        registerRadii();
    }
}

YKVectorRoundRect::~YKVectorRoundRect() {
    unregisterRadii();
}

void YKVectorRoundRect::registerRadii() const {
    if (mManager == nullptr) {
        return;
    }
    for (YKEnvelopDouble* radius : {mRx.get(), mRy.get()}) {
        if (radius != nullptr) {
            mManager->AddEnvelop(radius);
        }
    }
}

void YKVectorRoundRect::unregisterRadii() const {
    if (mManager == nullptr) {
        return;
    }
    for (YKEnvelopDouble* radius : {mRx.get(), mRy.get()}) {
        if (radius != nullptr) {
            mManager->RemoveEnvelop(radius);
        }
    }
}

// --- Creation ---

void YKVectorRoundRect::constrainSegment(int32 segment, bool on) {
    if (!on || segment <= 0 || segment > 3 || mPoints.size() < 4) {
        return;
    }
    const Point opposite = mPoints[(segment + 2) % 4];
    Point& corner = mPoints[segment];
    const double dx = corner.x - opposite.x;
    const double dy = corner.y - opposite.y;
    const double side = std::hypot(dx, dy) * std::sqrt(2.0) / 2;
    corner = {opposite.x + std::copysign(side, dx), opposite.y + std::copysign(side, dy)};
}

void YKVectorRoundRect::nextPoint(Point point, bool constrain) {
    modifyPoint(2, point, constrain);
    mSelectionState = 3;
    resetKnobs();
}

bool YKVectorRoundRect::modifyPoint(int32 index, Point point, bool flag) {
    if (index < 0 || index > 3 || mPoints.size() < 4) {
        return false;
    }
    mPoints[index] = point;
    constrainSegment(index, flag);
    const Point moved = mPoints[index];
    const Point opposite = mPoints[(index + 2) % 4];
    Point& previous = mPoints[(index + 3) % 4];
    Point& next = mPoints[(index + 1) % 4];
    // Corner 0's successor shares its y, corner 1's its x: keeping that pairing keeps sides 0-1
    // and 2-3 horizontal, which is what rx and the ellipse's first axis refer to.
    if (index % 2 == 0) {
        previous = {moved.x, opposite.y};
        next = {opposite.x, moved.y};
    } else {
        previous = {opposite.x, moved.y};
        next = {moved.x, opposite.y};
    }
    resetBox();
    resetBounds();
    resetKnobs();
    return true;
}

void YKVectorRoundRect::addPoint(Point point, bool constrain) {
    if (mSegments.size() < 4) {
        YKVectorEntity::addPoint(point, constrain);
    }
}

// --- Attributes ---

void YKVectorRoundRect::getAttributes(YKVectorAttributes* attributes) const {
    YKVectorEntity::getAttributes(attributes);
    if (mRx != nullptr && mRy != nullptr) {
        attributes->rx = mRx->Value();
        attributes->ry = mRy->Value();
    }
}

void YKVectorRoundRect::setAttributes(const YKVectorAttributes* attributes) {
    YKVectorEntity::setAttributes(attributes);
    if (mRx != nullptr && mRx->Value() != attributes->rx) {
        mRx->SetValue(attributes->rx);
    }
    if (mRy != nullptr && mRy->Value() != attributes->ry) {
        mRy->SetValue(attributes->ry);
    }
}

// --- Copies and archive ---

void YKVectorRoundRect::initCopy(const YKVectorEntity* source) {
    const auto* from = dynamic_cast<const YKVectorRoundRect*>(source);
    if (from == nullptr) {
        return;
    }
    unregisterRadii();
    mRx.reset(from->mRx != nullptr ? from->mRx->Duplicate() : nullptr);
    mRy.reset(from->mRy != nullptr ? from->mRy->Duplicate() : nullptr);
    registerRadii();
}

void YKVectorRoundRect::ArchiveIn(YKMessage* archive) const {
    writeEntityKeys(archive, Type());
    if (mRx != nullptr && mRy != nullptr) {
        WriteRadius(archive, kRxName, *mRx);
        WriteRadius(archive, kRyName, *mRy);
    }
}
