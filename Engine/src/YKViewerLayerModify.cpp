// The viewer layer's undoable change of one layer in place (its properties, its filters). The
// change is made on a copy that takes the layer's place, so that the record keeps the layer
// itself, untouched, for undo to put back exactly as it was.

#include <string>

#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKUndoLayerSwap.h"
#include "YKViewerLayer.h"
#include "YKViewerLayer_internal.h"

namespace {

YKObjectLayer* AsObject(YKLayer* layer) {
    return layer->InheritsFrom("YKObjectLayer") ? static_cast<YKObjectLayer*>(layer) : nullptr;
}

std::string Archived(const YKLayer* layer) {
    YKMessage archive;
    layer->Archive(&archive, true);
    return archive.Flatten();
}

}  // namespace

bool YKViewerLayer::ModifyLayer(YKLayer* layer, const char* name,
                                const std::function<void(YKLayer*)>& change) {
    return ModifyLayers({layer}, name, change);
}

bool YKViewerLayer::ModifyLayers(const std::vector<YKLayer*>& layers, const char* name,
                                 const std::function<void(YKLayer*)>& change) {
    YKViewerStep step(*this);
    for (YKLayer* layer : layers) {
        if (layer == nullptr || layer == this || !HirarchyHasItem(layer, this)) {
            return false;
        }
    }
    std::vector<LayerPlace> originals;
    std::vector<LayerPlace> changes;
    for (YKLayer* layer : layers) {
        // A layer inside one changed before it left the tree with it.
        if (!HirarchyHasItem(layer, this)) {
            continue;
        }
        YKLayer* placed = Placed(layer);
        const LayerPlace original{placed, placed->Parent(), placed->Parent()->IndexOfChild(placed)};
        // The copy keeps the ids: it stands for the same layer.
        YKLayer* copy = CopyOf(placed, false);
        if (copy == nullptr) {
            continue;
        }
        // An object's dedicated parent has the object as its only child.
        YKLayer* target = placed == layer ? copy : copy->ChildAt(0);
        if (target == nullptr) {
            delete copy;
            continue;
        }
        ReplaceLayers({original}, {{copy, original.parent, original.index}});
        // Selection is not archived: the copy is selected where the layer was.
        YKObjectLayer* before = AsObject(layer);
        YKObjectLayer* after = AsObject(target);
        for (int32 view = 0; before != nullptr && after != nullptr && view < kMaxViewers; ++view) {
            if (before->ObjectMode(view) != after->ObjectMode(view)) {
                SetModeIn(after, before->ObjectMode(view), view);
            }
        }
        const std::string unchanged = Archived(copy);
        change(target);
        // An object may now sit in a dedicated parent made for it, at the same place.
        const LayerPlace changed{Placed(target), original.parent, original.index};
        if (Archived(changed.layer) == unchanged) {
            ReplaceLayers({changed}, {original});
            delete changed.layer;
            continue;
        }
        originals.push_back(original);
        changes.push_back(changed);
    }
    if (changes.empty()) {
        return false;
    }
    AddUndoItem(new YKUndoLayerSwap(std::move(originals), std::move(changes), name), true);
    // The panels drop what they hold of the layers that left.
    BroadcastMessage('lBLT');
    return true;
}
