#pragma once

#include "YKUndoEnvelop.h"

class YKKeyFrame;

// A key frame deleted from its envelope. The record owns the key frame while it is out of the
// envelope (after the deletion and after a redo) and destroys it with itself in that state.
class YKUndoDeleteKeyFrame : public YKUndoEnvelop {
public:
    // `keyFrame` has just been taken out of `envelope`.
    YKUndoDeleteKeyFrame(YKEnvelop* envelope, YKKeyFrame* keyFrame);
    ~YKUndoDeleteKeyFrame() override;

    const char* Name() const override { return "Keyframe deleted"; }
    void Undo() override;
    void Redo() override;

private:
    YKEnvelop* mEnvelop;
    YKKeyFrame* mKeyFrame;
    bool mInEnvelop = false;
};
