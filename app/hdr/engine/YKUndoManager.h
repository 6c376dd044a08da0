#pragma once

// YKUndoManager: a document's undo and redo stacks of records. It owns every record on its
// stacks and destroys a record that leaves a stack without moving to the other.
//
// An action is the run of records from a terminator down to just above the next terminator
// below it; undo and redo work on whole actions. Each stack has its own lock; where both are
// taken, the undo stack's comes first.

#include <atomic>
#include <functional>

#include "YKList.h"
#include "yk_types.h"

class YKUndoItem;
class YKViewerLayerHost;

class YKUndoManager {
public:
    explicit YKUndoManager(YKViewerLayerHost* host = nullptr);
    YKUndoManager(const YKUndoManager&) = delete;
    YKUndoManager& operator=(const YKUndoManager&) = delete;
    // Destroys every record.
    ~YKUndoManager();

    // Takes ownership of `item` (null is ignored), closes an action with it when `terminator`
    // is true, empties the redo stack and marks the document modified.
    void AddUndoItem(YKUndoItem* item, bool terminator);
    // Takes ownership of `item` (null is ignored) as the last record of the action on top of
    // the stack, for what an operation that closed its action changed besides; with an empty
    // stack it is an action of its own.
    void AddToLastAction(YKUndoItem* item);
    // Takes ownership of `item` (null is ignored) as the last record of one action that also
    // holds every record pushed since the stack held `size`: what a change recorded on its own
    // on the way, such as a frame count it grew.
    void AddJoiningSince(YKUndoItem* item, int32 size);
    // Undoes the top action, newest record first, and moves it to the redo stack.
    void UndoLast();
    // Redoes the next action, oldest record first, and moves it back to the undo stack.
    void RedoLast();

    // Most records the undo stack keeps; below 1 means no limit. Lowering it drops whole
    // oldest actions.
    void SetUndoStackMaxSize(int32 size);
    int32 UndoStackMaxSize() const { return mMaxUndoSize.load(); }

    int32 UndoStackSize() const;
    int32 RedoStackSize() const;
    bool HasUndoStackItem() const { return UndoStackSize() > 0; }
    bool HasRedoStackItem() const { return RedoStackSize() > 0; }
    // Indices count from the bottom of the stack; outside it the name is null and the
    // terminator flag false.
    const char* UndoNameAt(int32 index) const;
    const char* RedoNameAt(int32 index) const;
    bool UndoIsTerminatorAt(int32 index) const;
    bool RedoIsTerminatorAt(int32 index) const;
    // Grow whenever the stack changes, so a menu rebuilds only when they differ from what it saw.
    int32 UndoDirtyCount() const { return mUndoChangeCount.load(); }
    int32 RedoDirtyCount() const { return mRedoChangeCount.load(); }

    // Destroys the records of both stacks.
    void Purge();
    // The undo stack's lock.
    bool Lock() { return mUndoStack.Lock(); }
    void Unlock() { mUndoStack.Unlock(); }

    // The document whose tree the records edit; null leaves them without effect.
    YKViewerLayerHost* Host() const { return mHost; }
    void SetHost(YKViewerLayerHost* host) { mHost = host; }
    // Called wherever a change marks the document modified.
    void SetDocumentModifiedHook(std::function<void()> hook) { mModifiedHook = std::move(hook); }

private:
    // Callers hold the locks of the stacks these touch.
    void PushUndo(YKUndoItem* item, bool terminator);
    void DropOldestAction();
    void EmptyUndoStack();
    void EmptyRedoStack();
    void MarkDocumentModified();

    // Mutable so that the readers can lock them.
    mutable YKList<YKUndoItem*> mUndoStack;  // newest record last
    mutable YKList<YKUndoItem*> mRedoStack;  // the record to redo next last
    YKViewerLayerHost* mHost;
    // Atomic so that they can be read without the locks; written under them.
    std::atomic<int32> mMaxUndoSize{-1};
    std::atomic<int32> mUndoChangeCount{0};
    std::atomic<int32> mRedoChangeCount{0};
    std::function<void()> mModifiedHook;
};
