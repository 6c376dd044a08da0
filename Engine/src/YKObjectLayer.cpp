#include "YKObjectLayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "YKBitmap.h"
#include "YKCacheLayer.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKUndoEnvelopModification.h"
#include "YKViewerLayer.h"
#include "yk_composition.h"

// Sections: construction and archive · tree membership · frames · placement · modes · names ·
// dedicated parent · messages · picking · rendering helpers.

namespace {

constexpr const char* kUnnamed = "Unnamed";
// A new object's corners, as it is added before the user draws it out.
constexpr double kNewHalfSide = 63.0;
// A loaded object's corners when its archive has none.
constexpr double kLoadedHalfSide = 64.0;

struct EnvelopKey {
    const char* key;
    const char* name;
};
constexpr EnvelopKey kHidden{"YKOL:HiddenE", "Visibility (on/off)"};
constexpr EnvelopKey kPosition{"YKOL:PositionE", "Position"};
constexpr EnvelopKey kLeftTop{"YKOL:LeftTopE", "LeftTop"};
constexpr EnvelopKey kRightTop{"YKOL:RightTopE", "RightTop"};
constexpr EnvelopKey kRightBottom{"YKOL:RightBottomE", "RightBottom"};
constexpr EnvelopKey kLeftBottom{"YKOL:LeftBottomE", "LeftBottom"};
constexpr EnvelopKey kRotationVector{"YKOL:RotationVectorE", "RotationVector"};
constexpr EnvelopKey kRotation{"YKOL:RotationE", "Rotation"};
constexpr const char* kOpacityKey = "YKOL:Opacity";
constexpr const char* kOpacityName = "Opacity";

// Reads an envelope from its archive key; false when the archive has none with key frames.
template <typename Envelop>
bool ReadEnvelop(const YKMessage* archive, const EnvelopKey& key, Envelop* envelope, int32 owner) {
    YKMessage part;
    if (archive == nullptr || !archive->FindMessage(key.key, &part)) {
        return false;
    }
    envelope->UnArchive(&part, owner);
    envelope->SetName(key.name);
    return envelope->CountKeyFrames() > 0;
}

template <typename Envelop>
void WriteEnvelop(YKMessage* message, const char* key, const Envelop& envelope) {
    YKMessage part;
    envelope.Archive(&part);
    message->AddMessage(key, &part);
}

}  // namespace

// --- Construction and archive ---

YKObjectLayer::YKObjectLayer(int32 id, const char* name, int32 /*kind*/)
    : YKEffectLayer(id), mOpacity(std::make_unique<YKEnvelopInt32>(id, kOpacityName)) {
    if (name != nullptr) {
        mName = name;
    }
    InitEnvelops();
    std::fill(std::begin(mObjectMode), std::end(mObjectMode), kModeDrawing);
}

YKObjectLayer::YKObjectLayer(const YKMessage* archive) : YKEffectLayer(archive) {
    InitEnvelops();
    if (archive != nullptr) {
        const char* name = nullptr;
        if (archive->FindString("YKOL:Name", &name)) {
            mName = name;
        }
        archive->FindInt32("YKOL:CopyNumber", &mCopyNumber);
        for (int32 i = 0; i < 4; ++i) {
            const std::string key = "YKOL:Ratio" + std::to_string(i);
            archive->FindDouble(key.c_str(), &mRatio[i]);
        }
        int32 preview = 0;
        // Other values come only from damaged files.
        if (archive->FindInt32("YKOL:PreviewMode", &preview) && (preview == 0 || preview == 1)) {
            mPreviewMode = preview;
        }
        int8 method = 0;
        if (archive->FindInt8("YKOL:MergeMethod", &method) && method >= 0 &&
            method < YK_COMPOSITION_MODE_COUNT) {
            mMergeMethod = method;
        }
        YKMessage part;
        if (archive->FindMessage(kOpacityKey, &part)) {
            mOpacity = std::make_unique<YKEnvelopInt32>(ID(), kOpacityName);
            mOpacity->UnArchive(&part, ID());
            mOpacity->SetName(kOpacityName);
            if (mOpacity->CountKeyFrames() == 0) {
                mOpacity->SetValue(255, 1);
            }
        }
    }
    const int32 id = ID();
    if (!ReadEnvelop(archive, kHidden, &mVisibility, id)) {
        mVisibility.SetValue(false);
    }
    const auto readPoint = [&](const EnvelopKey& key, YKEnvelopYKPointDouble* envelope,
                               YKPoint<double> fallback) {
        if (!ReadEnvelop(archive, key, envelope, id)) {
            envelope->SetValue(fallback, 1);
        }
    };
    readPoint(kPosition, &mPosition, {0, 0});
    readPoint(kLeftTop, &mLeftTop, {-kLoadedHalfSide, -kLoadedHalfSide});
    readPoint(kRightTop, &mRightTop, {kLoadedHalfSide, -kLoadedHalfSide});
    readPoint(kRightBottom, &mRightBottom, {kLoadedHalfSide, kLoadedHalfSide});
    readPoint(kLeftBottom, &mLeftBottom, {-kLoadedHalfSide, kLoadedHalfSide});
    readPoint(kRotationVector, &mRotationVector, {0, 0});
    if (!ReadEnvelop(archive, kRotation, &mRotation, id)) {
        mRotation.SetValue(0.0, 1);
    }
    mPosition.SetInterpolationStep(1.0f);
    RefillCurrentValues();
    std::fill(std::begin(mObjectMode), std::end(mObjectMode), kModeLoaded);
}

YKObjectLayer::~YKObjectLayer() = default;

void YKObjectLayer::InitEnvelops() {
    const int32 id = ID();
    const auto init = [id](YKEnvelop* envelope, const char* name) {
        envelope->SetOwner(id);
        envelope->SetRealOwner(id);
        envelope->SetName(name);
    };
    init(&mVisibility, kHidden.name);
    init(&mRotation, kRotation.name);
    init(&mRotationVector, kRotationVector.name);
    init(&mLeftTop, kLeftTop.name);
    init(&mRightTop, kRightTop.name);
    init(&mRightBottom, kRightBottom.name);
    init(&mLeftBottom, kLeftBottom.name);
    init(&mPosition, kPosition.name);
    mPosition.SetInterpolationStep(1.0f);
}

void YKObjectLayer::Archive(YKMessage* message, bool deep) const {
    if (message == nullptr) {
        return;
    }
    YKEffectLayer::Archive(message, deep);
    SetArchiveClass(message, "YKObjectLayer");
    message->AddString("YKOL:Name", mName.has_value() ? mName->c_str() : kUnnamed);
    message->AddInt32("YKOL:CopyNumber", mCopyNumber);
    for (int32 i = 0; i < 4; ++i) {
        const std::string key = "YKOL:Ratio" + std::to_string(i);
        message->AddDouble(key.c_str(), mRatio[i]);
    }
    message->AddInt32("YKOL:PreviewMode", mPreviewMode);
    message->AddInt8("YKOL:MergeMethod", mMergeMethod);
    WriteEnvelop(message, kHidden.key, mVisibility);
    WriteEnvelop(message, kPosition.key, mPosition);
    WriteEnvelop(message, kLeftTop.key, mLeftTop);
    WriteEnvelop(message, kRightTop.key, mRightTop);
    WriteEnvelop(message, kRightBottom.key, mRightBottom);
    WriteEnvelop(message, kLeftBottom.key, mLeftBottom);
    WriteEnvelop(message, kRotationVector.key, mRotationVector);
    WriteEnvelop(message, kRotation.key, mRotation);
    if (mOpacity != nullptr) {
        WriteEnvelop(message, kOpacityKey, *mOpacity);
    }
}

bool YKObjectLayer::InheritsFrom(const char* className) const {
    return (className != nullptr && std::strcmp(className, "YKObjectLayer") == 0) ||
           YKEffectLayer::InheritsFrom(className);
}

YKLayer* YKObjectLayer::Replicate() const {
    YKMessage archive;
    Archive(&archive, true);
    return new YKObjectLayer(&archive);
}

// --- Tree membership ---

bool YKObjectLayer::IsAddedWithManager() const {
    return Parent() != nullptr && EnvelopManager() != nullptr;
}

YKViewerLayer* YKObjectLayer::TopViewer() {
    YKLayer* top = TopParent();
    return top != nullptr && top->InheritsFrom("YKViewerLayer") ? static_cast<YKViewerLayer*>(top)
                                                                : nullptr;
}

void YKObjectLayer::SelfAdded() {
    YKViewerLayer* viewer = TopViewer();
    if (ObjectMode(-1) == kModeDrawing && viewer != nullptr) {
        viewer->SendObjectModeNotification(this);
    }
    YKEnvelopManager* manager = EnvelopManager();
    if (Parent() != nullptr && manager != nullptr && manager->Lock()) {
        for (YKEnvelop* envelope :
             {static_cast<YKEnvelop*>(&mVisibility), static_cast<YKEnvelop*>(&mPosition),
              static_cast<YKEnvelop*>(&mLeftTop), static_cast<YKEnvelop*>(&mRightTop),
              static_cast<YKEnvelop*>(&mRightBottom), static_cast<YKEnvelop*>(&mLeftBottom),
              static_cast<YKEnvelop*>(&mRotationVector), static_cast<YKEnvelop*>(&mRotation)}) {
            manager->AddEnvelop(envelope);
        }
        if (mOpacity != nullptr) {
            manager->AddEnvelop(mOpacity.get());
        }
        manager->ObjectAdded(ID());
        if (ObjectMode(-1) != kModeLoaded) {
            if (mVisibility.CountKeyFrames() == 0) {
                ApplyDefaults();
            } else {
                // Put back (an undone delete, a redone creation) maybe at another frame than
                // the one it left at: it shows this frame as a switch would.
                YKLayer::Hide(mVisibility.Value());
                if (!(mCurrent == EnvelopPlacement(mPosition.CurrentFrame()))) {
                    RefillCurrentValues();
                    UpdateBoundingBox(false, true);
                }
            }
        } else {
            YKLayer::Hide(mVisibility.Value());
            SetObjectMode(kModeNotSelected, true);
        }
        manager->Unlock();
    }
    ClaimParentsEnvelops();
    YKLayer::SelfAdded();
}

bool YKObjectLayer::HasKeyFrames() const {
    return mVisibility.CountKeyFrames() > 0;
}

void YKObjectLayer::ApplyDefaults() {
    // A new object is shown only from the frame it was made on.
    if (mVisibility.CurrentFrame() != mVisibility.MinFrame()) {
        mVisibility.SetValue(true, mVisibility.MinFrame());
    }
    mVisibility.SetValue(false);
    mPosition.SetValue(YKPoint<double>{0, 0});
    mLeftTop.SetValue(YKPoint<double>{-kNewHalfSide, -kNewHalfSide});
    mRightTop.SetValue(YKPoint<double>{kNewHalfSide, -kNewHalfSide});
    mRightBottom.SetValue(YKPoint<double>{kNewHalfSide, kNewHalfSide});
    mLeftBottom.SetValue(YKPoint<double>{-kNewHalfSide, kNewHalfSide});
    mRotation.SetValue(0.0);
    mRotationVector.SetValue(YKPoint<double>{0, 0});
    RefillCurrentValues();
    AskBoundingBox(&mCurrent);
    if (mOpacity != nullptr) {
        mOpacity->SetValue(255);
    }
}

void YKObjectLayer::SelfRemoved() {
    // The closing notification of the viewer's bracket must not name an object that may be
    // destroyed before it is sent.
    if (YKViewerLayer* viewer = TopViewer()) {
        viewer->ForgetObject(this);
    }
    YKEnvelopManager* manager = EnvelopManager();
    if (Parent() == nullptr || manager == nullptr || !manager->Lock()) {
        YKLayer::SelfRemoved();
        return;
    }
    for (YKEnvelop* envelope :
         {static_cast<YKEnvelop*>(&mVisibility), static_cast<YKEnvelop*>(&mPosition),
          static_cast<YKEnvelop*>(&mLeftTop), static_cast<YKEnvelop*>(&mRightTop),
          static_cast<YKEnvelop*>(&mRightBottom), static_cast<YKEnvelop*>(&mLeftBottom),
          static_cast<YKEnvelop*>(&mRotationVector), static_cast<YKEnvelop*>(&mRotation),
          static_cast<YKEnvelop*>(mOpacity.get())}) {
        if (envelope != nullptr) {
            manager->RemoveEnvelop(envelope);
            // A detached object must not grow or consult a document it no longer belongs to.
            if (envelope->EnvelopManager() == manager) {
                envelope->SetEnvelopManager(nullptr);
            }
        }
    }
    YKLayer::SelfRemoved();
    manager->ObjectRemoved(ID());
    manager->Unlock();
}

// --- Frames ---

void YKObjectLayer::SwitchFrame() {
    YKEnvelopManager* manager = EnvelopManager();
    if (manager == nullptr) {
        return;
    }
    if (manager->IsObjectModified(ID(), &mPosition)) {
        UpdateOnSwitchFrame(true);
        return;
    }
    const YKPoint<double> now = mPosition.Value();
    const YKPoint<double> before = mPosition.Value(mPosition.OldFrame());
    if (now.x != before.x || now.y != before.y) {
        UpdateOnSwitchFrame(false);
    } else if (mVisibility.Value() != YKLayer::IsHidden()) {
        // Shown from its first frame on, or restored hidden as it was at another frame.
        YKLayer::Hide(mVisibility.Value());
        InvalidateLayer(Frame(), true, kRemovedMarker);
    }
}

void YKObjectLayer::UpdateOnSwitchFrame(bool full) {
    YKLayer::Hide(mVisibility.Value());
    const YKRect<int32> before = Frame();
    RefillCurrentValues();
    UpdateBoundingBox(PreviousFrame() == -1 || full, true);
    InvalidateLayer(before | Frame(), true, kRemovedMarker);
    YKLayer::SwitchFrame();
}

// --- Placement ---

YKObjectLayer::Placement YKObjectLayer::EnvelopPlacement(int32 frame) const {
    return {mPosition.Value(frame),    mLeftTop.Value(frame),    mRightTop.Value(frame),
            mRightBottom.Value(frame), mLeftBottom.Value(frame), mRotationVector.Value(frame),
            mRotation.Value(frame)};
}

void YKObjectLayer::RefillCurrentValues() {
    mCurrent = EnvelopPlacement(mPosition.CurrentFrame());
}

void YKObjectLayer::WriteBackCurrentValues() {
    YKEnvelopManager* manager = EnvelopManager();
    const bool locked = manager != nullptr && manager->Lock();
    const auto writePoint = [](YKEnvelopYKPointDouble& envelope, YKPoint<double> value) {
        const YKPoint<double> old = envelope.Value();
        if (old.x != value.x || old.y != value.y) {
            envelope.SetValue(value);
        }
    };
    writePoint(mPosition, mCurrent.position);
    writePoint(mLeftTop, mCurrent.leftTop);
    writePoint(mRightTop, mCurrent.rightTop);
    writePoint(mRightBottom, mCurrent.rightBottom);
    writePoint(mLeftBottom, mCurrent.leftBottom);
    writePoint(mRotationVector, mCurrent.rotationVector);
    if (mRotation.Value() != mCurrent.rotation) {
        mRotation.SetValue(mCurrent.rotation);
    }
    if (locked) {
        manager->Unlock();
    }
}

void YKObjectLayer::UpdateBoundingBox(bool force, bool switching) {
    SuggestBoundingBox(mCurrent, force, switching);
    if (!switching) {
        WriteBackCurrentValues();
    }
}

void YKObjectLayer::ResetBoundingBox(bool force) {
    RefillCurrentValues();
    AskBoundingBox(&mCurrent);
    WriteBackCurrentValues();
    UpdateBoundingBox(force, false);
}

bool YKObjectLayer::ArchiveContent(YKMessage* content) const {
    if (content == nullptr || !ArchiveOwnContent(content)) {
        return false;
    }
    content->AddInt32("YKOL:Frame", mPosition.CurrentFrame());
    return true;
}

void YKObjectLayer::FollowEnvelops(const YKMessage* content) {
    const YKRect<int32> before = Frame();
    RefillCurrentValues();
    int32 frame = mPosition.CurrentFrame();
    if (content != nullptr) {
        content->FindInt32("YKOL:Frame", &frame);
    }
    if (content == nullptr || frame == mPosition.CurrentFrame()) {
        if (content == nullptr || !RestoreContent(content, mCurrent)) {
            UpdateBoundingBox(true, false);
        }
    } else if (RestoreContent(content, EnvelopPlacement(frame))) {
        // Taken back where it was taken, then switched here: a switch starts from the base
        // every other switch starts from, so this frame gets the numbers it had.
        UpdateBoundingBox(false, true);
    } else {
        UpdateBoundingBox(true, false);
    }
    InvalidateLayer(before | Frame(), true, nullptr);
}

void YKObjectLayer::ModifyBoundingBox(YKPoint<double> leftTop, YKPoint<double> rightTop,
                                      YKPoint<double> rightBottom, YKPoint<double> leftBottom) {
    if (IsLocked()) {
        return;
    }
    mCurrent.leftTop = leftTop;
    mCurrent.rightTop = rightTop;
    mCurrent.rightBottom = rightBottom;
    mCurrent.leftBottom = leftBottom;
    UpdateBoundingBox(false, false);
}

void YKObjectLayer::MoveBoundingBoxBy(YKPoint<double> delta, bool allKeyFrames) {
    if (IsLocked()) {
        return;
    }
    if (allKeyFrames) {
        mPosition.AllOffsetBy(delta);
    }
    mCurrent.position += delta;
    UpdateBoundingBox(false, false);
}

void YKObjectLayer::MoveBoundingBoxTo(YKPoint<double> point) {
    if (IsLocked()) {
        return;
    }
    const YKRect<double> box = BoundingBox();
    mCurrent.position = point + mCurrent.position - YKPoint<double>{box.left, box.top};
    UpdateBoundingBox(false, false);
}

void YKObjectLayer::ResizeBoundingBoxBy(YKPoint<double> delta) {
    if (IsLocked()) {
        return;
    }
    Placement& p = mCurrent;
    // A box never turns inside out: a step keeps at least one unit between the sides, and
    // grows it at most to about twice its size.
    const double limitX = std::max(0.0, (p.rightTop.x - p.leftTop.x - 1) / 2);
    const double limitY = std::max(0.0, (p.leftBottom.y - p.leftTop.y - 1) / 2);
    const double hx = std::clamp(delta.x / 2, -limitX, limitX);
    const double hy = std::clamp(delta.y / 2, -limitY, limitY);
    p.leftTop -= {hx, hy};
    p.rightTop += {hx, -hy};
    p.rightBottom += {hx, hy};
    p.leftBottom += {-hx, hy};
    UpdateBoundingBox(false, false);
}

void YKObjectLayer::ResizeBoundingBoxTo(YKPoint<double> size) {
    if (IsLocked()) {
        return;
    }
    // The corners scale about the position so that the box takes the asked size (exactly for an
    // unturned object); then the box's left-top corner goes back where it was. A size of 0 keeps
    // that dimension, as does a box with no extent to scale.
    const YKRect<double> box = BoundingBox();
    const double width = box.right - box.left;
    const double height = box.bottom - box.top;
    const double fx = size.x > 0 && width > 0 ? size.x / width : 1.0;
    const double fy = size.y > 0 && height > 0 ? size.y / height : 1.0;
    Placement& p = mCurrent;
    for (YKPoint<double>* v :
         {&p.leftTop, &p.rightTop, &p.rightBottom, &p.leftBottom, &p.rotationVector}) {
        *v = {v->x * fx, v->y * fy};
    }
    const YKRect<double> scaled = BoundingBox();
    p.position += YKPoint<double>{box.left - scaled.left, box.top - scaled.top};
    UpdateBoundingBox(false, false);
}

void YKObjectLayer::ModifyRotation(double angle) {
    if (IsLocked()) {
        return;
    }
    mCurrent.rotation = angle;
    UpdateBoundingBox(false, false);
}

void YKObjectLayer::ApplyRatio(bool flag) {
    if (IsLocked()) {
        return;
    }
    YKPoint<double>* corners[4] = {&mCurrent.leftTop, &mCurrent.rightTop, &mCurrent.rightBottom,
                                   &mCurrent.leftBottom};
    YKPoint<double> mean{0, 0};
    for (YKPoint<double>* corner : corners) {
        mean += *corner;
    }
    mean = {mean.x / 4, mean.y / 4};
    for (YKPoint<double>* corner : corners) {
        *corner -= mean;
    }
    const bool byY = (corners[0]->y * mRatio[0] < corners[0]->x) == flag;
    for (int32 i = 0; i < 4; ++i) {
        if (byY) {
            corners[i]->x = corners[i]->y * mRatio[i];
        } else if (mRatio[i] != 0) {
            corners[i]->y = corners[i]->x / mRatio[i];
        }
        *corners[i] += mean;
    }
    UpdateBoundingBox(false, false);
}

YKPoint<double> YKObjectLayer::Turn(YKPoint<double> p) const {
    const YKPoint<double> pivot = mCurrent.position + mCurrent.rotationVector;
    const double c = std::cos(mCurrent.rotation);
    const double s = std::sin(mCurrent.rotation);
    const double dx = p.x - pivot.x;
    const double dy = p.y - pivot.y;
    return {dx * c + dy * s + pivot.x, dy * c - dx * s + pivot.y};
}

void YKObjectLayer::TurnedCorners(YKPoint<double> (&corners)[4]) const {
    const YKPoint<double>& at = mCurrent.position;
    corners[0] = Turn(at + mCurrent.leftTop);
    corners[1] = Turn(at + mCurrent.rightTop);
    corners[2] = Turn(at + mCurrent.rightBottom);
    corners[3] = Turn(at + mCurrent.leftBottom);
}

YKRect<double> YKObjectLayer::BoundingBox() const {
    YKPoint<double> corners[4];
    TurnedCorners(corners);
    YKRect<double> box{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const YKPoint<double>& c : corners) {
        box.left = std::min(box.left, c.x);
        box.top = std::min(box.top, c.y);
        box.right = std::max(box.right, c.x);
        box.bottom = std::max(box.bottom, c.y);
    }
    return box;
}

YKPoint<double> YKObjectLayer::Center() const {
    return mPosition.Value();
}
YKPoint<double> YKObjectLayer::LeftTopVector() const {
    return mLeftTop.Value();
}
YKPoint<double> YKObjectLayer::RightTopVector() const {
    return mRightTop.Value();
}
YKPoint<double> YKObjectLayer::RightBottomVector() const {
    return mRightBottom.Value();
}
YKPoint<double> YKObjectLayer::LeftBottomVector() const {
    return mLeftBottom.Value();
}
YKPoint<double> YKObjectLayer::RotationVector() const {
    return mRotationVector.Value();
}
double YKObjectLayer::Rotation() const {
    return mRotation.Value();
}
YKPoint<double> YKObjectLayer::OldCenter() const {
    return mPosition.Value(mPosition.OldFrame());
}
YKPoint<double> YKObjectLayer::OldLeftTopVector() const {
    return mLeftTop.Value(mLeftTop.OldFrame());
}
YKPoint<double> YKObjectLayer::OldRightTopVector() const {
    return mRightTop.Value(mRightTop.OldFrame());
}
YKPoint<double> YKObjectLayer::OldRightBottomVector() const {
    return mRightBottom.Value(mRightBottom.OldFrame());
}
YKPoint<double> YKObjectLayer::OldLeftBottomVector() const {
    return mLeftBottom.Value(mLeftBottom.OldFrame());
}
YKPoint<double> YKObjectLayer::OldRotationVector() const {
    return mRotationVector.Value(mRotationVector.OldFrame());
}
double YKObjectLayer::OldRotation() const {
    return mRotation.Value(mRotation.OldFrame());
}

void YKObjectLayer::SetPreviewMode(int32 mode) {
    mPreviewMode = mode;
    NotifyPreviewModification();
    InvalidateLayer(Frame(), true, nullptr);
}

// --- Undo capture ---

void YKObjectLayer::BeginInvalidate(bool force) {
    if (!force && mRotation.IsInModification()) {
        return;
    }
    for (YKEnvelop* envelope :
         {static_cast<YKEnvelop*>(&mRotation), static_cast<YKEnvelop*>(&mRotationVector),
          static_cast<YKEnvelop*>(&mLeftTop), static_cast<YKEnvelop*>(&mRightTop),
          static_cast<YKEnvelop*>(&mRightBottom), static_cast<YKEnvelop*>(&mLeftBottom),
          static_cast<YKEnvelop*>(&mPosition)}) {
        envelope->BeginModification();
    }
}

void YKObjectLayer::EndInvalidate(YKList<YKUndoEnvelopModification*>* records) {
    for (YKEnvelop* envelope :
         {static_cast<YKEnvelop*>(&mRotation), static_cast<YKEnvelop*>(&mRotationVector),
          static_cast<YKEnvelop*>(&mLeftTop), static_cast<YKEnvelop*>(&mRightTop),
          static_cast<YKEnvelop*>(&mRightBottom), static_cast<YKEnvelop*>(&mLeftBottom),
          static_cast<YKEnvelop*>(&mPosition)}) {
        YKUndoEnvelopModification* record = envelope->EndModification();
        if (record == nullptr) {
            continue;
        }
        if (records != nullptr) {
            records->AddItem(record);
        } else {
            delete record;
        }
    }
}

// --- Modes ---

int32 YKObjectLayer::ObjectMode(int32 viewer) const {
    const int32 slot = viewer == -1 ? ViewerID() : viewer;
    return slot >= 0 && slot < kViewerSlots ? mObjectMode[slot] : 0;
}

void YKObjectLayer::SetObjectMode(int32 mode, bool allViewers) {
    const int32 viewer = std::clamp(ViewerID(), 0, kViewerSlots - 1);
    const int32 old = mObjectMode[viewer];
    if (allViewers) {
        std::fill(std::begin(mObjectMode), std::end(mObjectMode), mode);
    } else if (old == mode) {
        return;
    } else {
        mObjectMode[viewer] = mode;
    }
    if (old == kModeLocalEditing) {
        ResetBoundingBox(true);
    } else if (old == kModeLoaded) {
        RefillCurrentValues();
    } else if (old == kModeDrawing) {
        // Creation is over: the corners' ratios are what proportional resizing keeps.
        ResetBoundingBox(true);
        const YKPoint<double> corners[4] = {mCurrent.leftTop, mCurrent.rightTop,
                                            mCurrent.rightBottom, mCurrent.leftBottom};
        const YKPoint<double> mean{(corners[0].x + corners[1].x + corners[2].x + corners[3].x) / 4,
                                   (corners[0].y + corners[1].y + corners[2].y + corners[3].y) / 4};
        for (int32 i = 0; i < 4; ++i) {
            const double dy = corners[i].y - mean.y;
            mRatio[i] = dy != 0 ? (corners[i].x - mean.x) / dy : 1.0;
        }
        InvalidateLayer(Frame(), true, nullptr);
    }
    ObjectModeChanged(old);
    YKLayer* top = TopParent();
    if (mObjectMode[viewer] != old && top != nullptr && top->InheritsFrom("YKViewerLayer")) {
        static_cast<YKViewerLayer*>(top)->SendObjectModeNotification(this);
    }
}

void YKObjectLayer::ObjectModeChanged(int32 oldMode) {
    YKLayer* parent = Parent();
    const int32 mode = ObjectMode(-1);
    if (parent != nullptr) {
        if (oldMode != kModeLocalEditing && mode == kModeLocalEditing) {
            parent->SetFiltersOff(true);
        } else if (oldMode == kModeLocalEditing) {
            parent->SetFiltersOn();
        }
    }
    InvalidateSelection(Frame(), false, nullptr);
}

// --- Names ---

void YKObjectLayer::SetName(const char* name) {
    if (name == nullptr) {
        mName.reset();
        return;
    }
    mName = name;
    mCopyNumber = 0;
    YKMessage renamed('oREN');
    renamed.AddPointer("Object", this);
    BroadcastMessage(&renamed);
}

std::string YKObjectLayer::GetFullName() const {
    const std::string name = mName.value_or(kUnnamed);
    if (mCopyNumber == 0) {
        return name;
    }
    if (mCopyNumber == 1) {
        return name + " copy";
    }
    return name + " copy " + std::to_string(mCopyNumber);
}

// --- Hide and lock ---

void YKObjectLayer::Hide(bool hidden) {
    YKLayer::Hide(hidden);
    mVisibility.SetValue(hidden);
    BroadcastMessage('lUTN');
    YKMessage shown(hidden ? 'oHID' : 'oSHW');
    shown.AddPointer("Object", this);
    BroadcastMessage(&shown);
    InvalidateLayer(Frame(), true, kRemovedMarker);
}

void YKObjectLayer::Lock(bool locked) {
    YKLayer::Lock(locked);
    YKMessage message(locked ? 'oLOC' : 'oULC');
    message.AddPointer("Object", this);
    BroadcastMessage(&message);
    InvalidateLayer(Frame(), true, nullptr);
}

// --- Dedicated parent ---

YKCacheLayer* YKObjectLayer::DedicatedParent() const {
    YKLayer* parent = Parent();
    if (parent == nullptr || parent->InheritsFrom("YKUserLayer") || parent->CountChildren() != 1 ||
        !parent->InheritsFrom("YKCacheLayer")) {
        return nullptr;
    }
    return static_cast<YKCacheLayer*>(parent);
}

void YKObjectLayer::ClaimParentsEnvelops() {
    if (YKCacheLayer* parent = DedicatedParent()) {
        parent->SetEnvelopsID(ID());
    }
}

void YKObjectLayer::TranslateFiltersBy(YKPoint<int32> offset) {
    if (YKCacheLayer* parent = DedicatedParent()) {
        parent->OffSetBitmap(offset);
    }
}

int32 YKObjectLayer::MergeMethod() const {
    if (mMergeMethod != 0) {
        return mMergeMethod;
    }
    if (const YKCacheLayer* parent = DedicatedParent()) {
        return parent->MergeMethod();
    }
    return 0;
}

YKCacheLayer* YKObjectLayer::WrapInCacheLayer(int32 method, YKGenericFilter* filter) {
    YKLayer* parent = Parent();
    YKLayer* top = TopParent();
    const int32 id = top != nullptr && top->InheritsFrom("YKViewerLayer")
                         ? static_cast<YKViewerLayer*>(top)->GetUniqueID()
                         : 0;
    const int32 index = parent->IndexOfChild(this);
    parent->RemoveChild(this, false);
    if (mOpacity == nullptr) {
        mOpacity = std::make_unique<YKEnvelopInt32>(ID(), kOpacityName);
        mOpacity->SetValue(255, 1);
    }
    auto* cache = new YKCacheLayer(id, std::move(mOpacity));
    parent->AddChild(cache, std::max(index, 0), false);
    cache->AddChild(this, false);
    cache->SetMergeMethod(method, filter);
    mMergeMethod = 0;
    return cache;
}

bool YKObjectLayer::UnwrapCacheLayer(bool keepOpacity) {
    YKCacheLayer* cache = DedicatedParent();
    YKLayer* parent = cache != nullptr ? cache->Parent() : nullptr;
    if (parent == nullptr) {
        return false;
    }
    YKEnvelopManager* manager = EnvelopManager();
    if (manager != nullptr) {
        manager->SetAcceptRedraw(false, true);
    }
    const int32 index = parent->IndexOfChild(cache);
    parent->RemoveChild(cache, true);
    cache->RemoveChild(this, false);
    std::unique_ptr<YKEnvelopInt32> opacity = cache->TakeOpacityEnvelop();
    if (keepOpacity) {
        mOpacity = std::move(opacity);
    }
    if (cache->MergeMethod() != YK_FILTER) {
        mMergeMethod = static_cast<int8>(cache->MergeMethod());
    }
    delete cache;
    parent->AddChild(this, std::max(index, 0), true);
    if (manager != nullptr) {
        manager->SetAcceptRedraw(true, false);
    }
    return true;
}

void YKObjectLayer::ChangeOpacity(int32 opacity) {
    if (Parent() == nullptr) {
        return;
    }
    YKCacheLayer* parent = DedicatedParent();
    if (opacity == 255) {
        if (parent != nullptr) {
            parent->SetGlobalAlpha(255);
        }
        return;
    }
    if (parent == nullptr) {
        YKEnvelopManager* manager = EnvelopManager();
        if (manager != nullptr) {
            manager->SetAcceptRedraw(false, true);
        }
        parent = WrapInCacheLayer(mMergeMethod, nullptr);
        if (manager != nullptr) {
            manager->SetAcceptRedraw(true, false);
        }
    }
    parent->SetGlobalAlpha(opacity);
}

void YKObjectLayer::ChangeMergeMethod(int32 method, YKGenericFilter* filter) {
    if (Parent() == nullptr || method < 0 || method >= YK_COMPOSITION_MODE_COUNT) {
        return;
    }
    YKCacheLayer* parent = DedicatedParent();
    if (method != YK_FILTER) {
        if (parent != nullptr) {
            parent->SetMergeMethod(method, nullptr);
            mMergeMethod = 0;
        } else {
            mMergeMethod = static_cast<int8>(method);
            InvalidateLayer(Frame(), true, kRemovedMarker);
        }
        return;
    }
    if (filter == nullptr) {
        return;
    }
    YKEnvelopManager* manager = EnvelopManager();
    if (parent == nullptr) {
        if (manager != nullptr) {
            manager->SetAcceptRedraw(false, true);
        }
        WrapInCacheLayer(YK_FILTER, filter);
        if (manager != nullptr) {
            manager->SetAcceptRedraw(true, false);
            manager->ObjectModified(ID());
        }
    } else {
        parent->SetMergeMethod(YK_FILTER, filter);
    }
    mMergeMethod = 0;
}

void YKObjectLayer::ApplyFilter(YKGenericFilter* filter) {
    if (Parent() == nullptr || filter == nullptr) {
        return;
    }
    YKEnvelopManager* manager = EnvelopManager();
    if (manager != nullptr) {
        manager->SetAcceptRedraw(false, true);
    }
    YKCacheLayer* parent = DedicatedParent();
    if (parent == nullptr) {
        parent = WrapInCacheLayer(mMergeMethod, nullptr);
    }
    parent->AddFilter(filter);
    if (manager != nullptr) {
        manager->SetAcceptRedraw(true, false);
        manager->ObjectModified(ID());
    }
}

// --- Messages ---

void YKObjectLayer::MessageReceived(YKMessage* message) {
    if (message == nullptr) {
        return;
    }
    int32 value = 0;
    void* pointer = nullptr;
    const auto bracketed = [this](auto&& change) {
        YKLayer* top = TopParent();
        auto* viewer = top != nullptr && top->InheritsFrom("YKViewerLayer")
                           ? static_cast<YKViewerLayer*>(top)
                           : nullptr;
        if (viewer != nullptr) {
            viewer->BeginInvalidate();
        }
        change();
        if (viewer != nullptr) {
            viewer->EndInvalidate();
        }
    };
    switch (message->what) {
        // The option panels ask a kind for its attributes and hand them back changed.
        case 'gOPT':
            FillWithAttributes(message);
            return;
        case 'sOPT':
            ExtractAttributes(message);
            BroadcastMessage('lUTN');
            return;
        case 'oOPA':
            if (message->FindInt32("opacity", &value)) {
                ChangeOpacity(value);
            }
            return;
        case 'oMRG':
            if (message->FindInt32("merge_method", &value)) {
                message->FindPointer("merge_filter", &pointer);
                ChangeMergeMethod(value, static_cast<YKGenericFilter*>(pointer));
            }
            return;
        case 'oFLT':
            if (message->FindPointer("filter", &pointer)) {
                ApplyFilter(static_cast<YKGenericFilter*>(pointer));
            }
            return;
        case 'oLOC':
            Lock(true);
            return;
        case 'oULC':
            Lock(false);
            return;
        case 'oHID':
            bracketed([this] { Hide(true); });
            return;
        case 'oSHW':
            bracketed([this] { Hide(false); });
            return;
        case 'sNAM': {
            const char* name = nullptr;
            if (message->FindString("name", &name)) {
                SetName(name);
            }
            return;
        }
        case 'slct': {
            int32 mode = kModeNotSelected;
            bool update = true;
            message->FindInt32("Mode", &mode);
            message->FindBool("update", &update);
            SetObjectMode(mode, update);
            return;
        }
        default:
            YKEffectLayer::MessageReceived(message);
    }
}

// --- Picking ---

namespace {

bool IsPickable(int32 mode) {
    return mode == YKObjectLayer::kModeNotSelected || mode == YKObjectLayer::kModeSelected ||
           mode == YKObjectLayer::kModePickable;
}

}  // namespace

void YKObjectLayer::MousePoint(YKPoint<double> point, YKList<YKLayer*>* hits) {
    if (hits == nullptr || IsHidden() || !IsPickable(ObjectMode(-1))) {
        return;
    }
    if (GetKnob(point) >= 1) {
        hits->AddItem(this);
    }
}

void YKObjectLayer::MouseRectangle(YKRect<double> rect, YKList<YKLayer*>* hits) {
    if (hits == nullptr || IsHidden() || !IsPickable(ObjectMode(-1))) {
        return;
    }
    YKPoint<double> corners[4];
    TurnedCorners(corners);
    for (const YKPoint<double>& corner : corners) {
        if (!rect.Contains(corner)) {
            return;
        }
    }
    hits->AddItem(this);
}

int32 YKObjectLayer::GetKnob(YKPoint<double> point) {
    YKList<YKPoint<double>> knobs;
    GetKnobTab(&knobs);
    const double tolerance = KnobSize();
    for (int32 i = 0; i < knobs.CountItems(); ++i) {
        if (IsAround(point, knobs.ItemAt(i), tolerance)) {
            return i + 2;
        }
    }
    YKList<YKPoint<double>> outline;
    GetOutline(&outline);
    return PointInPoly(point, outline) ? 1 : 0;
}

void YKObjectLayer::GetKnobTab(YKList<YKPoint<double>>* knobs) {
    if (knobs == nullptr || IsHidden() || !SupportsResize()) {
        return;
    }
    YKLayer* user = UserLayer();
    if (user == nullptr || ObjectMode(-1) != kModeSelected) {
        return;
    }
    // Knobs belong to a single selection; several selected objects are moved as a group.
    for (YKLayer* layer = user->IterateHirarchyToNext("YKObjectLayer", user); layer != nullptr;
         layer = layer->IterateHirarchyToNext("YKObjectLayer", user)) {
        if (layer != this && static_cast<YKObjectLayer*>(layer)->ObjectMode(-1) == kModeSelected) {
            return;
        }
    }
    YKPoint<double> c[4];
    TurnedCorners(c);
    for (const YKPoint<double>& corner : c) {
        knobs->AddItem(corner);
    }
    for (int32 i = 0; i < 4; ++i) {
        const YKPoint<double>& a = c[i];
        const YKPoint<double>& b = c[(i + 1) & 3];
        knobs->AddItem({(a.x + b.x) / 2, (a.y + b.y) / 2});
    }
}

void YKObjectLayer::GetOutline(YKList<YKPoint<double>>* outline) const {
    if (outline == nullptr) {
        return;
    }
    YKPoint<double> corners[4];
    TurnedCorners(corners);
    for (const YKPoint<double>& corner : corners) {
        outline->AddItem(corner);
    }
}

bool YKObjectLayer::PointInPoly(YKPoint<double> point, const YKList<YKPoint<double>>& polygon) {
    const int32 count = polygon.CountItems();
    bool inside = false;
    for (int32 i = 0; i < count; ++i) {
        const YKPoint<double> a = polygon.ItemAt(i);
        const YKPoint<double> b = polygon.ItemAt((i + 1) % count);
        if (a.y == b.y || (point.y < a.y) == (point.y < b.y)) {
            continue;
        }
        const double x = (point.y - a.y) * (b.x - a.x) / (b.y - a.y) + a.x;
        if (x > point.x) {
            inside = !inside;
        }
    }
    return inside;
}

bool YKObjectLayer::IsAround(YKPoint<double> a, YKPoint<double> b, double tolerance) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance;
}

// --- Rendering helpers for the kinds ---

void YKObjectLayer::ComposeRendering(YKBitmap* destination, YKRect<int32> rect,
                                     const YKBitmap* content) {
    if (destination == nullptr || IsHidden()) {
        return;
    }
    rect = rect & Frame();
    if (!rect.IsValid()) {
        return;
    }
    const int32 method = mMergeMethod;
    ComposeBeforeEffect(destination, rect, method);
    if (content != nullptr) {
        destination->MergeWith(content, rect, method, 255);
    }
    ComposeAfterEffect(destination, rect, method);
}

void YKObjectLayer::ShiftRendering(YKBitmap* content, YKPoint<int32> delta) {
    if (content != nullptr) {
        content->MoveBy(delta);
    }
    MoveEffectBy(delta);
    TranslateFiltersBy(delta);
}
