// The viewer layer's undoable change of one layer in place (its properties, its filters): the
// record swaps the layer with a copy of itself as it was.

#include <string>

#include "YKMessage.h"
#include "YKUndoLayerSwap.h"
#include "YKViewerLayer.h"
#include "YKViewerLayer_internal.h"

namespace {

std::string Archived(const YKLayer* layer) {
    YKMessage archive;
    layer->Archive(&archive, true);
    return archive.Flatten();
}

}  // namespace

bool YKViewerLayer::ModifyLayer(YKLayer* layer, const char* name,
                                const std::function<void()>& change) {
    YKViewerStep step(*this);
    if (layer == nullptr || layer == this || !HirarchyHasItem(layer, this)) {
        return false;
    }
    YKLayer* placed = Placed(layer);
    YKLayer* parent = placed->Parent();
    const int32 index = parent->IndexOfChild(placed);
    const std::string before = Archived(placed);
    // The copy keeps the ids: it stands for the same layer when undo puts it back.
    YKLayer* copy = CopyOf(placed, false);
    if (copy == nullptr) {
        return false;
    }
    change();
    // An object may now sit in a dedicated parent made for it, at the same place.
    YKLayer* now = Placed(layer);
    if (now->Parent() != parent || Archived(now) == before) {
        delete copy;
        return false;
    }
    AddUndoItem(new YKUndoLayerSwap({{copy, parent, index}}, {{now, parent, index}}, name), true);
    return true;
}
