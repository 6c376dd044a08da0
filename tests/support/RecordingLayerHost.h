#pragma once

#include <vector>

#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKUndoManager.h"
#include "YKViewerLayerHost.h"

// A document as the layer tree sees it: its own envelope manager, undo manager and ids, a canvas
// that tests may set, and the codes of the notifications the tree sent (with the objects of the
// object-mode notifications).
class RecordingLayerHost : public YKViewerLayerHost {
public:
    void MessageReceived(YKLayer*, YKMessage* message) override {
        codes.push_back(message->what);
        void* object = nullptr;
        for (int32 i = 0;
             message->what == 'oMDI' && message->FindPointer("YKObjectLayer", i, &object); ++i) {
            modeObjects.push_back(object);
        }
    }
    YKEnvelopManager* EnvelopManager() override { return &manager; }
    YKUndoManager* UndoManager() override { return &undo; }
    int32 GetUniqueID() override { return ++lastID; }
    YKRect<int32> CanvasFrame() const override { return canvas; }

    std::vector<uint32> codes;
    std::vector<void*> modeObjects;
    YKEnvelopManager manager;
    YKUndoManager undo;
    int32 lastID = 1000;
    YKRect<int32> canvas = YKRect<int32>::None();
};
