#include "YKEnvelopManager.h"

#include <algorithm>

#include "YKAutolock.h"
#include "YKEnvelop.h"
#include "YKKeyFrame.h"
#include "YKMessage.h"
#include "YKTimelineSink.h"
#include "YKUndoChangeMaxFrame.h"

// Sections: construction and archive · frames · envelopes and change detection ·
// frame edits · timeline notification.

namespace {

// A document always has one frame; the upper bound keeps a damaged file from asking for
// billions of frame records.
constexpr int32 kMaxFrameCount = 100000;

bool Contains(const YKList<YKEnvelop*>* list, const YKEnvelop* envelope) {
    if (list == nullptr) {
        return false;
    }
    for (int32 i = 0; i < list->CountItems(); ++i) {
        if (list->ItemAt(i) == envelope) {
            return true;
        }
    }
    return false;
}

// Brackets a frame edit: the timeline hears nothing until the edit is over, then one touch
// for the whole document.
class QuietEdit {
public:
    explicit QuietEdit(YKEnvelopManager& manager) : mManager(manager) {
        mManager.SetAcceptRedraw(false, true);
    }
    ~QuietEdit() {
        mManager.SetAcceptRedraw(true, false);
        mManager.ObjectTouched(0);
    }

private:
    YKEnvelopManager& mManager;
};

}  // namespace

// --- Construction and archive ---

YKEnvelopManager::YKEnvelopManager(YKViewerLayerHost* document) : mDocument(document) {
    mFrameInfos.AddItem(YKFrameInfo());
}

YKEnvelopManager::YKEnvelopManager(const YKMessage* archive)
    : YKEnvelopManager(static_cast<YKViewerLayerHost*>(nullptr)) {
    if (archive == nullptr) {
        return;
    }
    int32 maxFrame = mMaxFrame;
    archive->FindInt32("YKEnvMan:_max_frame", &maxFrame);
    archive->FindInt32("YKEnvMan:_current_frame", &mCurrentFrame);
    SetMaxFrame(maxFrame, false);
    YKMessage info;
    for (int32 i = 0; i < mFrameInfos.CountItems(); ++i) {
        if (!archive->FindMessage("YKEnvMan:frinf", i, &info)) {
            break;
        }
        mFrameInfos.Items()[i] = YKFrameInfo(&info);
    }
}

// The registered envelopes belong to their objects, which unregister them when they leave the
// tree; the manager does not touch them on its way out.
YKEnvelopManager::~YKEnvelopManager() {
    EmptyClipboard();
}

void YKEnvelopManager::Archive(YKMessage* archive) const {
    if (archive == nullptr) {
        return;
    }
    YKAutolock lock(&mLock);
    archive->AddInt32("YKEnvMan:_max_frame", mMaxFrame);
    archive->AddInt32("YKEnvMan:_current_frame", mCurrentFrame);
    for (int32 i = 0; i < mFrameInfos.CountItems(); ++i) {
        YKMessage info;
        mFrameInfos.ItemAt(i).Archive(&info);
        archive->AddMessage("YKEnvMan:frinf", &info);
    }
}

// --- Frames ---

int32 YKEnvelopManager::CurrentFrame() const {
    YKAutolock lock(&mLock);
    return mCurrentFrame;
}

int32 YKEnvelopManager::OldFrame() const {
    YKAutolock lock(&mLock);
    return mOldFrame;
}

int32 YKEnvelopManager::MaxFrame() const {
    YKAutolock lock(&mLock);
    return mMaxFrame;
}

void YKEnvelopManager::SetCurrentFrame(int32 frame) {
    YKAutolock lock(&mLock);
    mOldFrame = mCurrentFrame;
    mCurrentFrame = frame;
    for (int32 i = 0; i < mEnvelops.CountItems(); ++i) {
        mEnvelops.ItemAt(i)->SetCurrentFrame(frame);
    }
}

void YKEnvelopManager::SetOldFrame(int32 frame) {
    YKAutolock lock(&mLock);
    mOldFrame = frame;
    for (int32 i = 0; i < mEnvelops.CountItems(); ++i) {
        mEnvelops.ItemAt(i)->SetOldFrame(frame);
    }
}

void YKEnvelopManager::SetMaxFrame(int32 count, bool undoable) {
    count = std::clamp(count, 1, kMaxFrameCount);
    YKAutolock lock(&mLock);
    if (count != mMaxFrame && undoable) {
        YKUndoEnvelop::Register(std::make_unique<YKUndoChangeMaxFrame>(this, mMaxFrame, count),
                                this);
    }
    mMaxFrame = count;
    for (int32 i = 0; i < mEnvelops.CountItems(); ++i) {
        mEnvelops.ItemAt(i)->SetMaxFrame(count);
    }
    while (mFrameInfos.CountItems() > count) {
        mFrameInfos.RemoveItem(mFrameInfos.CountItems() - 1);
    }
    while (mFrameInfos.CountItems() < count) {
        mFrameInfos.AddItem(YKFrameInfo());
    }
    MaxFrameChanged();
    if (mCurrentFrame > count) {
        SetCurrentFrame(count);
    }
}

void YKEnvelopManager::SuggestMaxFrame(int32 count) {
    YKAutolock lock(&mLock);
    if (count > mMaxFrame) {
        SetMaxFrame(count, true);
    }
}

float YKEnvelopManager::FrameDuration(int32 frame) const {
    YKAutolock lock(&mLock);
    return frame >= 1 && frame <= mMaxFrame ? mFrameInfos.ItemAt(frame - 1).duration : 0.0f;
}

void YKEnvelopManager::SetFrameDuration(int32 frame, float duration) {
    YKAutolock lock(&mLock);
    if (frame >= 1 && frame <= mMaxFrame) {
        mFrameInfos.Items()[frame - 1].duration = duration;
    }
}

bool YKEnvelopManager::FrameUsable(int32 frame) const {
    YKAutolock lock(&mLock);
    return frame >= 1 && frame <= mMaxFrame && mFrameInfos.ItemAt(frame - 1).usable;
}

void YKEnvelopManager::SetFrameUsable(int32 frame, bool usable) {
    YKAutolock lock(&mLock);
    if (frame >= 1 && frame <= mMaxFrame) {
        mFrameInfos.Items()[frame - 1].usable = usable;
    }
}

// --- Envelopes and change detection ---

void YKEnvelopManager::AddEnvelop(YKEnvelop* envelope) {
    if (envelope == nullptr || !YKEnvelop::IsAllocated(envelope)) {
        return;
    }
    YKAutolock lock(&mLock);
    std::vector<YKEnvelop*>& owned = mByOwner[envelope->RealOwner()];
    // A second registration would switch the envelope's frames twice and lose its old frame.
    if (std::find(owned.begin(), owned.end(), envelope) != owned.end()) {
        return;
    }
    envelope->SetCurrentFrame(mCurrentFrame);
    envelope->SetOldFrame(mOldFrame);
    envelope->SetEnvelopManager(this);
    // An envelope that already agrees with the document changes nothing: skipping the frame
    // count update keeps loading a document of n envelopes linear instead of quadratic.
    if (envelope->MaxFrame() != -1) {
        if (envelope->MaxFrame() != mMaxFrame) {
            SetMaxFrame(envelope->MaxFrame(), true);
        }
    } else {
        envelope->SetMaxFrame(mMaxFrame);
    }
    mEnvelops.AddItem(envelope);
    owned.push_back(envelope);
    envelope->AddedToManager();
}

void YKEnvelopManager::RemoveEnvelop(YKEnvelop* envelope) {
    YKAutolock lock(&mLock);
    // Envelopes mostly leave in the reverse order they came (a tree is destroyed from its last
    // layer), so the search starts from the end: closing a document stays linear.
    int32 index = mEnvelops.CountItems() - 1;
    while (index >= 0 && mEnvelops.ItemAt(index) != envelope) {
        --index;
    }
    if (index < 0) {
        return;
    }
    mEnvelops.RemoveItem(index);
    const auto bucket = mByOwner.find(envelope->RealOwner());
    if (bucket != mByOwner.end()) {
        std::erase(bucket->second, envelope);
        if (bucket->second.empty()) {
            mByOwner.erase(bucket);
        }
    }
}

void YKEnvelopManager::RealOwnerChanged(YKEnvelop* envelope, int32 previousOwner) {
    YKAutolock lock(&mLock);
    const auto bucket = mByOwner.find(previousOwner);
    if (bucket == mByOwner.end() ||
        std::find(bucket->second.begin(), bucket->second.end(), envelope) == bucket->second.end()) {
        return;  // not registered here (a clipboard duplicate, say)
    }
    std::erase(bucket->second, envelope);
    if (bucket->second.empty()) {
        mByOwner.erase(bucket);
    }
    mByOwner[envelope->RealOwner()].push_back(envelope);
}

int32 YKEnvelopManager::CountEnvelops() const {
    YKAutolock lock(&mLock);
    return mEnvelops.CountItems();
}

bool YKEnvelopManager::HasEnvelop(const YKEnvelop* envelope) const {
    YKAutolock lock(&mLock);
    return Contains(&mEnvelops, envelope);
}

YKEnvelop* YKEnvelopManager::EnvelopAt(int32 index) const {
    YKAutolock lock(&mLock);
    return mEnvelops.ItemAt(index);
}

template <typename IsExcluded>
bool YKEnvelopManager::AnyValueModified(int32 owner, int32 frame, IsExcluded isExcluded) const {
    if (frame == -1) {
        return true;
    }
    YKAutolock lock(&mLock);
    if (!mModifiedOwners.empty() &&
        std::binary_search(mModifiedOwners.begin(), mModifiedOwners.end(), owner)) {
        return true;
    }
    const auto bucket = mByOwner.find(owner);
    if (bucket == mByOwner.end()) {
        return false;
    }
    for (const YKEnvelop* envelope : bucket->second) {
        if (!isExcluded(envelope) && envelope->IsValueModified(frame)) {
            return true;
        }
    }
    return false;
}

void YKEnvelopManager::SetModifiedOwners(std::vector<int32> owners) {
    YKAutolock lock(&mLock);
    mModifiedOwners = std::move(owners);
}

bool YKEnvelopManager::IsObjectModified(int32 owner, const YKEnvelop* excluded) const {
    return AnyValueModified(owner, OldFrame(),
                            [excluded](const YKEnvelop* envelope) { return envelope == excluded; });
}

bool YKEnvelopManager::IsObjectModified(int32 owner, const YKList<YKEnvelop*>* excluded) const {
    return IsObjectModified(owner, OldFrame(), excluded);
}

bool YKEnvelopManager::IsObjectModified(int32 owner, int32 frame,
                                        const YKList<YKEnvelop*>* excluded) const {
    return AnyValueModified(owner, frame, [excluded](const YKEnvelop* envelope) {
        return Contains(excluded, envelope);
    });
}

// --- Frame edits ---

void YKEnvelopManager::ShiftKeyFrames(int32 from, int32 delta, bool dropAtFrom) {
    for (int32 i = 0; i < mEnvelops.CountItems(); ++i) {
        YKEnvelop* envelope = mEnvelops.ItemAt(i);
        if (dropAtFrom && envelope->CountKeyFrames() > 1) {
            delete envelope->RemoveKeyFrame(from);
        }
        // Every key frame from `from` on moves by the same amount, so the list stays sorted
        // and no two key frames meet.
        const YKList<YKKeyFrame*>* keys = envelope->KeyFrameList();
        for (int32 k = 0; keys != nullptr && k < keys->CountItems(); ++k) {
            YKKeyFrame* key = keys->ItemAt(k);
            if (key->FrameNumber() >= from + (dropAtFrom ? 1 : 0)) {
                key->SetFrameNumber(key->FrameNumber() + delta);
            }
        }
    }
}

void YKEnvelopManager::InsertFrames(int32 count) {
    YKAutolock lock(&mLock);
    if (count < 1) {
        return;
    }
    QuietEdit quiet(*this);
    const int32 oldCount = mMaxFrame;
    SetMaxFrame(mMaxFrame + count, true);
    // The new frames (default infos, appended by SetMaxFrame) go where they were inserted, so
    // that every frame keeps its own duration.
    for (int32 i = oldCount; i < mMaxFrame; ++i) {
        mFrameInfos.AddItem(mFrameInfos.RemoveItem(mFrameInfos.CountItems() - 1),
                            mCurrentFrame - 1);
    }
    ShiftKeyFrames(mCurrentFrame, mMaxFrame - oldCount, false);
}

void YKEnvelopManager::DeleteFrame() {
    YKAutolock lock(&mLock);
    if (mMaxFrame <= 1) {
        return;
    }
    QuietEdit quiet(*this);
    // The deleted frame's own key frames and duration go; when it was the last frame the
    // current frame moves back one.
    const int32 frame = mCurrentFrame;
    mFrameInfos.RemoveItem(frame - 1);
    mFrameInfos.AddItem(YKFrameInfo());
    SetMaxFrame(mMaxFrame - 1, true);
    ShiftKeyFrames(frame, -1, true);
}

void YKEnvelopManager::AddKeyToFrame() {
    YKAutolock lock(&mLock);
    QuietEdit quiet(*this);
    for (int32 i = 0; i < mEnvelops.CountItems(); ++i) {
        YKEnvelop* envelope = mEnvelops.ItemAt(i);
        // An envelope without key frames has no value to keep.
        if (envelope->CountKeyFrames() > 0) {
            envelope->FixValue(nullptr);
        }
    }
}

void YKEnvelopManager::DeleteKeyFromFrame() {
    YKAutolock lock(&mLock);
    QuietEdit quiet(*this);
    for (int32 i = 0; i < mEnvelops.CountItems(); ++i) {
        YKEnvelop* envelope = mEnvelops.ItemAt(i);
        if (envelope->CountKeyFrames() > 1) {
            delete envelope->RemoveKeyFrame(mCurrentFrame);
        }
    }
}

void YKEnvelopManager::EmptyClipboard() {
    if (mClipboard == nullptr) {
        return;
    }
    for (int32 i = 0; i < mClipboard->CountItems(); ++i) {
        delete mClipboard->ItemAt(i);
    }
    mClipboard.reset();
}

void YKEnvelopManager::CopyFrame() {
    YKAutolock lock(&mLock);
    EmptyClipboard();
    mClipboard = std::make_unique<YKList<YKEnvelop*>>();
    for (int32 i = 0; i < mEnvelops.CountItems(); ++i) {
        mClipboard->AddItem(mEnvelops.ItemAt(i)->Duplicate());
    }
}

void YKEnvelopManager::ReplaceFrame() {
    YKAutolock lock(&mLock);
    QuietEdit quiet(*this);
    if (mClipboard == nullptr || mClipboard->CountItems() != mEnvelops.CountItems()) {
        return;
    }
    for (int32 i = 0; i < mEnvelops.CountItems(); ++i) {
        YKEnvelop* envelope = mEnvelops.ItemAt(i);
        const YKEnvelop* copy = mClipboard->ItemAt(i);
        if (envelope->GetType() == copy->GetType() && copy->CountKeyFrames() > 0) {
            envelope->FixValue(copy);
        }
    }
}

void YKEnvelopManager::PasteFrame() {
    YKAutolock lock(&mLock);
    InsertFrames(1);
    ReplaceFrame();
}

// --- Timeline notification ---

void YKEnvelopManager::Notify(uint32 code, int32 owner) {
    YKTimelineSink* sink = YKTimelineSink::Current();
    if (sink == nullptr || !mAcceptRedraw) {
        return;
    }
    YKMessage message(code);
    if (code != YKTimelineSink::kMaxFrameChanged && code != YKTimelineSink::kRedrawOn) {
        message.AddInt32("object_id", owner);
    }
    message.AddPointer("from", this);
    sink->Deliver(message);
}

void YKEnvelopManager::SetAcceptRedraw(bool accept, bool notify) {
    if (YKTimelineSink::Current() == nullptr) {
        return;
    }
    mAcceptRedraw = accept;
    if (accept && notify) {
        Notify(YKTimelineSink::kRedrawOn, 0);
    }
}

void YKEnvelopManager::MaxFrameChanged() {
    Notify(YKTimelineSink::kMaxFrameChanged, 0);
}

void YKEnvelopManager::ObjectAdded(int32 owner) {
    YKAutolock lock(&mLock);
    Notify(YKTimelineSink::kObjectAdded, owner);
}

void YKEnvelopManager::ObjectRemoved(int32 owner) {
    Notify(YKTimelineSink::kObjectRemoved, owner);
}

void YKEnvelopManager::ObjectTouched(int32 owner) {
    Notify(YKTimelineSink::kObjectTouched, owner);
}

void YKEnvelopManager::ObjectModified(int32 owner) {
    ObjectRemoved(owner);
    ObjectAdded(owner);
}

void YKEnvelopManager::KeyFramesChanged(int32 owner) {
    Notify(YKTimelineSink::kKeyFramesChanged, owner);
}
