#include "YKUndoSelection.h"

#include <utility>

#include "YKBitmap.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

YKUndoSelection::YKUndoSelection(std::unique_ptr<YKBitmap> before, YKRect<int32> rect)
    : mOther(std::move(before)), mOtherRect(rect) {}

YKUndoSelection::~YKUndoSelection() = default;

void YKUndoSelection::Exchange(bool undone) {
    YKUndoManager* manager = GetUndoManager();
    YKViewerLayerHost* host = manager != nullptr ? manager->Host() : nullptr;
    YKViewerLayer* viewer = host != nullptr ? host->ViewerLayer() : nullptr;
    if (mUndone == undone || viewer == nullptr || !viewer->LockHirarchyWithTimeout(0)) {
        return;
    }
    viewer->BeginInvalidate();
    const YKBitmap* shown = viewer->GetSelection();
    auto current = shown != nullptr ? std::make_unique<YKBitmap>(*shown) : nullptr;
    const YKRect<int32> currentRect = viewer->SelectionRectangle();
    viewer->ReplaceSelection(std::move(mOther));
    viewer->SetSelectionRectangle(mOtherRect);
    mOther = std::move(current);
    mOtherRect = currentRect;
    mUndone = undone;
    viewer->EndInvalidate();
    viewer->UnlockHirarchy();
}
