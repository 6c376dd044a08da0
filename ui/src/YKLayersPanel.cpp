#include "YKLayersPanel.h"

#include <QTreeWidget>

#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKLayerRowView.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

YKPanel* YKLayersPanel::Create(YKDocumentWindow* window) {
    return new YKLayersPanel(window);
}

YKLayersPanel::YKLayersPanel(YKDocumentWindow* window) : YKLayerListPanel(window) {
    AddCommand("New", "New layer above the current one", 'Lnew');
    AddCommand("Dup", "Duplicate the current layer", 'Ldup');
    AddCommand("Del", "Delete the current layer", 'Ldel');
    AddCommand("Merge", "Merge the current layer with the one below", 'LMDm');
    AddCommand("Flatten", "Flatten the current layer into a bitmap", 'LFcu');
    Rows()->setSelectionMode(QAbstractItemView::SingleSelection);
}

std::vector<YKLayer*> YKLayersPanel::Listed() {
    YKViewerLayer* viewer = Document()->ViewerLayer();
    std::vector<YKLayer*> layers;
    for (int32 index = viewer->CountChildren() - 1; index >= 0; --index) {
        layers.push_back(viewer->ChildAt(index));
    }
    return layers;
}

bool YKLayersPanel::IsChosen(YKLayer* row) {
    return row == CurrentUserLayer();
}

void YKLayersPanel::Choose(const std::vector<YKLayer*>& rows) {
    if (rows.empty() || !rows.front()->InheritsFrom("YKUserLayer")) {
        return;
    }
    YKLayer* chosen = rows.front();
    const int32 view = Window()->ViewIndex();
    Edit([&](YKViewerLayer* viewer) {
        for (int32 index = 0; index < viewer->CountChildren(); ++index) {
            YKLayer* layer = viewer->ChildAt(index);
            if (layer->InheritsFrom("YKUserLayer")) {
                static_cast<YKUserLayer*>(layer)->SelectUserLayer(layer == chosen, view);
            }
        }
        viewer->SetCurrentUserLayer(chosen);
    });
    // The window's tools follow the current layer through this command.
    YKMessage current = Window()->CommandMessage('SLay');
    current.AddPointer("Layer", chosen);
    Window()->MessageReceived(current);
}

void YKLayersPanel::Move(int32 from, int32 to) {
    Document()->ViewerLayer()->MoveLayer(from, to);
}
