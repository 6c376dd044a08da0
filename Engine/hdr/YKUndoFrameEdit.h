#pragma once

#include <memory>
#include <string>
#include <vector>

#include "YKFrameInfo.h"
#include "YKUndoEnvelop.h"

// One frame edit of the timeline (frames inserted, deleted or pasted, key frames added or
// deleted, a duration changed) as a single action. It keeps the animation as it was before and
// after: frame count, current frame, frame infos and the key frames of every registered
// envelope. Undo and redo put one state back and redraw the objects whose values it changes.
class YKUndoFrameEdit : public YKUndoEnvelop {
public:
    // Takes the state of `manager` before the edit.
    YKUndoFrameEdit(YKEnvelopManager* manager, const char* name);
    ~YKUndoFrameEdit() override;

    // Takes the state after the edit; false when the edit changed nothing.
    bool Finish();
    // The owners whose values differ between the two states at a frame either state shows.
    const std::vector<int32>& ChangedOwners() const { return mChangedOwners; }

    const char* Name() const override { return mName.c_str(); }
    void Undo() override { Apply(mBefore); }
    void Redo() override { Apply(mAfter); }

private:
    struct State {
        int32 maxFrame = 1;
        int32 currentFrame = 1;
        std::vector<YKFrameInfo> frames;
        // Duplicates of the registered envelopes, in the order of mEnvelops.
        std::vector<std::unique_ptr<YKEnvelop>> envelopes;
    };
    void Capture(State& state) const;
    // Puts `state` back, at the frame the edit was made on, and redraws.
    void Apply(const State& state);

    YKEnvelopManager* mManager;
    std::string mName;
    // The envelopes registered when the edit began; the undo stack's order guarantees they are
    // registered again whenever this record is undone or redone.
    std::vector<YKEnvelop*> mEnvelops;
    State mBefore;
    State mAfter;
    std::vector<int32> mChangedOwners;
};
