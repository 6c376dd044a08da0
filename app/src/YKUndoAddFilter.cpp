#include "YKUndoAddFilter.h"

#include "YKCacheLayer.h"
#include "YKGenericFilter.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

YKUndoAddFilter::YKUndoAddFilter(YKCacheLayer* layer, YKGenericFilter* filter)
    : mLayer(layer), mFilter(filter) {}

YKUndoAddFilter::~YKUndoAddFilter() = default;

template <class Change>
void YKUndoAddFilter::Step(Change change) {
    YKUndoManager* manager = GetUndoManager();
    YKViewerLayerHost* host = manager != nullptr ? manager->Host() : nullptr;
    YKViewerLayer* root = host != nullptr ? host->ViewerLayer() : nullptr;
    if (root == nullptr || !root->LockHirarchy()) {
        return;
    }
    root->BeginInvalidate();
    change();
    root->EndInvalidate();
    root->UnlockHirarchy();
}

void YKUndoAddFilter::Undo() {
    if (mRemoved != nullptr) {
        return;
    }
    Step([this] {
        for (int32 i = 0; i < mLayer->CountFilters(); ++i) {
            if (mLayer->FilterAt(i) == mFilter) {
                mIndex = i;
                mRemoved.reset(mLayer->RemoveFilter(i));
                return;
            }
        }
    });
}

void YKUndoAddFilter::Redo() {
    if (mRemoved == nullptr) {
        return;
    }
    Step([this] { mLayer->AddFilter(mRemoved.release(), mIndex); });
}
