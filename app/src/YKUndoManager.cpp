#include "YKUndoManager.h"

#include <algorithm>

#include "YKUndoItem.h"

namespace {

constexpr int32 kStackBlockSize = 32;

// Holds a list's own locker for a scope.
class StackLock {
public:
    explicit StackLock(YKList<YKUndoItem*>& stack) : mStack(stack) { mStack.Lock(); }
    StackLock(const StackLock&) = delete;
    StackLock& operator=(const StackLock&) = delete;
    ~StackLock() { mStack.Unlock(); }

private:
    YKList<YKUndoItem*>& mStack;
};

}  // namespace

YKUndoManager::YKUndoManager(YKViewerLayerHost* host)
    : mUndoStack(kStackBlockSize, true), mRedoStack(kStackBlockSize, true), mHost(host) {}

YKUndoManager::~YKUndoManager() {
    Purge();
}

// --- Recording ---

void YKUndoManager::AddUndoItem(YKUndoItem* item, bool terminator) {
    if (item == nullptr) {
        return;
    }
    StackLock undoLock(mUndoStack);
    item->SetUndoManager(this);
    PushUndo(item, terminator);
    {
        StackLock redoLock(mRedoStack);
        EmptyRedoStack();
    }
    MarkDocumentModified();
}

void YKUndoManager::AddToLastAction(YKUndoItem* item) {
    AddJoiningSince(item, UndoStackSize() - 1);
}

void YKUndoManager::AddJoiningSince(YKUndoItem* item, int32 size) {
    if (item == nullptr) {
        return;
    }
    StackLock undoLock(mUndoStack);
    for (int32 i = std::max(size, 0); i < mUndoStack.CountItems(); ++i) {
        mUndoStack.ItemAt(i)->SetTerminator(false);
    }
    item->SetUndoManager(this);
    PushUndo(item, true);
    {
        StackLock redoLock(mRedoStack);
        EmptyRedoStack();
    }
    MarkDocumentModified();
}

void YKUndoManager::PushUndo(YKUndoItem* item, bool terminator) {
    if (mMaxUndoSize >= 1 && mUndoStack.CountItems() >= mMaxUndoSize) {
        DropOldestAction();
    }
    if (terminator) {
        item->SetTerminator(true);
    }
    mUndoStack.AddItem(item);
    ++mUndoChangeCount;
}

void YKUndoManager::DropOldestAction() {
    while (!mUndoStack.IsEmpty()) {
        YKUndoItem* oldest = mUndoStack.RemoveItem(0);
        const bool closedAction = oldest->IsTerminator();
        delete oldest;
        if (closedAction) {
            break;
        }
    }
}

// --- Undo and redo ---

void YKUndoManager::UndoLast() {
    StackLock undoLock(mUndoStack);
    StackLock redoLock(mRedoStack);
    if (!mUndoStack.IsEmpty()) {
        do {
            YKUndoItem* item = mUndoStack.RemoveItem(mUndoStack.CountItems() - 1);
            item->Undo();
            mRedoStack.AddItem(item);
        } while (!mUndoStack.IsEmpty() && !mUndoStack.LastItem()->IsTerminator());
        MarkDocumentModified();
    }
    ++mUndoChangeCount;
    ++mRedoChangeCount;
}

void YKUndoManager::RedoLast() {
    // The undo stack is locked too, and first, so this cannot deadlock against UndoLast().
    StackLock undoLock(mUndoStack);
    StackLock redoLock(mRedoStack);
    if (!mRedoStack.IsEmpty()) {
        MarkDocumentModified();
    }
    ++mRedoChangeCount;
    while (!mRedoStack.IsEmpty()) {
        YKUndoItem* item = mRedoStack.RemoveItem(mRedoStack.CountItems() - 1);
        item->Redo();
        PushUndo(item, item->IsTerminator());
        if (item->IsTerminator()) {
            break;
        }
    }
}

// --- Size limit ---

void YKUndoManager::SetUndoStackMaxSize(int32 size) {
    StackLock undoLock(mUndoStack);
    mMaxUndoSize = size;
    if (size < 1) {
        return;
    }
    while (mUndoStack.CountItems() > size) {
        DropOldestAction();
        ++mUndoChangeCount;
    }
}

// --- Reading ---

int32 YKUndoManager::UndoStackSize() const {
    StackLock undoLock(mUndoStack);
    return mUndoStack.CountItems();
}

int32 YKUndoManager::RedoStackSize() const {
    StackLock redoLock(mRedoStack);
    return mRedoStack.CountItems();
}

const char* YKUndoManager::UndoNameAt(int32 index) const {
    StackLock undoLock(mUndoStack);
    const YKUndoItem* item = mUndoStack.ItemAt(index);
    return item != nullptr ? item->Name() : nullptr;
}

const char* YKUndoManager::RedoNameAt(int32 index) const {
    StackLock redoLock(mRedoStack);
    const YKUndoItem* item = mRedoStack.ItemAt(index);
    return item != nullptr ? item->Name() : nullptr;
}

bool YKUndoManager::UndoIsTerminatorAt(int32 index) const {
    StackLock undoLock(mUndoStack);
    const YKUndoItem* item = mUndoStack.ItemAt(index);
    return item != nullptr && item->IsTerminator();
}

bool YKUndoManager::RedoIsTerminatorAt(int32 index) const {
    StackLock redoLock(mRedoStack);
    const YKUndoItem* item = mRedoStack.ItemAt(index);
    return item != nullptr && item->IsTerminator();
}

// --- Emptying ---

void YKUndoManager::Purge() {
    StackLock undoLock(mUndoStack);
    StackLock redoLock(mRedoStack);
    EmptyUndoStack();
    EmptyRedoStack();
}

void YKUndoManager::EmptyUndoStack() {
    while (!mUndoStack.IsEmpty()) {
        delete mUndoStack.RemoveItem(mUndoStack.CountItems() - 1);
    }
    ++mUndoChangeCount;
}

void YKUndoManager::EmptyRedoStack() {
    while (!mRedoStack.IsEmpty()) {
        delete mRedoStack.RemoveItem(mRedoStack.CountItems() - 1);
    }
    ++mRedoChangeCount;
}

void YKUndoManager::MarkDocumentModified() {
    if (mModifiedHook) {
        mModifiedHook();
    }
}
