#include "YKUndoDeleteKeyFrame.h"

#include "YKEnvelop.h"
#include "YKKeyFrame.h"

YKUndoDeleteKeyFrame::YKUndoDeleteKeyFrame(YKEnvelop* envelope, YKKeyFrame* keyFrame)
    : mEnvelop(envelope), mKeyFrame(keyFrame) {}

YKUndoDeleteKeyFrame::~YKUndoDeleteKeyFrame() {
    if (!mInEnvelop) {
        delete mKeyFrame;
    }
}

void YKUndoDeleteKeyFrame::Undo() {
    if (mInEnvelop || mEnvelop == nullptr || mKeyFrame == nullptr) {
        return;
    }
    mEnvelop->AddKeyFrame(mKeyFrame, true);
    mInEnvelop = true;
    TellTimeline(mEnvelop->EnvelopManager(), mEnvelop->Owner(), true);
}

void YKUndoDeleteKeyFrame::Redo() {
    if (!mInEnvelop || mEnvelop->KeyFramePointer(mKeyFrame->FrameNumber()) != mKeyFrame) {
        return;
    }
    mEnvelop->RemoveKeyFrame(mKeyFrame->FrameNumber());
    mInEnvelop = false;
    TellTimeline(mEnvelop->EnvelopManager(), mEnvelop->Owner(), true);
}
