#include "YKUndoEnvelopModification.h"

#include "YKEnvelop.h"
#include "YKKeyFrame.h"

YKUndoEnvelopModification::YKUndoEnvelopModification() = default;
YKUndoEnvelopModification::~YKUndoEnvelopModification() = default;

void YKUndoEnvelopModification::SetName(const char* name) {
    mName = name != nullptr ? name : "";
}

const char* YKUndoEnvelopModification::Name() const {
    return mName.c_str();
}

void YKUndoEnvelopModification::Set_key_before(YKKeyFrame* keyFrame) {
    mKeyBefore.reset(keyFrame);
}

void YKUndoEnvelopModification::Set_key_after(YKKeyFrame* keyFrame) {
    mKeyAfter.reset(keyFrame);
}

void YKUndoEnvelopModification::Restore(const YKKeyFrame* keyFrame) {
    // Without the after state there is nothing this record changed, so nothing to swap.
    if (mEnvelop == nullptr || mKeyAfter == nullptr || mFrameNumber == -1) {
        return;
    }
    delete mEnvelop->RemoveKeyFrame(mFrameNumber);
    if (keyFrame != nullptr) {
        mEnvelop->AddKeyFrame(keyFrame->Duplicate(), true);
    }
    TellTimeline(mEnvelop->EnvelopManager(), mEnvelop->Owner(), true);
}

void YKUndoEnvelopModification::Undo() {
    Restore(mKeyBefore.get());
}

void YKUndoEnvelopModification::Redo() {
    Restore(mKeyAfter.get());
}
