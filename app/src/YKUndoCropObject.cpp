#include "YKUndoCropObject.h"

#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

YKUndoCropObject::YKUndoCropObject(YKBitmapLayer* layer,
                                   std::unique_ptr<YKBitmapLayer::CropState> before)
    : mLayer(layer),
      mOther(std::move(before)),
      mName(std::string("Crop ") + (layer->Name() != nullptr ? layer->Name() : "Unnamed")) {}

void YKUndoCropObject::Undo() {
    Exchange(false);
}

void YKUndoCropObject::Redo() {
    Exchange(true);
}

void YKUndoCropObject::Exchange(bool cropped) {
    YKUndoManager* manager = GetUndoManager();
    YKViewerLayerHost* host = manager != nullptr ? manager->Host() : nullptr;
    YKViewerLayer* viewer = host != nullptr ? host->ViewerLayer() : nullptr;
    // Give up when the tree is busy elsewhere, as every record does.
    if (mCropped == cropped || viewer == nullptr || !viewer->LockHirarchyWithTimeout(0)) {
        return;
    }
    viewer->BeginInvalidate();
    mLayer->ExchangeCropState(mOther.get());
    mCropped = cropped;
    viewer->EndInvalidate();
    viewer->UnlockHirarchy();
}
