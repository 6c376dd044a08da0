#pragma once

#include "YKEventManager.h"
#include "YKObjectLayer.h"
#include "YKViewerLayer.h"

// The hierarchy lock and one invalidation bracket for the span of one event.
struct YKEventManager::Bracket {
    explicit Bracket(YKEventManager* manager) : viewer(manager->Viewer()) {
        locked = viewer != nullptr && viewer->LockHirarchy();
        if (locked) {
            viewer->BeginInvalidate();
        }
    }
    ~Bracket() {
        if (locked) {
            viewer->EndInvalidate();
            viewer->UnlockHirarchy();
        }
    }
    Bracket(const Bracket&) = delete;
    Bracket& operator=(const Bracket&) = delete;

    YKViewerLayer* viewer;
    bool locked = false;
};
