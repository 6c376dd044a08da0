#pragma once

#include <memory>
#include <string>

#include "YKUndoEnvelop.h"

class YKKeyFrame;

// The change of one envelope's key frame at one frame: the key frame as it was before (null
// when there was none) and as it is after. Envelopes build it between BeginModification() and
// EndModification().
class YKUndoEnvelopModification : public YKUndoEnvelop {
public:
    YKUndoEnvelopModification();
    ~YKUndoEnvelopModification() override;

    void SetName(const char* name);
    const char* Name() const override;
    void Undo() override;
    void Redo() override;

    void Set_envelop(YKEnvelop* envelope) { mEnvelop = envelope; }
    YKEnvelop* Get_envelop() const { return mEnvelop; }
    void Set_frame_number(int32 frame) { mFrameNumber = frame; }
    int32 Get_frame_number() const { return mFrameNumber; }
    // The record owns both key frames; setting one replaces (and deletes) the earlier one.
    void Set_key_before(YKKeyFrame* keyFrame);
    void Set_key_after(YKKeyFrame* keyFrame);
    const YKKeyFrame* Get_key_before() const { return mKeyBefore.get(); }
    const YKKeyFrame* Get_key_after() const { return mKeyAfter.get(); }

private:
    // Puts a copy of `keyFrame` (or nothing) where the key frame at the frame number is.
    void Restore(const YKKeyFrame* keyFrame);

    std::string mName = "Envelop modified";
    int32 mFrameNumber = -1;
    YKEnvelop* mEnvelop = nullptr;
    std::unique_ptr<YKKeyFrame> mKeyBefore;
    std::unique_ptr<YKKeyFrame> mKeyAfter;
};
