#pragma once

// YKUndoItem: one recorded change that the undo manager can undo and redo. Records are grouped
// into user actions: the terminator flag marks the last record of an action.
//
// The default Undo() and Redo() send the stored message synchronously to a target handler; the
// record kinds that change the document themselves override both.

#include <functional>

#include "YKMessage.h"
#include "yk_types.h"

class YKHandler;
class YKLooper;
class YKUndoManager;
class YKViewerLayer;
class YKViewerLayerHost;

class YKUndoItem {
public:
    YKUndoItem();
    YKUndoItem(const YKUndoItem&) = delete;
    YKUndoItem& operator=(const YKUndoItem&) = delete;
    virtual ~YKUndoItem();

    // The text the Edit menu shows for this record.
    virtual const char* Name() const = 0;
    // Send a copy of the undo (redo) message, with the pointer "yk:undoitem" to this record, to
    // the target and wait until it has been handled. Must not run on the target's thread.
    virtual void Undo();
    virtual void Redo();
    // Store a copy; null stores an empty message.
    virtual void SetUndoMessage(const YKMessage* message);
    virtual void SetRedoMessage(const YKMessage* message);
    // Store an empty message with that what code.
    virtual void SetUndoMessage(uint32 command);
    virtual void SetRedoMessage(uint32 command);
    // The receiver of the messages and its looper. When the handler is not one of the looper's,
    // the looper's preferred handler receives them.
    virtual void SetTarget(YKHandler* handler, YKLooper* looper);

    const YKMessage* UndoMessage() const { return &mUndoMessage; }
    const YKMessage* RedoMessage() const { return &mRedoMessage; }
    uint32 UndoCommand() const { return mUndoMessage.what; }
    uint32 RedoCommand() const { return mRedoMessage.what; }
    // Set by the manager when the record is added.
    void SetUndoManager(YKUndoManager* manager) { mUndoManager = manager; }
    YKUndoManager* GetUndoManager() const { return mUndoManager; }
    bool IsTerminator() const { return mTerminator; }
    void SetTerminator(bool terminator = true) { mTerminator = terminator; }

protected:
    // Runs `change` as one editing step of the document this record belongs to (hierarchy lock,
    // one invalidation bracket); nothing when the record has no document.
    void EditingStep(const std::function<void(YKViewerLayerHost*, YKViewerLayer*)>& change) const;

private:
    void SendToTarget(const YKMessage& message, const char* operation) const;

    bool mTerminator = false;
    YKMessage mUndoMessage;
    YKMessage mRedoMessage;
    YKHandler* mTargetHandler = nullptr;
    YKLooper* mTargetLooper = nullptr;
    YKUndoManager* mUndoManager = nullptr;
};
