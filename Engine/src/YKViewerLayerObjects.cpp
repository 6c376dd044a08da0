// The viewer layer's operations on objects: delete, duplicate, select, and cut, copy and paste
// through the clipboard.

#include <string>

#include "YKAutolock.h"
#include "YKCacheLayer.h"
#include "YKClipboard.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKUndoCreateObject.h"
#include "YKUndoDeleteObject.h"
#include "YKViewerLayer.h"
#include "YKViewerLayer_internal.h"

namespace {

// The modes in which an object counts as selected: plainly, or being edited locally.
constexpr int32 kSelectedModes = YKObjectLayer::kModeSelected | YKObjectLayer::kModeLocalEditing;

YKObjectLayer* AsObject(YKLayer* layer) {
    return layer != nullptr && layer->InheritsFrom("YKObjectLayer")
               ? static_cast<YKObjectLayer*>(layer)
               : nullptr;
}

// The object a placed layer stands for: itself, or the one object of its dedicated parent.
YKObjectLayer* ObjectOf(YKLayer* placed) {
    YKObjectLayer* object = AsObject(placed);
    return object != nullptr ? object : AsObject(placed->ChildAt(0));
}

const char* ObjectName(YKLayer* placed) {
    YKObjectLayer* object = ObjectOf(placed);
    return object != nullptr ? object->Name() : nullptr;
}

// The records of one user action: the last one closes it.
void AddAction(YKViewerLayer& viewer, const std::vector<YKUndoItem*>& records) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        viewer.AddUndoItem(records[i], i + 1 == records.size());
    }
}

}  // namespace

YKLayer* YKViewerLayer::Placed(YKLayer* object) {
    YKObjectLayer* asObject = AsObject(object);
    YKCacheLayer* parent = asObject != nullptr ? asObject->DedicatedParent() : nullptr;
    return parent != nullptr ? static_cast<YKLayer*>(parent) : object;
}

void YKViewerLayer::SetModeIn(YKObjectLayer* object, int32 mode, int32 view) {
    // An object's mode is set for the current view.
    const int32 current = mCurrentViewer;
    mCurrentViewer = std::clamp(view, 0, kMaxViewers - 1);
    object->SetObjectMode(mode, false);
    mCurrentViewer = current;
}

std::vector<YKLayer*> YKViewerLayer::SelectedObjects(int32 view, YKLayer* within) {
    YKAutolock guard(mHierarchyLock);
    std::vector<YKLayer*> selected;
    YKLayer* root = within != nullptr ? within : this;
    for (YKLayer* layer = root->IterateHirarchyToNext("YKObjectLayer", root); layer != nullptr;
         layer = layer->IterateHirarchyToNext("YKObjectLayer", root)) {
        if ((static_cast<YKObjectLayer*>(layer)->ObjectMode(view) & kSelectedModes) != 0) {
            selected.push_back(layer);
        }
    }
    return selected;
}

// --- Delete ---

bool YKViewerLayer::DeleteObject(YKLayer* object, bool undoable) {
    return DeleteObject(std::vector<YKLayer*>{object}, undoable);
}

bool YKViewerLayer::DeleteObject(const std::vector<YKLayer*>& objects, bool undoable) {
    YKViewerStep step(*this);
    std::vector<YKUndoItem*> records;
    bool deleted = false;
    for (YKLayer* object : objects) {
        // An object may have gone with one deleted before it; the walk only compares pointers.
        if (!HirarchyHasItem(object, this)) {
            continue;
        }
        YKLayer* placed = Placed(object);
        YKLayer* parent = placed->Parent();
        const int32 index = parent->IndexOfChild(placed);
        if (parent->RemoveChild(placed, true) == nullptr) {
            continue;
        }
        deleted = true;
        step.Removed(object->ID());
        YKMessage removed('oREM');
        removed.AddInt32("index", index);
        ForwardMessage(placed, &removed);
        if (undoable) {
            records.push_back(new YKUndoDeleteObject(placed, parent, index, ObjectName(placed)));
        } else {
            delete placed;
        }
    }
    AddAction(*this, records);
    if (deleted) {
        BroadcastMessage('lUTN');
    }
    return deleted;
}

bool YKViewerLayer::DeleteSelectedObject(int32 view) {
    return DeleteObject(SelectedObjects(view), true);
}

// --- Duplicate ---

YKLayer* YKViewerLayer::DuplicateObject(YKLayer* object) {
    const std::vector<YKLayer*> copies = DuplicateObjects({object}, ViewerID());
    return copies.empty() ? nullptr : copies.front();
}

bool YKViewerLayer::DuplicateSelectedObject(int32 view) {
    return !DuplicateObjects(SelectedObjects(view), view).empty();
}

std::vector<YKLayer*> YKViewerLayer::DuplicateObjects(const std::vector<YKLayer*>& objects,
                                                      int32 view) {
    YKViewerStep step(*this);
    std::vector<YKLayer*> copies;
    std::vector<YKUndoItem*> records;
    for (YKLayer* layer : objects) {
        YKObjectLayer* original = AsObject(layer);
        YKLayer* userLayer = original != nullptr ? original->UserLayer() : nullptr;
        if (userLayer == nullptr || userLayer->Parent() != this) {
            continue;
        }
        YKLayer* placed = Placed(original);
        YKLayer* copy = CopyOf(placed, true);
        YKObjectLayer* object = copy != nullptr ? ObjectOf(copy) : nullptr;
        // On top, where the create record's redo puts it back too.
        YKLayer* parent = placed->Parent();
        if (object == nullptr || !parent->AddChild(copy, true)) {
            delete copy;
            continue;
        }
        object->SetCopyNumber(YKNextCopyNumber(userLayer, "YKObjectLayer", original));
        step.Added(object->ID());
        YKRenderNewObjects(copy);
        SetModeIn(original, YKObjectLayer::kModeNotSelected, view);
        SetModeIn(object, YKObjectLayer::kModeSelected, view);
        records.push_back(new YKUndoCreateObject(copy, object->Name()));
        YKMessage built('oBLT');
        ForwardMessage(copy, &built);
        copies.push_back(object);
    }
    AddAction(*this, records);
    return copies;
}

// --- Selection ---

void YKViewerLayer::SelectAll(int32 view, YKLayer* userLayer) {
    YKViewerStep step(*this);
    YKLayer* root = userLayer != nullptr ? userLayer : mCurrentUserLayer;
    if (root == nullptr) {
        return;
    }
    for (YKLayer* layer = root->IterateHirarchyToNext("YKObjectLayer", root); layer != nullptr;
         layer = layer->IterateHirarchyToNext("YKObjectLayer", root)) {
        SetModeIn(static_cast<YKObjectLayer*>(layer), YKObjectLayer::kModeSelected, view);
    }
}

void YKViewerLayer::DeselectAll(int32 view) {
    YKViewerStep step(*this);
    for (YKLayer* layer : SelectedObjects(view)) {
        SetModeIn(static_cast<YKObjectLayer*>(layer), YKObjectLayer::kModeNotSelected, view);
    }
}

// --- Clipboard ---

bool YKViewerLayer::Copy(int32 view) {
    YKAutolock guard(mHierarchyLock);
    if (mCurrentUserLayer == nullptr) {
        return false;
    }
    std::vector<std::string> clips;
    for (YKLayer* object : SelectedObjects(view, mCurrentUserLayer)) {
        YKMessage archive;
        Placed(object)->Archive(&archive, true);
        clips.push_back(archive.Flatten());
    }
    if (clips.empty()) {
        return false;
    }
    YKClipboard::Current()->SetEntries(YKClipboard::kVectorClipType, std::move(clips));
    return true;
}

bool YKViewerLayer::Cut(int32 view) {
    YKViewerStep step(*this);
    const std::vector<YKLayer*> copied = mCurrentUserLayer != nullptr
                                             ? SelectedObjects(view, mCurrentUserLayer)
                                             : std::vector<YKLayer*>{};
    return Copy(view) && DeleteObject(copied, true);
}

bool YKViewerLayer::Paste(int32 view, std::optional<YKPoint<double>> point) {
    const std::vector<std::string> clips =
        YKClipboard::Current()->Entries(YKClipboard::kVectorClipType);
    YKViewerStep step(*this);
    YKLayer* target =
        mCurrentUserLayer != nullptr ? mCurrentUserLayer : ChildAt(CountChildren() - 1);
    if (target == nullptr) {
        return false;
    }
    std::vector<YKObjectLayer*> pasted;
    std::vector<YKUndoItem*> records;
    for (const std::string& clip : clips) {
        YKMessage archive;
        // The clipboard is shared with other programs: anything unreadable is left out.
        if (!archive.Unflatten(clip.data(), static_cast<ssize_t>(clip.size()))) {
            continue;
        }
        YKLayer* layer = Rebuild(&archive, true);
        YKObjectLayer* object = layer != nullptr ? ObjectOf(layer) : nullptr;
        if (object == nullptr || !target->AddChild(layer, true)) {
            delete layer;
            continue;
        }
        step.Added(object->ID());
        YKRenderNewObjects(layer);
        records.push_back(new YKUndoCreateObject(layer, object->Name()));
        pasted.push_back(object);
    }
    if (point.has_value() && !pasted.empty()) {
        // The clips keep their places relative to one another; their common box is centred.
        YKRect<double> box = pasted.front()->BoundingBox();
        for (YKObjectLayer* object : pasted) {
            box = box | object->BoundingBox();
        }
        const YKPoint<double> delta{point->x - (box.left + box.right) / 2,
                                    point->y - (box.top + box.bottom) / 2};
        for (YKObjectLayer* object : pasted) {
            object->MoveBoundingBoxBy(delta, true);
        }
    }
    for (YKObjectLayer* object : pasted) {
        SetModeIn(object, YKObjectLayer::kModeSelected, view);
        YKMessage added('oADD');
        added.AddPointer("Object", object);
        ForwardMessage(object, &added);
    }
    AddAction(*this, records);
    return !pasted.empty();
}
