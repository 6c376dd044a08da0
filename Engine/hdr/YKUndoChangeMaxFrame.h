#pragma once

#include "YKUndoEnvelop.h"

// A change of the document's frame count.
class YKUndoChangeMaxFrame : public YKUndoEnvelop {
public:
    YKUndoChangeMaxFrame(YKEnvelopManager* manager, int32 oldMaxFrame, int32 newMaxFrame);

    const char* Name() const override { return "Animation maxframe modified"; }
    void Undo() override;
    void Redo() override;

private:
    YKEnvelopManager* mManager;
    int32 mOldMaxFrame;
    int32 mNewMaxFrame;
};
