// The object-selection tool: picking objects by point and rubber band, Shift to add, Command to
// cycle through stacked objects, double clicks into local editing, and dragging the selection.

#include <cmath>

#include "YKEventManager.h"
#include "YKEventManager_internal.h"
#include "YKObjectLayer.h"
#include "YKViewerLayer.h"

namespace {

YKObjectLayer* AsObject(YKLayer* layer) {
    return layer != nullptr && layer->InheritsFrom("YKObjectLayer")
               ? static_cast<YKObjectLayer*>(layer)
               : nullptr;
}

}  // namespace

// --- Modes ---

void YKEventManager::SetMode(YKObjectLayer* object, int32 mode) {
    object->SetObjectMode(mode, false);
    Viewer()->SendObjectModeNotification(object);
}

void YKEventManager::UnselectAll() {
    UnselectAllChildren(CurrentLayer(), nullptr);
}

void YKEventManager::UnselectAllChildren(YKLayer* root, YKObjectLayer* except) {
    YKList<YKObjectLayer*> objects;
    CollectObjects(root, &objects);
    for (int32 i = 0; i < objects.CountItems(); ++i) {
        YKObjectLayer* object = objects.ItemAt(i);
        if (object != except && IsSelectedMode(object->ObjectMode(-1))) {
            SetMode(object, YKObjectLayer::kModeNotSelected);
        }
    }
}

void YKEventManager::Select(YKObjectLayer* layer, bool exclusive) {
    if (layer == nullptr || IsSelectedMode(layer->ObjectMode(-1))) {
        return;
    }
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    if (exclusive) {
        UnselectAllChildren(CurrentLayer(), layer);
    }
    SetMode(layer, YKObjectLayer::kModeSelected);
    NotifySelection();
}

void YKEventManager::InvertSelection() {
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    YKList<YKObjectLayer*> objects;
    CollectObjects(CurrentLayer(), &objects);
    for (int32 i = 0; i < objects.CountItems(); ++i) {
        YKObjectLayer* object = objects.ItemAt(i);
        SetMode(object, IsSelectedMode(object->ObjectMode(-1)) ? YKObjectLayer::kModeNotSelected
                                                               : YKObjectLayer::kModeSelected);
    }
    if (!objects.IsEmpty()) {
        NotifySelection();
    }
}

int32 YKEventManager::CountSelectedObjects() const {
    YKList<YKObjectLayer*> objects;
    CollectObjects(CurrentLayer(), &objects);
    int32 count = 0;
    for (int32 i = 0; i < objects.CountItems(); ++i) {
        count += IsSelectedMode(objects.ItemAt(i)->ObjectMode(-1)) ? 1 : 0;
    }
    return count;
}

YKObjectLayer* YKEventManager::FirstSelectedObject() const {
    YKList<YKObjectLayer*> objects;
    CollectObjects(CurrentLayer(), &objects);
    for (int32 i = 0; i < objects.CountItems(); ++i) {
        if (IsSelectedMode(objects.ItemAt(i)->ObjectMode(-1))) {
            return objects.ItemAt(i);
        }
    }
    return nullptr;
}

void YKEventManager::EndRectTracking(YKRect<double> rect) {
    Bracket bracket(this);
    if (!bracket.locked || CurrentLayer() == nullptr) {
        return;
    }
    YKList<YKLayer*> inside(16);
    CurrentLayer()->MouseRectangleDestination()->MouseRectangle(rect, &inside);
    UnselectAll();
    for (int32 i = 0; i < inside.CountItems(); ++i) {
        if (YKObjectLayer* object = AsObject(inside.ItemAt(i))) {
            SetMode(object, YKObjectLayer::kModeSelected);
        }
    }
    if (!inside.IsEmpty()) {
        NotifySelection();
    }
}

// --- Mouse ---

void YKEventManager::MouseDownSelect(YKPoint<double> point, uint32 buttons, uint32 clicks) {
    if (CurrentLayer() == nullptr) {
        return;
    }
    const bool shift = (mModifiers & kShift) != 0;
    const bool command = (mModifiers & kCommand) != 0;
    mHits.MakeEmpty();
    CurrentLayer()->MousePointDestination()->MousePoint(point, &mHits);
    YKList<YKObjectLayer*> hits;
    for (int32 i = 0; i < mHits.CountItems(); ++i) {
        if (YKObjectLayer* object = AsObject(mHits.ItemAt(i))) {
            hits.AddItem(object);
        }
    }
    if (hits.IsEmpty()) {
        if (!shift) {
            const bool hadSelection = CountSelectedObjects() > 0;
            UnselectAll();
            if (hadSelection) {
                NotifySelection();
            }
        }
        mTracking = true;
        mTrackStart = {std::trunc(point.x), std::trunc(point.y)};
        mSelectionRect = {static_cast<int32>(mTrackStart.x), static_cast<int32>(mTrackStart.y),
                          static_cast<int32>(mTrackStart.x), static_cast<int32>(mTrackStart.y)};
        return;
    }
    if (!command) {
        for (int32 i = 0; i < hits.CountItems(); ++i) {
            YKObjectLayer* hit = hits.ItemAt(i);
            const int32 mode = hit->ObjectMode(-1);
            if (mode == YKObjectLayer::kModeLocalEditing) {
                CallMouseDown(CurrentLayer(), point, buttons, clicks,
                              YKObjectLayer::kModeLocalEditing);
                return;
            }
            if ((mode & (YKObjectLayer::kModeSelected | YKObjectLayer::kModePickable)) == 0) {
                continue;
            }
            if (clicks >= 2 && clicks % 2 == 0 && hit->SupportsLocal()) {
                UnselectAllChildren(CurrentLayer(), hit);
                SetMode(hit, YKObjectLayer::kModeLocalEditing);
                NotifySelection();
                CallMouseDown(CurrentLayer(), point, buttons, clicks,
                              YKObjectLayer::kModeLocalEditing);
            } else if (shift) {
                // Shift-clicking a selected object takes it out of the selection.
                SetMode(hit, YKObjectLayer::kModeNotSelected);
                NotifySelection();
            } else {
                CallMouseDown(CurrentLayer(), point, buttons, clicks,
                              YKObjectLayer::kModeSelected | YKObjectLayer::kModePickable);
            }
            return;
        }
    }
    if (command && hits.CountItems() > 1) {
        // Each Command-click selects the next object down the stack, then the top again.
        int32 selected = -1;
        for (int32 i = 0; i < hits.CountItems() && selected < 0; ++i) {
            selected = IsSelectedMode(hits.ItemAt(i)->ObjectMode(-1)) ? i : -1;
        }
        if (!shift) {
            UnselectAll();
        } else if (selected >= 0) {
            SetMode(hits.ItemAt(selected), YKObjectLayer::kModeNotSelected);
        }
        const int32 next = selected < 0 ? 0 : (selected + 1) % hits.CountItems();
        SetMode(hits.ItemAt(next), YKObjectLayer::kModeSelected);
        NotifySelection();
    } else {
        if (!shift) {
            UnselectAll();
        }
        SetMode(hits.FirstItem(), YKObjectLayer::kModeSelected);
        NotifySelection();
    }
    // Picked and dragged in one gesture.
    CallMouseDown(CurrentLayer(), point, buttons, clicks, kSelectedModes);
}

void YKEventManager::MouseUpSelect(YKPoint<double> point) {
    if (mTracking) {
        mTracking = false;
        const YKRect<double> rect{
            std::fmin(mTrackStart.x, point.x), std::fmin(mTrackStart.y, point.y),
            std::fmax(mTrackStart.x, point.x), std::fmax(mTrackStart.y, point.y)};
        mSelectionRect = YKRect<int32>::None();
        const bool shift = (mModifiers & kShift) != 0;
        if (!shift) {
            EndRectTracking(rect);
            return;
        }
        // With Shift the band adds to what is selected.
        YKList<YKLayer*> inside(16);
        CurrentLayer()->MouseRectangleDestination()->MouseRectangle(rect, &inside);
        for (int32 i = 0; i < inside.CountItems(); ++i) {
            if (YKObjectLayer* object = AsObject(inside.ItemAt(i))) {
                SetMode(object, YKObjectLayer::kModeSelected);
            }
        }
        if (!inside.IsEmpty()) {
            NotifySelection();
        }
        return;
    }
    CallMouseUp(point);
}
