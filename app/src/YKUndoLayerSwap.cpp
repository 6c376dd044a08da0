#include "YKUndoLayerSwap.h"

#include "YKDocument.h"
#include "YKMessage.h"
#include "YKUndoManager.h"

YKUndoLayerSwap::YKUndoLayerSwap(Places replaced, Places added, std::string name)
    : mReplaced(std::move(replaced)), mAdded(std::move(added)), mName(std::move(name)) {}

YKUndoLayerSwap::~YKUndoLayerSwap() {
    for (const YKViewerLayer::LayerPlace& place : mApplied ? mReplaced : mAdded) {
        delete place.layer;
    }
}

void YKUndoLayerSwap::Undo() {
    Swap(false);
}

void YKUndoLayerSwap::Redo() {
    Swap(true);
}

void YKUndoLayerSwap::Swap(bool apply) {
    YKUndoManager* manager = GetUndoManager();
    YKDocument* document = manager != nullptr ? manager->GetDocument() : nullptr;
    YKViewerLayer* viewer = document != nullptr ? document->ViewerLayer() : nullptr;
    // Give up when the tree is busy elsewhere, as every record does.
    if (mApplied == apply || viewer == nullptr || !viewer->LockHirarchyWithTimeout(0)) {
        return;
    }
    if (apply) {
        viewer->ReplaceLayers(mReplaced, mAdded);
    } else {
        viewer->ReplaceLayers(mAdded, mReplaced);
    }
    mApplied = apply;
    Notify(document);
    viewer->UnlockHirarchy();
}

void YKUndoLayerSwap::Notify(YKDocument* document) {
    YKMessage message('lBLT');
    document->MessageReceived(nullptr, &message);
}
