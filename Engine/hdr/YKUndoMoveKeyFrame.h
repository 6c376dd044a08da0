#pragma once

#include "YKUndoEnvelop.h"

class YKKeyFrame;

// A key frame dragged from one frame to another on the timeline. The key frame stays in its
// envelope, which owns it.
class YKUndoMoveKeyFrame : public YKUndoEnvelop {
public:
    YKUndoMoveKeyFrame(YKEnvelop* envelope, YKKeyFrame* keyFrame, int32 frameBefore,
                       int32 frameAfter);

    const char* Name() const override { return "Keyframe moved"; }
    void Undo() override;
    void Redo() override;

private:
    void MoveTo(int32 frame);

    YKEnvelop* mEnvelop;
    YKKeyFrame* mKeyFrame;
    int32 mFrameBefore;
    int32 mFrameAfter;
};
