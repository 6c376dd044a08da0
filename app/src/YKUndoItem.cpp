#include "YKUndoItem.h"

#include <cstdio>

#include "YKLooper.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

YKUndoItem::YKUndoItem() = default;

YKUndoItem::~YKUndoItem() = default;

void YKUndoItem::EditingStep(
    const std::function<void(YKViewerLayerHost*, YKViewerLayer*)>& change) const {
    YKViewerLayerHost* host = mUndoManager != nullptr ? mUndoManager->Host() : nullptr;
    YKViewerLayer* root = host != nullptr ? host->ViewerLayer() : nullptr;
    if (root == nullptr || !root->LockHirarchy()) {
        return;
    }
    root->BeginInvalidate();
    change(host, root);
    root->EndInvalidate();
    root->UnlockHirarchy();
}

void YKUndoItem::Undo() {
    SendToTarget(mUndoMessage, "Undo");
}

void YKUndoItem::Redo() {
    SendToTarget(mRedoMessage, "Redo");
}

void YKUndoItem::SetUndoMessage(const YKMessage* message) {
    mUndoMessage = message != nullptr ? *message : YKMessage();
}

void YKUndoItem::SetRedoMessage(const YKMessage* message) {
    mRedoMessage = message != nullptr ? *message : YKMessage();
}

void YKUndoItem::SetUndoMessage(uint32 command) {
    mUndoMessage = YKMessage(command);
}

void YKUndoItem::SetRedoMessage(uint32 command) {
    mRedoMessage = YKMessage(command);
}

void YKUndoItem::SetTarget(YKHandler* handler, YKLooper* looper) {
    mTargetHandler = handler;
    mTargetLooper = looper;
}

void YKUndoItem::SendToTarget(const YKMessage& message, const char* operation) const {
    if (mTargetHandler == nullptr || mTargetLooper == nullptr) {
        printf("YKUndoItem::%s -- discarding %s message: specify a Target first !\n", operation,
               operation);
        return;
    }
    YKMessage copy(message);
    copy.AddPointer("yk:undoitem", this);
    // The looper is asked rather than the handler, which may be gone by now.
    YKHandler* handler = mTargetLooper->HasHandler(mTargetHandler)
                             ? mTargetHandler
                             : mTargetLooper->PreferredHandler();
    mTargetLooper->SendMessage(copy, handler);
}
