#pragma once

// Shared by the viewer layer's operation files.

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "YKEnvelopManager.h"
#include "YKObjectLayer.h"
#include "YKViewerLayer.h"

// One document-wide editing step of the viewer layer: the hierarchy lock, one invalidation
// bracket, and the envelope manager's redraws suspended while layers come and go. The manager
// hears of the layers added and removed once its redraws are back, so the timeline follows the
// step once.
class YKViewerStep {
public:
    explicit YKViewerStep(YKViewerLayer& viewer)
        : mViewer(viewer), mManager(viewer.EnvelopManager()) {
        mViewer.LockHirarchy();
        mViewer.BeginInvalidate();
        if (mManager != nullptr) {
            // Steps nest (a cut is a copy and a delete): only the outermost one turns redraws on.
            mAccepted = mManager->AcceptRedraw();
            mManager->SetAcceptRedraw(false, false);
        }
    }
    YKViewerStep(const YKViewerStep&) = delete;
    YKViewerStep& operator=(const YKViewerStep&) = delete;
    ~YKViewerStep() {
        if (mManager != nullptr) {
            mManager->SetAcceptRedraw(mAccepted, false);
            for (const auto& [id, added] : mChanges) {
                if (added) {
                    mManager->ObjectAdded(id);
                } else {
                    mManager->ObjectRemoved(id);
                }
            }
        }
        mViewer.EndInvalidate();
        mViewer.UnlockHirarchy();
    }

    void Added(int32 id) { mChanges.emplace_back(id, true); }
    void Removed(int32 id) { mChanges.emplace_back(id, false); }

private:
    YKViewerLayer& mViewer;
    YKEnvelopManager* mManager;
    bool mAccepted = true;
    std::vector<std::pair<int32, bool>> mChanges;
};

// The copy number a new copy of `original` gets: one above every copy of the same name among
// the layers of `className` under `root`, so copies of copies do not repeat a number.
template <class Kind>
int32 YKNextCopyNumber(YKLayer* root, const char* className, const Kind* original) {
    const auto sameName = [](const char* a, const char* b) {
        return a == b || (a != nullptr && b != nullptr && std::strcmp(a, b) == 0);
    };
    int32 highest = original->CopyNumber();
    for (YKLayer* layer = root->IterateHirarchyToNext(className, root); layer != nullptr;
         layer = layer->IterateHirarchyToNext(className, root)) {
        const auto* other = static_cast<const Kind*>(layer);
        if (sameName(other->Name(), original->Name())) {
            highest = std::max(highest, other->CopyNumber());
        }
    }
    return highest + 1;
}

// Objects rebuilt from archives have no rendering yet: every object of `root`'s tree, `root`
// included, renders for the current frame.
inline void YKRenderNewObjects(YKLayer* root) {
    for (YKLayer* layer = root; layer != nullptr;
         layer = layer->IterateHirarchyToNext("YKObjectLayer", root)) {
        if (layer->InheritsFrom("YKObjectLayer")) {
            static_cast<YKObjectLayer*>(layer)->UpdateBoundingBox(true, false);
        }
    }
}
