#pragma once

#include <vector>

#include "YKEnvelopManager.h"
#include "YKLayer.h"
#include "YKLocker.h"
#include "YKMessage.h"

// The root of a tree as the layers below see it: a real hierarchy lock, an envelope manager,
// a current view, and records of the invalidations and notifications that reach it.
class RecordingRootLayer : public YKLayer {
public:
    struct Notification {
        uint32 what;
        void* layer;  // the "Layer" pointer, null when absent
        bool underLock;
    };

    RecordingRootLayer() : YKLayer(1) {}
    YKEnvelopManager* EnvelopManager() const override { return manager; }
    int32 ViewerID() const override { return viewer; }
    bool LockHirarchy() override { return lock.LockWithTimeout(1000); }
    void UnlockHirarchy() override { lock.Unlock(); }
    void InvalidateLayer(YKRect<int32>, bool, YKLayer* source) override {
        sources.push_back(source);
    }
    void ForwardMessage(YKLayer*, YKMessage* message) override {
        void* layer = nullptr;
        message->FindPointer("Layer", &layer);
        notifications.push_back({message->what, layer, lock.IsLocked()});
        codes.push_back(message->what);
    }

    YKLocker lock{"hierarchy"};
    YKEnvelopManager* manager = nullptr;
    int32 viewer = 0;
    std::vector<Notification> notifications;
    std::vector<uint32> codes;
    std::vector<YKLayer*> sources;
};
