#pragma once

#include <vector>

#include "YKEnvelopManager.h"
#include "YKLayer.h"
#include "YKLocker.h"
#include "YKMessage.h"

// The root of a tree as the layers below see it: a real hierarchy lock, an envelope manager,
// a current view, and records of the invalidations, notifications and insertions that reach it.
class RecordingRootLayer : public YKLayer {
public:
    struct Invalidation {
        YKRect<int32> rect;
        bool flag;
        YKLayer* source;
    };
    struct Notification {
        YKLayer* source;
        uint32 what;
        void* layer;  // the "Layer" pointer, null when absent
        bool underLock;
    };

    RecordingRootLayer() : YKLayer(1) {}
    YKEnvelopManager* EnvelopManager() const override { return manager; }
    int32 ViewerID() const override { return viewer; }
    int32 PreviousFrame() const override { return manager != nullptr ? manager->OldFrame() : 1; }
    bool LockHirarchy() override { return lock.LockWithTimeout(1000); }
    void UnlockHirarchy() override { lock.Unlock(); }
    void SetObjectAdded() override { ++objectsAdded; }
    void InvalidateLayer(YKRect<int32> rect, bool flag, YKLayer* source) override {
        invalidations.push_back({rect, flag, source});
    }
    void ForwardMessage(YKLayer* source, YKMessage* message) override {
        void* layer = nullptr;
        message->FindPointer("Layer", &layer);
        notifications.push_back({source, message->what, layer, lock.IsLocked()});
        codes.push_back(message->what);
    }

    YKLocker lock{"hierarchy"};
    YKEnvelopManager* manager = nullptr;
    int32 viewer = 0;
    std::vector<Invalidation> invalidations;
    std::vector<Notification> notifications;
    std::vector<uint32> codes;
    int32 objectsAdded = 0;
};
