#include "YKUndoFrameEdit.h"

#include <algorithm>

#include "YKAutolock.h"
#include "YKEnvelop.h"
#include "YKEnvelopManager.h"
#include "YKKeyFrame.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

namespace {

bool SameKeyFrames(const YKEnvelop& one, const YKEnvelop& other) {
    if (one.CountKeyFrames() != other.CountKeyFrames()) {
        return false;
    }
    for (int32 i = 0; i < one.CountKeyFrames(); ++i) {
        const YKKeyFrame* key = one.KeyFrameList()->ItemAt(i);
        if (key->FrameNumber() != other.KeyFrameList()->ItemAt(i)->FrameNumber() ||
            one.DiffersFrom(other, key->FrameNumber())) {
            return false;
        }
    }
    return true;
}

}  // namespace

YKUndoFrameEdit::YKUndoFrameEdit(YKEnvelopManager* manager, const char* name)
    : mManager(manager), mName(name != nullptr ? name : "Frames modified") {
    YKAutolock lock(&mManager->Locker());
    const YKList<YKEnvelop*>* envelopes = mManager->EnvelopList();
    for (int32 i = 0; i < envelopes->CountItems(); ++i) {
        mEnvelops.push_back(envelopes->ItemAt(i));
    }
    Capture(mBefore);
}

YKUndoFrameEdit::~YKUndoFrameEdit() = default;

void YKUndoFrameEdit::Capture(State& state) const {
    state.maxFrame = mManager->MaxFrame();
    state.currentFrame = mManager->CurrentFrame();
    state.frames.clear();
    for (int32 frame = 1; frame <= state.maxFrame; ++frame) {
        YKFrameInfo info;
        info.duration = mManager->FrameDuration(frame);
        info.usable = mManager->FrameUsable(frame);
        state.frames.push_back(info);
    }
    state.envelopes.clear();
    for (const YKEnvelop* envelope : mEnvelops) {
        state.envelopes.emplace_back(envelope->Duplicate());
    }
}

bool YKUndoFrameEdit::Finish() {
    YKAutolock lock(&mManager->Locker());
    Capture(mAfter);
    bool changed =
        mBefore.maxFrame != mAfter.maxFrame || mBefore.currentFrame != mAfter.currentFrame;
    for (size_t f = 0; !changed && f < mBefore.frames.size(); ++f) {
        changed = mBefore.frames[f].duration != mAfter.frames[f].duration ||
                  mBefore.frames[f].usable != mAfter.frames[f].usable;
    }
    mChangedOwners.clear();
    for (size_t i = 0; i < mEnvelops.size(); ++i) {
        const YKEnvelop& before = *mBefore.envelopes[i];
        const YKEnvelop& after = *mAfter.envelopes[i];
        if (SameKeyFrames(before, after)) {
            continue;
        }
        changed = true;
        // Only what shows matters to the views: the value at the frame current before or after.
        if (before.DiffersFrom(after, mBefore.currentFrame) ||
            before.DiffersFrom(after, mAfter.currentFrame)) {
            mChangedOwners.push_back(mEnvelops[i]->RealOwner());
        }
    }
    std::sort(mChangedOwners.begin(), mChangedOwners.end());
    mChangedOwners.erase(std::unique(mChangedOwners.begin(), mChangedOwners.end()),
                         mChangedOwners.end());
    return changed;
}

void YKUndoFrameEdit::Apply(const State& state) {
    YKUndoManager* undo = GetUndoManager();
    YKViewerLayerHost* host = undo != nullptr ? undo->Host() : nullptr;
    YKViewerLayer* root = host != nullptr ? host->ViewerLayer() : nullptr;
    if (root == nullptr || !root->LockHirarchy()) {
        return;
    }
    // The views show the frame current now, which may be another than the edit's.
    const int32 shown = mManager->CurrentFrame();
    {
        YKAutolock lock(&mManager->Locker());
        mManager->SetMaxFrame(state.maxFrame, false);
        for (int32 frame = 1; frame <= state.maxFrame; ++frame) {
            mManager->SetFrameDuration(frame, state.frames[frame - 1].duration);
            mManager->SetFrameUsable(frame, state.frames[frame - 1].usable);
        }
        for (size_t i = 0; i < mEnvelops.size(); ++i) {
            YKEnvelop* envelope = mEnvelops[i];
            envelope->RemoveAllKeyFrames();
            const YKList<YKKeyFrame*>* keys = state.envelopes[i]->KeyFrameList();
            for (int32 k = 0; k < keys->CountItems(); ++k) {
                envelope->AddKeyFrame(keys->ItemAt(k)->Duplicate(), false);
            }
        }
        if (mManager->CurrentFrame() != state.currentFrame) {
            mManager->SetCurrentFrame(state.currentFrame);
        }
    }
    root->RedrawEditedFrame(mChangedOwners, shown);
    root->UnlockHirarchy();
    TellTimeline(mManager, 0, true);
}
