#include "YKRasterLayer.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "YKAutolock.h"
#include "YKDash.h"
#include "YKLocker.h"
#include "YKMessage.h"
#include "YKVectorChain.h"
#include "YKVectorEntity.h"
#include "YKVectorEntityFactory.h"
#include "YKVectorText.h"
#include "YKZipSketcher.h"

namespace {

constexpr int32 kFrameMargin = 64;

// The one sketcher every vector-object layer renders with, under the sketcher lock.
YKZipSketcher& SharedSketcher() {
    static YKZipSketcher sketcher;
    return sketcher;
}

}  // namespace

// --- Construction ---

YKRasterLayer::YKRasterLayer(int32 id, const char* name, int32 typeID)
    : YKObjectLayer(id, name, 0), mTypeID(typeID) {}

YKRasterLayer::YKRasterLayer(const YKMessage* archive, YKEnvelopManager* manager)
    : YKObjectLayer(archive) {
    if (archive == nullptr) {
        return;
    }
    if (!archive->HasInt32("object_type")) {
        std::fputs("Pb. by finding object type into archive message\n", stderr);
    }
    mEntity.reset(YKVectorEntityFactory::Instantiate(archive, ID(), manager));
    if (!archive->FindInt32("type_id", &mTypeID)) {
        std::fputs("Pb. by finding type id into message\n", stderr);
    }
    if (mEntity != nullptr) {
        AskBoundingBox(&mRendered);
        mRenderedOnce = true;
        RedrawObject(true);
    }
}

YKRasterLayer::~YKRasterLayer() = default;

void YKRasterLayer::SetEntity(YKVectorEntity* entity) {
    mEntity.reset(entity);
    if (mEntity != nullptr) {
        mEntity->SetID(ID());
        AskBoundingBox(&mRendered);
        mRenderedOnce = true;
        RedrawObject(ObjectMode(-1) != kModeDrawing);
    }
}

// --- Archive ---

void YKRasterLayer::Archive(YKMessage* message, bool deep) const {
    YKObjectLayer::Archive(message, deep);
    const bool known = mTypeID >= 0 && mTypeID < kTypeCount;
    SetArchiveClass(message, known ? Type() : "YKRasterLayer");
    if (mEntity != nullptr) {
        mEntity->ArchiveIn(message);
    }
    if (!message->AddInt32("type_id", mTypeID)) {
        std::fputs("Pb. by adding type id into message\n", stderr);
    }
    message->AddRect("YKRL:Frame", mBitmap.Frame());
}

bool YKRasterLayer::ArchiveOwnContent(YKMessage* content) const {
    if (mEntity == nullptr || content == nullptr) {
        return false;
    }
    mEntity->ArchiveIn(content);
    // The switch base goes with the content, so that content taken back at another frame than
    // the one it was taken at reaches the other frames by the same steps as before.
    if (mSwitchBase.valid && mEntity->shape() == mSwitchBase.left) {
        const YKVectorEntity::Shape& base = mSwitchBase.from;
        content->AddData("YKRL:BasePoints", YK_RAW_TYPE, base.points.data(),
                         static_cast<ssize_t>(base.points.size() * sizeof(YKPoint<double>)));
        content->AddData("YKRL:BaseCenter", YK_RAW_TYPE, &base.transCenter,
                         sizeof(base.transCenter));
        content->AddData("YKRL:BasePlacement", YK_RAW_TYPE, &mSwitchBase.placement,
                         sizeof(mSwitchBase.placement));
    }
    return true;
}

bool YKRasterLayer::RestoreContent(const YKMessage* content, const Placement& placement) {
    YKVectorEntity* entity = YKVectorEntityFactory::Instantiate(content, ID(), EnvelopManager());
    if (entity == nullptr) {
        return false;
    }
    mEntity.reset(entity);
    mRendered = placement;
    mRenderedOnce = true;
    RedrawObject(true);
    RestoreSwitchBase(content);
    return true;
}

void YKRasterLayer::RestoreSwitchBase(const YKMessage* content) {
    mSwitchBase.valid = false;
    const void* points = nullptr;
    const void* center = nullptr;
    const void* placement = nullptr;
    ssize_t pointsSize = 0;
    ssize_t centerSize = 0;
    ssize_t placementSize = 0;
    if (!content->FindData("YKRL:BasePoints", YK_RAW_TYPE, 0, &points, &pointsSize) ||
        !content->FindData("YKRL:BaseCenter", YK_RAW_TYPE, 0, &center, &centerSize) ||
        !content->FindData("YKRL:BasePlacement", YK_RAW_TYPE, 0, &placement, &placementSize) ||
        centerSize != sizeof(YKPoint<double>) || placementSize != sizeof(Placement) ||
        pointsSize % static_cast<ssize_t>(sizeof(YKPoint<double>)) != 0) {
        return;
    }
    const auto* first = static_cast<const YKPoint<double>*>(points);
    mSwitchBase.from.points.assign(first, first + pointsSize / sizeof(YKPoint<double>));
    std::memcpy(&mSwitchBase.from.transCenter, center, sizeof(YKPoint<double>));
    std::memcpy(&mSwitchBase.placement, placement, sizeof(Placement));
    mSwitchBase.left = mEntity->shape();
    mSwitchBase.valid = true;
}

bool YKRasterLayer::InheritsFrom(const char* className) const {
    return std::string_view(className) == "YKRasterLayer" || YKObjectLayer::InheritsFrom(className);
}

YKLayer* YKRasterLayer::Replicate() const {
    YKMessage archive;
    Archive(&archive, true);
    return new YKRasterLayer(&archive, EnvelopManager());
}

const char* YKRasterLayer::TypeName(int32 typeID) {
    static const char* const kNames[kTypeCount] = {
        "Line", "Bezier", "Rectangle", "Ellipse",         "Polyline",
        "Arc",  "Text",   "Free Hand", "Round Rectangle", "Text on Bezier"};
    return typeID >= 0 && typeID < kTypeCount ? kNames[typeID] : "None";
}

const char* YKRasterLayer::Type() const {
    return TypeName(mTypeID);
}

// --- Rendering ---

YKRect<int32> YKRasterLayer::Frame() const {
    return YKEffectLayer::Frame() | mBitmap.Frame();
}

void YKRasterLayer::ComposeLayer(YKBitmap* target, YKRect<int32> rect) {
    ComposeRendering(target, rect, &mBitmap);
}

void YKRasterLayer::RedrawObject(bool full) {
    if (mEntity == nullptr) {
        return;
    }
    {
        YKAutolock lock(YKZipSketcher::Lock());
        YKZipSketcher& sketcher = SharedSketcher();
        sketcher.SetBuffer(&mBitmap);
        mEntity->resetBounds();
        YKRect<double> bounds;
        mEntity->getBounds(&bounds);
        mBitmap.MakeEmpty();
        // The rendering starts empty, so a text being typed draws all its characters, not only
        // those typed since it was last drawn.
        if (auto* text = dynamic_cast<YKVectorText*>(mEntity.get())) {
            text->setWriteMode(false);
        }
        if (bounds.IsValid() && std::fabs(bounds.left) < 1e9 && std::fabs(bounds.top) < 1e9 &&
            std::fabs(bounds.right) < 1e9 && std::fabs(bounds.bottom) < 1e9) {
            sketcher.SetFrame({static_cast<int32>(bounds.left) - kFrameMargin,
                               static_cast<int32>(bounds.top) - kFrameMargin,
                               static_cast<int32>(bounds.right) + kFrameMargin,
                               static_cast<int32>(bounds.bottom) + kFrameMargin});
            mEntity->SetDisplay(PreviewMode());
            mEntity->drawIn(&sketcher, true);
        }
        sketcher.SetBuffer(nullptr);
    }
    const YKRect<int32> frame = Frame();
    InvalidateLayer(mDrawnFrame.IsValid() ? mDrawnFrame | frame : frame, true, nullptr);
    mDrawnFrame = Frame();
    const int32 mode = ObjectMode(-1);
    mStrokeSegments = mode == kModeDrawing ? mEntity->segmentList().size() : 0;
    mStrokeBlocks.clear();
    if (full && mode != kModeLocalEditing && mode != kModeDrawing) {
        ProcessEffect();
    } else {
        ClearEffect();
    }
}

bool YKRasterLayer::RedrawStrokeEnd() {
    auto* chain = dynamic_cast<YKVectorChain*>(mEntity.get());
    if (chain == nullptr || !IsDrawing() || mStrokeSegments < 2 || chain->Angle() != 0) {
        return false;
    }
    const YKVectorEntity::SegmentList& segments = chain->segmentList();
    const double reach = chain->endReach();
    // A full rendering keeps kFrameMargin around the bounds: a stroke reaching no farther is
    // never cut there, so the pixels outside what changed stay as a full rendering has them.
    if (segments.size() < mStrokeSegments || reach < 0 || reach + 2 >= kFrameMargin) {
        return false;
    }
    // The new segments, the one that followed the pointer until now and the one before it,
    // whose end turned from a cap into a join.
    const YKVectorEntity::PointList& points = chain->pointList();
    YKRect<double> changed = YKRect<double>::None();
    for (size_t i = mStrokeSegments - 2; i < segments.size(); ++i) {
        for (int32 index : {segments[i].begin, segments[i].end}) {
            const YKPoint<double> p = points[index];
            changed = changed | YKRect<double>{p.x, p.y, p.x, p.y};
        }
    }
    if (!(std::fabs(changed.left) < 1e9 && std::fabs(changed.top) < 1e9 &&
          std::fabs(changed.right) < 1e9 && std::fabs(changed.bottom) < 1e9)) {
        return false;
    }
    // Anti-aliasing touches the pixels the outline passes through.
    const YKRect<int32> dirty{static_cast<int32>(std::floor(changed.left - reach)) - 1,
                              static_cast<int32>(std::floor(changed.top - reach)) - 1,
                              static_cast<int32>(std::ceil(changed.right + reach)) + 1,
                              static_cast<int32>(std::ceil(changed.bottom + reach)) + 1};
    // Pixel (x, y) covers [x, x + 1) x [y, y + 1).
    const size_t first = FirstStrokeSegmentIn(
        {dirty.left - reach, dirty.top - reach, dirty.right + 1 + reach, dirty.bottom + 1 + reach});
    {
        YKAutolock lock(YKZipSketcher::Lock());
        YKZipSketcher& sketcher = SharedSketcher();
        sketcher.SetBuffer(&mBitmap);
        // While it is created the entity keeps its bounds itself: no walk over all its points.
        mBitmap.Erase(dirty);
        // The sketcher draws one pixel beyond the frame it is given.
        sketcher.SetFrame({dirty.left + 1, dirty.top + 1, dirty.right - 1, dirty.bottom - 1});
        mEntity->SetDisplay(PreviewMode());
        chain->drawEndIn(&sketcher, first);
        sketcher.SetBuffer(nullptr);
    }
    InvalidateLayer(dirty, true, nullptr);
    mDrawnFrame = Frame();
    mStrokeSegments = segments.size();
    return true;
}

size_t YKRasterLayer::FirstStrokeSegmentIn(YKRect<double> rect) {
    const YKVectorEntity::SegmentList& segments = mEntity->segmentList();
    const YKVectorEntity::PointList& points = mEntity->pointList();
    const auto box = [&](size_t i) {
        const YKPoint<double> a = points[segments[i].begin];
        const YKPoint<double> b = points[segments[i].end];
        return YKRect<double>{std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmax(a.x, b.x),
                              std::fmax(a.y, b.y)};
    };
    const size_t last = segments.size() - 2;
    // Only the last segment changes while the stroke grows: blocks before it keep their box.
    while ((mStrokeBlocks.size() + 1) * kStrokeBlock <= last) {
        YKRect<double> block = YKRect<double>::None();
        for (size_t i = mStrokeBlocks.size() * kStrokeBlock;
             i < (mStrokeBlocks.size() + 1) * kStrokeBlock; ++i) {
            block = block | box(i);
        }
        mStrokeBlocks.push_back(block);
    }
    for (size_t b = 0; b < mStrokeBlocks.size(); ++b) {
        if (mStrokeBlocks[b].Intersects(rect)) {
            for (size_t i = b * kStrokeBlock; i < (b + 1) * kStrokeBlock; ++i) {
                if (box(i).Intersects(rect)) {
                    return i;
                }
            }
        }
    }
    for (size_t i = mStrokeBlocks.size() * kStrokeBlock; i < last; ++i) {
        if (box(i).Intersects(rect)) {
            return i;
        }
    }
    return last;
}

void YKRasterLayer::NotifyPreviewModification() {
    RedrawObject(true);
}

void YKRasterLayer::EndCreation() {
    ResetKnobs();
    ResetSelection();
    SetObjectMode(kModeNotSelected, true);
    RedrawObject(true);
}

void YKRasterLayer::ResetKnobs() {
    if (mEntity != nullptr) {
        mEntity->resetKnobs();
    }
}

void YKRasterLayer::ResetSelection() {
    if (mEntity != nullptr) {
        mEntity->endSelect();
    }
}

void YKRasterLayer::SelfAdded() {
    const bool fresh = ObjectMode(-1) != kModeLoaded && !HasKeyFrames();
    YKObjectLayer::SelfAdded();
    // A new object's envelopes start at the object's own box, not at a default square; one put
    // back keeps the envelopes it had.
    if (fresh && mEntity != nullptr) {
        ResetBoundingBox(false);
    }
}

// --- Placement ---

void YKRasterLayer::AskBoundingBox(Placement* placement) {
    if (mEntity == nullptr) {
        return;
    }
    mEntity->resetBox();
    YKRect<double> box;
    mEntity->getBox(&box);
    if (!box.IsValid()) {
        return;
    }
    const double width = box.right - box.left;
    const double height = box.bottom - box.top;
    placement->position = box.LeftTop();
    placement->leftTop = {0, 0};
    placement->rightTop = {width, 0};
    placement->rightBottom = {width, height};
    placement->leftBottom = {0, height};
    placement->rotation = mEntity->Angle();
    // An unturned object turns about its centre once it is given a rotation.
    placement->rotationVector = mEntity->Angle() != 0
                                    ? mEntity->GlobalRotationCenter() - placement->position
                                    : YKPoint<double>{width / 2, height / 2};
}

void YKRasterLayer::SuggestBoundingBox(const Placement& placement, bool force, bool switching) {
    if (mEntity == nullptr) {
        return;
    }
    // Where the points stand now. A frame switch starts from the shape the object had before
    // it was first shown elsewhere, so that coming back gives the same points exactly.
    Placement from = mRendered;
    const bool fromBase = switching && TakeSwitchBase();
    if (fromBase) {
        from = mSwitchBase.placement;
    } else if (!switching) {
        mSwitchBase.valid = false;
    }
    const YKPoint<double> target = placement.position + placement.leftTop;
    const YKPoint<double> delta = placement.position - mRendered.position;
    Placement moved = mRendered;
    moved.position = placement.position;
    const bool wholeMove = delta.x == std::floor(delta.x) && delta.y == std::floor(delta.y);
    const bool shift = !force && mRenderedOnce && moved == placement && wholeMove;
    mEntity->setGlobalRotation(placement.rotation, placement.position + placement.rotationVector);
    if (!(fromBase && from == placement)) {
        Placement fromMoved = from;
        fromMoved.position = placement.position;
        // A text's sizes are key-framed values of their own: a switch shows them as they are,
        // where fitting the text to the box would write a ratio's rounding back into them.
        const bool keepSize = switching && !mEntity->shapeIsGeometry();
        if (keepSize || (fromBase ? fromMoved == placement : shift)) {
            mEntity->rawTranslateTo(target);
        } else {
            PlacePoints(placement, target);
        }
    }
    if (fromBase) {
        mSwitchBase.left = mEntity->shape();
    }
    mEntity->resetBox();
    mEntity->resetBounds();
    if (shift) {
        const YKRect<int32> before = Frame();
        ShiftRendering(&mBitmap, {static_cast<int32>(delta.x), static_cast<int32>(delta.y)});
        mStrokeSegments = 0;
        mStrokeBlocks.clear();
        TranslateFiltersBy({static_cast<int32>(delta.x), static_cast<int32>(delta.y)});
        mDrawnFrame = Frame();
        if (!switching) {
            InvalidateLayer(before | Frame(), true, nullptr);
        }
    } else {
        mEntity->resetKnobs();
        RedrawObject(true);
    }
    mRendered = placement;
    mRenderedOnce = true;
}

void YKRasterLayer::PlacePoints(const Placement& placement, YKPoint<double> target) {
    mEntity->resetBox();
    YKRect<double> box;
    mEntity->getBox(&box);
    const double width = placement.rightBottom.x - placement.leftTop.x;
    const double height = placement.rightBottom.y - placement.leftTop.y;
    // A flat box (a level line) keeps its size on that axis.
    const double sx = box.Width() > 0 && width != 0 ? width / box.Width() : 1.0;
    const double sy = box.Height() > 0 && height != 0 ? height / box.Height() : 1.0;
    if (sx != 1.0 || sy != 1.0) {
        const YKPoint<double> corner = box.LeftTop();
        mEntity->resizeWithCenter(sx, sy, &corner, false);
        mEntity->resetBox();
    }
    mEntity->rawTranslateTo(target);
}

bool YKRasterLayer::TakeSwitchBase() {
    if (!mRenderedOnce || !mEntity->shapeIsGeometry()) {
        return false;
    }
    YKVectorEntity::Shape now = mEntity->shape();
    // Anything that changed the points since the last switch makes them the new base.
    if (!mSwitchBase.valid || now != mSwitchBase.left || !mEntity->restoreShape(mSwitchBase.from)) {
        mSwitchBase.from = std::move(now);
        mSwitchBase.placement = mRendered;
        mSwitchBase.valid = true;
    }
    return true;
}

// --- Attributes ---

void YKRasterLayer::FillWithAttributes(YKMessage* message) const {
    if (message == nullptr || mEntity == nullptr) {
        return;
    }
    YKVectorAttributes attributes;
    mEntity->getAttributes(&attributes);
    message->AddFloat("Width", static_cast<float>(attributes.width));
    if (mTypeID == kLine || mTypeID == kBezier || mTypeID == kArc || mTypeID == kFreeHand ||
        mTypeID == kPolyline) {
        message->AddInt32("Cap1", attributes.firstCap);
        message->AddInt32("Cap2", attributes.lastCap);
    }
    if (mTypeID == kRectangle || mTypeID == kPolyline) {
        message->AddInt32("Join", attributes.join);
    }
    if (mTypeID == kRoundRectangle) {
        message->AddFloat("Rx", static_cast<float>(attributes.rx));
        message->AddFloat("Ry", static_cast<float>(attributes.ry));
    }
    message->AddPointer("Dash", attributes.dash);
}

void YKRasterLayer::ExtractAttributes(const YKMessage* message) {
    if (message == nullptr || mEntity == nullptr) {
        return;
    }
    YKVectorAttributes attributes;
    mEntity->getAttributes(&attributes);
    float value = 0;
    if (message->FindFloat("Width", &value)) {
        attributes.width = value;
    }
    message->FindInt32("Cap1", &attributes.firstCap);
    message->FindInt32("Cap2", &attributes.lastCap);
    message->FindInt32("Join", &attributes.join);
    if (message->FindFloat("Rx", &value)) {
        attributes.rx = value;
    }
    if (message->FindFloat("Ry", &value)) {
        attributes.ry = value;
    }
    void* dash = nullptr;
    if (message->FindPointer("Dash", &dash)) {
        attributes.dash = static_cast<const YKDash*>(dash);
    }
    mEntity->setAttributes(&attributes);
    RedrawObject(true);
}
