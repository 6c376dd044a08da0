#include "YKObjectsPanel.h"

#include <QTreeWidget>

#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEventManager.h"
#include "YKLayerRowView.h"
#include "YKObjectLayer.h"
#include "YKViewerLayer.h"

namespace {

// The object a row stands for: the row itself, or the object inside its dedicated parent.
YKObjectLayer* ObjectOf(YKLayer* row) {
    if (row->InheritsFrom("YKObjectLayer")) {
        return static_cast<YKObjectLayer*>(row);
    }
    YKLayer* inner = row->CountChildren() == 1 ? row->ChildAt(0) : nullptr;
    return inner != nullptr && inner->InheritsFrom("YKObjectLayer")
               ? static_cast<YKObjectLayer*>(inner)
               : nullptr;
}

}  // namespace

YKPanel* YKObjectsPanel::Create(YKDocumentWindow* window) {
    return new YKObjectsPanel(window);
}

YKObjectsPanel::YKObjectsPanel(YKDocumentWindow* window) : YKLayerListPanel(window) {
    AddCommand("Dup", "Duplicate the selected objects", 'Odup');
    AddCommand("Del", "Delete the selected objects", 'Odel');
    Rows()->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

std::vector<YKLayer*> YKObjectsPanel::Listed() {
    std::vector<YKLayer*> objects;
    YKLayer* layer = CurrentUserLayer();
    if (layer == nullptr) {
        return objects;
    }
    for (int32 index = layer->CountChildren() - 1; index >= 0; --index) {
        objects.push_back(layer->ChildAt(index));
    }
    return objects;
}

bool YKObjectsPanel::IsChosen(YKLayer* row) {
    YKObjectLayer* object = ObjectOf(row);
    const int32 mode = object != nullptr ? object->ObjectMode(Window()->ViewIndex()) : 0;
    // An object being edited point by point is still the selected one.
    return mode == YKObjectLayer::kModeSelected || mode == YKObjectLayer::kModeLocalEditing;
}

void YKObjectsPanel::Choose(const std::vector<YKLayer*>& rows) {
    YKEventManager* events = Window()->Events();
    YKLayer* layer = CurrentUserLayer();
    if (events == nullptr || layer == nullptr) {
        return;
    }
    Edit([&](YKViewerLayer*) {
        events->UnselectAllChildren(layer, nullptr);
        for (YKLayer* row : rows) {
            events->Select(ObjectOf(row), false);
        }
    });
}

void YKObjectsPanel::Move(int32 from, int32 to) {
    Document()->ViewerLayer()->MoveObject(CurrentUserLayer(), from, to);
}
