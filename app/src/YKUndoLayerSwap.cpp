#include "YKUndoLayerSwap.h"

#include "YKMessage.h"
#include "YKUndoManager.h"
#include "YKViewerLayerHost.h"

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
    YKViewerLayerHost* host = manager != nullptr ? manager->Host() : nullptr;
    YKViewerLayer* viewer = host != nullptr ? host->ViewerLayer() : nullptr;
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
    Notify(host);
    viewer->UnlockHirarchy();
}

void YKUndoLayerSwap::Notify(YKViewerLayerHost* host) {
    YKMessage message('lBLT');
    host->MessageReceived(nullptr, &message);
}
