#include "YKUndoMoveLayer.h"

#include "YKMessage.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

YKUndoMoveLayer::YKUndoMoveLayer(YKLayer* parent, int32 from, int32 to)
    : mParent(parent), mFrom(from), mTo(to) {}

const char* YKUndoMoveLayer::Name() const {
    return mParent != nullptr && mParent->InheritsFrom("YKViewerLayer") ? "Move Layer"
                                                                        : "Move Object";
}

void YKUndoMoveLayer::Move(int32 from, int32 to) {
    YKUndoManager* manager = GetUndoManager();
    YKViewerLayerHost* host = manager != nullptr ? manager->Host() : nullptr;
    YKViewerLayer* viewer = host != nullptr ? host->ViewerLayer() : nullptr;
    // Give up when the tree is busy elsewhere, as every record does.
    if (viewer == nullptr || !viewer->LockHirarchyWithTimeout(0)) {
        return;
    }
    if (viewer->PlaceChild(mParent, from, to)) {
        YKMessage moved('lBLT');
        host->MessageReceived(nullptr, &moved);
    }
    viewer->UnlockHirarchy();
}
