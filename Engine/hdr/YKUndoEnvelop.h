#pragma once

#include <memory>

#include "YKUndoModify.h"
#include "yk_types.h"

class YKEnvelop;
class YKEnvelopManager;

// Base of the undo records of envelope, key frame and frame count edits.
class YKUndoEnvelop : public YKUndoModify {
public:
    // Hands `record` to the undo manager that `manager` (or the envelope's manager) reports,
    // as the last record of an action. Without one the record is destroyed: nothing is kept
    // that could never be undone. Returns whether it was registered.
    static bool Register(std::unique_ptr<YKUndoEnvelop> record, YKEnvelopManager* manager);
    static bool Register(std::unique_ptr<YKUndoEnvelop> record, const YKEnvelop* envelope);

protected:
    // After an undo or redo: message 33 for `owner`, and 36 when key frames changed.
    static void TellTimeline(YKEnvelopManager* manager, int32 owner, bool keyFramesChanged);
};
