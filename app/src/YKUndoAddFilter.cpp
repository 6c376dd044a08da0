#include "YKUndoAddFilter.h"

#include "YKCacheLayer.h"
#include "YKGenericFilter.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

YKUndoAddFilter::YKUndoAddFilter(YKCacheLayer* layer, YKGenericFilter* filter)
    : mLayer(layer), mFilter(filter) {}

YKUndoAddFilter::~YKUndoAddFilter() = default;

void YKUndoAddFilter::Undo() {
    if (mRemoved != nullptr) {
        return;
    }
    EditingStep([this](YKViewerLayerHost*, YKViewerLayer*) {
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
    EditingStep([this](YKViewerLayerHost*, YKViewerLayer*) {
        mLayer->AddFilter(mRemoved.release(), mIndex);
    });
}
