// The timeline's frame edits as editing steps of the tree: one undo action each, and a redraw
// of what they changed at the frame shown.

#include <memory>

#include "YKAutolock.h"
#include "YKEnvelopManager.h"
#include "YKUndoFrameEdit.h"
#include "YKViewerLayer.h"

bool YKViewerLayer::EditFrames(const char* name,
                               const std::function<void(YKEnvelopManager&)>& edit) {
    YKEnvelopManager* manager = EnvelopManager();
    if (manager == nullptr || !LockHirarchy()) {
        return false;
    }
    auto record = std::make_unique<YKUndoFrameEdit>(manager, name);
    const int32 shown = manager->CurrentFrame();
    // The edit's own frame count record would split one gesture into two actions; the record
    // made here keeps the frame count too.
    YKUndoManager* undo = manager->UndoManager();
    manager->SetUndoManager(nullptr);
    edit(*manager);
    manager->SetUndoManager(undo);
    const bool changed = record->Finish();
    if (changed) {
        RedrawEditedFrame(record->ChangedOwners(), shown);
        YKUndoEnvelop::Register(std::move(record), manager);
    }
    UnlockHirarchy();
    return changed;
}

void YKViewerLayer::RedrawEditedFrame(const std::vector<int32>& owners, int32 previousFrame) {
    YKEnvelopManager* manager = EnvelopManager();
    if (manager == nullptr) {
        return;
    }
    YKAutolock guard(mHierarchyLock);
    // A frame switch redraws a layer only when its values differ between the old and the
    // current frame; after an edit at the frame shown the two are the same frame, so the
    // edited owners are named instead and the others compare as on any switch.
    manager->SetModifiedOwners(owners);
    manager->SetOldFrame(previousFrame);
    // Layers that render again must not write what they render back as key frames.
    const bool accepting = manager->AcceptAdd();
    manager->SetAcceptAdd(false);
    SwitchToFrame(previousFrame);
    manager->SetAcceptAdd(accepting);
    manager->SetModifiedOwners({});
}
