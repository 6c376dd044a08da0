#include "YKUndoMoveKeyFrame.h"

#include "YKEnvelop.h"
#include "YKKeyFrame.h"

YKUndoMoveKeyFrame::YKUndoMoveKeyFrame(YKEnvelop* envelope, YKKeyFrame* keyFrame, int32 frameBefore,
                                       int32 frameAfter)
    : mEnvelop(envelope), mKeyFrame(keyFrame), mFrameBefore(frameBefore), mFrameAfter(frameAfter) {}

void YKUndoMoveKeyFrame::MoveTo(int32 frame) {
    if (mEnvelop == nullptr || mKeyFrame == nullptr) {
        return;
    }
    // Only this record's key frame is taken out; a different key frame at its frame means the
    // envelope has changed under the record, and it is left alone.
    if (mEnvelop->KeyFramePointer(mKeyFrame->FrameNumber()) != mKeyFrame) {
        return;
    }
    mEnvelop->RemoveKeyFrame(mKeyFrame->FrameNumber());
    mKeyFrame->SetFrameNumber(frame);
    mEnvelop->AddKeyFrame(mKeyFrame, true);
    TellTimeline(mEnvelop->EnvelopManager(), mEnvelop->Owner(), false);
}

void YKUndoMoveKeyFrame::Undo() {
    MoveTo(mFrameBefore);
}

void YKUndoMoveKeyFrame::Redo() {
    MoveTo(mFrameAfter);
}
