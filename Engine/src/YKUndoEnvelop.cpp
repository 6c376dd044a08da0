#include "YKUndoEnvelop.h"

#include "YKEnvelop.h"
#include "YKEnvelopManager.h"
#include "YKUndoManager.h"

bool YKUndoEnvelop::Register(std::unique_ptr<YKUndoEnvelop> record, YKEnvelopManager* manager) {
    YKUndoManager* undo = manager != nullptr ? manager->UndoManager() : nullptr;
    if (record == nullptr || undo == nullptr) {
        return false;
    }
    undo->AddUndoItem(record.release(), true);
    return true;
}

bool YKUndoEnvelop::Register(std::unique_ptr<YKUndoEnvelop> record, const YKEnvelop* envelope) {
    return Register(std::move(record), envelope != nullptr ? envelope->EnvelopManager() : nullptr);
}

void YKUndoEnvelop::TellTimeline(YKEnvelopManager* manager, int32 owner, bool keyFramesChanged) {
    if (manager == nullptr) {
        return;
    }
    manager->ObjectTouched(owner);
    if (keyFramesChanged) {
        manager->KeyFramesChanged(owner);
    }
}
