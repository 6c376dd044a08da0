#include "YKUndoChangeMaxFrame.h"

#include "YKEnvelopManager.h"

YKUndoChangeMaxFrame::YKUndoChangeMaxFrame(YKEnvelopManager* manager, int32 oldMaxFrame,
                                           int32 newMaxFrame)
    : mManager(manager), mOldMaxFrame(oldMaxFrame), mNewMaxFrame(newMaxFrame) {}

void YKUndoChangeMaxFrame::Undo() {
    if (mManager != nullptr) {
        mManager->SetMaxFrame(mOldMaxFrame, false);
        TellTimeline(mManager, 0, false);
    }
}

void YKUndoChangeMaxFrame::Redo() {
    if (mManager != nullptr) {
        mManager->SetMaxFrame(mNewMaxFrame, false);
        TellTimeline(mManager, 0, false);
    }
}
