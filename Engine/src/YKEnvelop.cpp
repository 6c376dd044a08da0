#include "YKEnvelop.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "YKEnvelopManager.h"
#include "YKInternalError.h"
#include "YKKeyFrame.h"
#include "YKMessage.h"
#include "YKUndoEnvelopModification.h"

namespace {

// What the destructor leaves in the class tag, so that a dangling envelope is told apart from
// memory that never held one.
constexpr char kDeadTag[] = "---------";

}  // namespace

// --- Life

YKEnvelop::YKEnvelop(int32 owner, const char* name) {
    static_assert(sizeof(mClassTag) == sizeof(kDeadTag) && sizeof(kDeadTag) == 10);
    std::memcpy(mClassTag, kClassTag, sizeof(mClassTag));
    SetOwner(owner);
    SetRealOwner(owner);
    SetName(name);
}

YKEnvelop::~YKEnvelop() {
    RemoveAllKeyFrames();
    mModification.reset();
    // Volatile, or the compiler may drop stores to an object whose life is ending.
    volatile char* tag = mClassTag;
    for (std::size_t i = 0; i < sizeof(mClassTag); ++i) {
        tag[i] = kDeadTag[i];
    }
}

// The tag is read as raw bytes because the object at the address given may be dead or not an
// envelope at all. offsetof is well defined here (no virtual bases) though the class is not
// standard-layout.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
bool YKEnvelop::IsAllocated(const YKEnvelop* envelope) {
    if (envelope == nullptr) {
        return false;
    }
    char tag[sizeof(mClassTag)];
    std::memcpy(tag, reinterpret_cast<const char*>(envelope) + offsetof(YKEnvelop, mClassTag),
                sizeof(tag));
    if (std::memcmp(tag, kClassTag, sizeof(tag)) == 0) {
        return true;
    }
    YKInternalError::Show(std::memcmp(tag, kDeadTag, sizeof(tag)) == 0 ? 101 : 102);
    return false;
}
#pragma GCC diagnostic pop

// --- Archives

bool YKEnvelop::IsEnvelopArchive(const YKMessage* archive) {
    const char* found = nullptr;
    return archive != nullptr && archive->FindString("Class", &found) &&
           std::strcmp(found, kClassTag) == 0;
}

void YKEnvelop::UnArchive(const YKMessage* archive, int32 owner) {
    // Back to the state of a new envelope; owners and the manager stay, as they are who holds
    // this envelope, not what it holds.
    RemoveAllKeyFrames();
    mModification.reset();
    mModificationCount = 0;
    mOldFrame = -1;
    mCurrentFrame = 1;
    mMaxFrame = -1;
    mSuggestedMaxFrame = -1;
    SetName(nullptr);
    SetSubName(nullptr);
    if (archive == nullptr) {
        return;
    }
    if (!IsEnvelopArchive(archive)) {
        const char* found = "";
        archive->FindString("Class", &found);
        std::printf("YKEnvelop reload: not the right class message [%s]\n", found);
        return;
    }

    archive->FindInt32("YKE:_current_frame", &mCurrentFrame);
    archive->FindInt32("YKE:_max_frame", &mMaxFrame);
    int32 id = 0;
    if (archive->FindInt32("YKE:_owner", &id)) {
        SetOwner(id);
    }
    if (archive->FindInt32("YKE:_real_owner", &id)) {
        SetRealOwner(id);
    }
    const char* text = nullptr;
    if (archive->FindString("YKE:_name", &text)) {
        SetName(text);
    }
    if (archive->FindString("YKE:_sub_name", &text)) {
        SetSubName(text);
    }
    if (owner != 0) {
        SetOwner(owner);
        SetRealOwner(owner);
    }
}

void YKEnvelop::Archive(YKMessage* archive) const {
    if (archive == nullptr) {
        return;
    }
    archive->AddString("Class", kClassTag);
    archive->AddInt32("YKE:_max_frame", mMaxFrame);
    archive->AddInt32("YKE:_current_frame", mCurrentFrame);
    archive->AddInt32("YKE:_owner", mOwner);
    archive->AddInt32("YKE:_real_owner", mRealOwner);
    if (mHasName) {
        archive->AddString("YKE:_name", mName);
    }
    if (mHasSubName) {
        archive->AddString("YKE:_sub_name", mSubName);
    }
    archive->AddInt32("YKE:_type", GetType());
    for (int32 i = 0; i < mKeyFrames.CountItems(); ++i) {
        YKMessage keyArchive;
        mKeyFrames.ItemAt(i)->Archive(&keyArchive);
        archive->AddMessage("YKE:YKKeyFrame", &keyArchive);
    }
}

// --- Frames

void YKEnvelop::SetCurrentFrame(int32 frame) {
    mOldFrame = mCurrentFrame;
    mCurrentFrame = frame;
}

void YKEnvelop::SetMaxFrame(int32 frame) {
    mMaxFrame = frame;
}

void YKEnvelop::SuggestLater(int32 frame) {
    if (frame > mSuggestedMaxFrame) {
        mSuggestedMaxFrame = frame;
    }
}

void YKEnvelop::AddedToManager() {
    if (mManager != nullptr && mSuggestedMaxFrame > mManager->MaxFrame()) {
        mManager->SetMaxFrame(mSuggestedMaxFrame, true);
    }
}

bool YKEnvelop::AcceptsValues() const {
    return mManager == nullptr || mManager->AcceptAdd();
}

void YKEnvelop::ExtendTo(int32 frame) {
    if (mManager == nullptr) {
        SuggestLater(frame);
    } else if (frame > mManager->MaxFrame()) {
        mManager->SetMaxFrame(frame, true);
    }
}

void YKEnvelop::PromptManager() const {
    if (mManager != nullptr) {
        mManager->ObjectTouched(mOwner);
    }
}

// --- Key frames

void YKEnvelop::AddKeyFrame(YKKeyFrame* keyFrame, bool notify) {
    if (keyFrame == nullptr) {
        return;
    }
    const int32 frame = keyFrame->FrameNumber();
    int32 index = 0;
    const int32 count = mKeyFrames.CountItems();
    while (index < count && mKeyFrames.ItemAt(index)->FrameNumber() < frame) {
        ++index;
    }
    if (index < count && mKeyFrames.ItemAt(index)->FrameNumber() == frame) {
        if (mKeyFrames.ItemAt(index) == keyFrame) {
            // Already in place: deleting the one found would delete the one being added.
            if (notify) {
                PromptManager();
            }
            return;
        }
        delete RemoveKeyFrame(frame);
    }
    mKeyFrames.AddItem(keyFrame, index);
    if (notify) {
        PromptManager();
    }
}

YKKeyFrame* YKEnvelop::RemoveKeyFrame(int32 frame) {
    const int32 index = KeyFrameInternalIndex(frame);
    return index < 0 ? nullptr : mKeyFrames.RemoveItem(index);
}

void YKEnvelop::RemoveAllKeyFrames() {
    for (int32 i = 0; i < mKeyFrames.CountItems(); ++i) {
        delete mKeyFrames.ItemAt(i);
    }
    mKeyFrames.MakeEmpty();
}

YKKeyFrame* YKEnvelop::KeyFramePointer(int32 frame) const {
    return mKeyFrames.ItemAt(KeyFrameInternalIndex(frame));
}

int32 YKEnvelop::KeyFrameInternalIndex(int32 frame) const {
    for (int32 i = 0; i < mKeyFrames.CountItems(); ++i) {
        const int32 keyFrame = mKeyFrames.ItemAt(i)->FrameNumber();
        if (keyFrame == frame) {
            return i;
        }
        if (keyFrame > frame) {
            break;
        }
    }
    return -1;
}

int32 YKEnvelop::KeyFrameInternalIndex(const YKKeyFrame* keyFrame) const {
    return keyFrame == nullptr ? -1 : mKeyFrames.IndexOf(const_cast<YKKeyFrame*>(keyFrame));
}

void YKEnvelop::Bounds(int32 frame, YKKeyFrame** exact, YKKeyFrame** previous,
                       YKKeyFrame** next) const {
    // Every frame switch asks this of every envelope. `low` becomes the first key frame at or
    // after `frame`: the last lookup's place when it still fits, else a binary search. Either
    // way only a few key frames are read, not all of them.
    const int32 count = mKeyFrames.CountItems();
    const auto fits = [&](int32 at) {
        return at >= 0 && at <= count &&
               (at == count || mKeyFrames.ItemAt(at)->FrameNumber() >= frame) &&
               (at == 0 || mKeyFrames.ItemAt(at - 1)->FrameNumber() < frame);
    };
    int32 low = mLookupHint.load(std::memory_order_relaxed);
    if (!fits(low)) {
        low = 0;
        int32 high = count;
        while (low < high) {
            const int32 middle = low + (high - low) / 2;
            if (mKeyFrames.ItemAt(middle)->FrameNumber() < frame) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        mLookupHint.store(low, std::memory_order_relaxed);
    }
    YKKeyFrame* atOrAfter = mKeyFrames.ItemAt(low);  // null past the end
    const bool isExact = atOrAfter != nullptr && atOrAfter->FrameNumber() == frame;
    if (exact != nullptr) {
        *exact = isExact ? atOrAfter : nullptr;
    }
    if (previous != nullptr) {
        *previous = mKeyFrames.ItemAt(low - 1);
    }
    if (next != nullptr) {
        *next = mKeyFrames.ItemAt(isExact ? low + 1 : low);
    }
}

void YKEnvelop::GetBoundingFrames(int32 frame, int32& previous, int32& next) const {
    YKKeyFrame* before = nullptr;
    YKKeyFrame* after = nullptr;
    Bounds(frame, nullptr, &before, &after);
    previous = before != nullptr ? before->FrameNumber() : -1;
    next = after != nullptr ? after->FrameNumber() : -1;
}

void YKEnvelop::InterpolateFunctionsNames(YKList<const char*>* names) const {
    if (names != nullptr) {
        names->AddItem("Linear");
    }
}

// --- Modification records

void YKEnvelop::BeginModification() {
    mModification = std::make_unique<YKUndoEnvelopModification>();
    mModification->Set_envelop(this);
    mModification->Set_frame_number(mCurrentFrame);
    const YKKeyFrame* before = KeyFramePointer(mCurrentFrame);
    mModification->Set_key_before(before != nullptr ? before->Duplicate() : nullptr);
    mModificationCount = 0;
}

YKUndoEnvelopModification* YKEnvelop::EndModification() {
    if (mModification == nullptr) {
        return nullptr;
    }
    const YKKeyFrame* after = KeyFramePointer(mCurrentFrame);
    mModification->Set_key_after(after != nullptr ? after->Duplicate() : nullptr);
    const bool nothingToRestore =
        mModification->Get_key_before() == nullptr && mModification->Get_key_after() == nullptr;
    if (nothingToRestore || mModificationCount == 0) {
        mModification.reset();
        return nullptr;
    }
    return mModification.release();
}

void YKEnvelop::CountModification() {
    if (mModification != nullptr) {
        ++mModificationCount;
    }
}

// --- Identity and display

void YKEnvelop::SetRealOwner(int32 owner) {
    const int32 previous = mRealOwner;
    mRealOwner = owner;
    if (mManager != nullptr && previous != owner) {
        mManager->RealOwnerChanged(this, previous);
    }
}

void YKEnvelop::SetName(const char* name) {
    mHasName = name != nullptr;
    mName = mHasName ? name : "";
}

const char* YKEnvelop::Name() const {
    return mHasName ? mName.c_str() : nullptr;
}

void YKEnvelop::SetSubName(const char* subName) {
    mHasSubName = subName != nullptr;
    mSubName = mHasSubName ? subName : "";
}

const char* YKEnvelop::SubName() const {
    return mHasSubName ? mSubName.c_str() : nullptr;
}

YKEnvelop& YKEnvelop::operator=(const YKEnvelop& other) {
    if (this == &other) {
        return *this;
    }
    RemoveAllKeyFrames();
    SetCurrentFrame(other.mCurrentFrame);
    SetOldFrame(other.mOldFrame);
    SetMaxFrame(other.mMaxFrame);
    // Owners before the manager: the manager told of the new real owner must be the one that
    // may hold this envelope, not the one copied from `other`.
    SetOwner(other.mOwner);
    SetRealOwner(other.mRealOwner);
    SetEnvelopManager(other.mManager);
    SetName(other.Name());
    SetSubName(other.SubName());
    mInterpolationStep = other.mInterpolationStep;
    return *this;
}

void YKEnvelop::PrintToStream() const {
    std::printf("YKEnvelop\n  Name[%s]\n  Owner[%ld]\n  CurrentFr[%ld]\n", mName.c_str(),
                static_cast<long>(mOwner), static_cast<long>(mCurrentFrame));
}
