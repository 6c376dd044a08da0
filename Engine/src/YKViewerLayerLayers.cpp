// The viewer layer's operations on user layers: new, delete, duplicate and move, and the
// rebuilding of copies with new ids that duplication and pasting share.

#include <string>

#include "YKMessage.h"
#include "YKUndoCreateLayer.h"
#include "YKUndoDeleteLayer.h"
#include "YKUndoMoveLayer.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"
#include "YKViewerLayer_internal.h"

// --- Current layer ---

YKUserLayer* YKViewerLayer::AsUserLayer(YKLayer* layer) const {
    return layer != nullptr && layer->Parent() == this && layer->InheritsFrom("YKUserLayer")
               ? static_cast<YKUserLayer*>(layer)
               : nullptr;
}

void YKViewerLayer::MakeCurrent(YKUserLayer* layer, int32 view) {
    for (int32 i = 0; i < CountChildren(); ++i) {
        if (YKUserLayer* other = AsUserLayer(ChildAt(i))) {
            other->SelectUserLayer(other == layer, view);
        }
    }
    mCurrentUserLayer = layer;
}

// --- New, delete, duplicate ---

YKUserLayer* YKViewerLayer::NewLayer(YKLayer* after, int32 view) {
    YKViewerStep step(*this);
    const std::string name = "Layer " + std::to_string(mHost != nullptr ? mHost->GetLayerID() : 0);
    auto* layer = new YKUserLayer(GetUniqueID(), name.c_str());
    // Just above `after`; IndexOfChild gives -1, so the bottom, when it is not ours.
    const int32 index = IndexOfChild(AsUserLayer(after)) + 1;
    if (!AddChild(layer, index, true)) {
        delete layer;
        return nullptr;
    }
    step.Added(layer->ID());
    MakeCurrent(layer, view);
    AddUndoItem(new YKUndoCreateLayer(layer, index), true);
    BroadcastMessage('lBLT');
    return layer;
}

bool YKViewerLayer::DeleteLayer(YKLayer* layer, int32 view) {
    YKViewerStep step(*this);
    YKUserLayer* user = AsUserLayer(layer);
    // A document always keeps a layer to draw into.
    if (user == nullptr || CountChildren() < 2) {
        return false;
    }
    const int32 index = IndexOfChild(user);
    if (RemoveChild(index, true) == nullptr) {
        return false;
    }
    step.Removed(user->ID());
    AddUndoItem(new YKUndoDeleteLayer(user, index), true);
    MakeCurrent(AsUserLayer(ChildAt(index > 0 ? index - 1 : 0)), view);
    BroadcastMessage('lBLT');
    return true;
}

YKUserLayer* YKViewerLayer::DuplicateLayer(YKLayer* layer, int32 view) {
    YKViewerStep step(*this);
    YKUserLayer* original = AsUserLayer(layer);
    YKLayer* built = original != nullptr ? CopyOf(original, true) : nullptr;
    if (built == nullptr) {
        return nullptr;
    }
    auto* copy = static_cast<YKUserLayer*>(built);
    copy->SetCopyNumber(YKNextCopyNumber(this, "YKUserLayer", original));
    const int32 index = IndexOfChild(original) + 1;
    if (!AddChild(copy, index, true)) {
        delete copy;
        return nullptr;
    }
    step.Added(copy->ID());
    YKRenderNewObjects(copy);
    MakeCurrent(copy, view);
    AddUndoItem(new YKUndoCreateLayer(copy, index), true);
    BroadcastMessage('lBLT');
    return copy;
}

// --- Moves ---

bool YKViewerLayer::MoveLayer(int32 from, int32 to) {
    const int32 count = CountChildren();
    if (from < 0 || from >= count || to < 0 || to > count) {
        return false;
    }
    // `to` names a gap between layers; taking the layer out first closes one gap below it.
    return RecordedMove(this, from, to > from ? to - 1 : to);
}

bool YKViewerLayer::MoveObject(YKLayer* userLayer, int32 from, int32 to) {
    YKUserLayer* parent = AsUserLayer(userLayer);
    const int32 count = parent != nullptr ? parent->CountChildren() : 0;
    if (from < 0 || from >= count || to < 0 || to > count) {
        return false;
    }
    return RecordedMove(parent, from, to > from ? to - 1 : to);
}

bool YKViewerLayer::RecordedMove(YKLayer* parent, int32 from, int32 to) {
    if (from == to) {
        return true;
    }
    if (!PlaceChild(parent, from, to)) {
        return false;
    }
    AddUndoItem(new YKUndoMoveLayer(parent, from, to), true);
    return true;
}

bool YKViewerLayer::PlaceChild(YKLayer* parent, int32 from, int32 to) {
    if (from == to) {
        return true;
    }
    YKViewerStep step(*this);
    // Taking a user layer out forgets it as the current one; a move keeps it.
    YKLayer* current = mCurrentUserLayer;
    YKLayer* child = parent->RemoveChild(from, true);
    if (child == nullptr) {
        return false;
    }
    const bool placed = parent->AddChild(child, to, true);
    if (!placed) {
        // The lock is ours, so the list cannot have changed under us.
        parent->AddChild(child, from, true);
    }
    mCurrentUserLayer = current;
    return placed;
}

// --- Copies ---

YKLayer* YKViewerLayer::CopyOf(const YKLayer* layer, bool newIDs) {
    YKMessage archive;
    layer->Archive(&archive, true);
    return Rebuild(&archive, newIDs);
}

YKLayer* YKViewerLayer::Rebuild(YKMessage* archive, bool newIDs) {
    if (newIDs) {
        archive->ReplaceInt32("YKL:ID", GetUniqueID());
    }
    const char* className = nullptr;
    YKLayer* layer =
        archive->FindString("Class", &className) && std::strcmp(className, "YKUserLayer") == 0
            ? new YKUserLayer(archive)
            : UnarchiveObject(archive, EnvelopManager());
    if (layer == nullptr) {
        return nullptr;
    }
    YKMessage child;
    for (int32 i = 0; archive->FindMessage("YKL:Child", i, &child); ++i) {
        // A child of a kind this build cannot make is lost, as when loading a document.
        if (YKLayer* built = Rebuild(&child, newIDs)) {
            layer->AddChild(built, false);
        }
    }
    return layer;
}
