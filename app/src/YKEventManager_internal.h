#pragma once

#include "YKEventManager.h"
#include "YKObjectLayer.h"
#include "YKViewerLayer.h"

// The hierarchy lock and one invalidation bracket for the span of one event. A discarded
// drawing is destroyed only once the outermost bracket has closed: the bracket's closing
// notifications may still name it.
struct YKEventManager::Bracket {
    explicit Bracket(YKEventManager* manager) : manager(manager), viewer(manager->Viewer()) {
        locked = viewer != nullptr && viewer->LockHirarchy();
        if (locked) {
            ++manager->mBracketDepth;
            viewer->BeginInvalidate();
        }
    }
    ~Bracket() {
        if (locked) {
            viewer->EndInvalidate();
            viewer->UnlockHirarchy();
            if (--manager->mBracketDepth == 0) {
                manager->mDiscarded.reset();
            }
        }
    }
    Bracket(const Bracket&) = delete;
    Bracket& operator=(const Bracket&) = delete;

    YKEventManager* manager;
    YKViewerLayer* viewer;
    bool locked = false;
};
