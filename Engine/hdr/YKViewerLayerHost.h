#pragma once

// YKViewerLayerHost: what the layer tree and its undo records ask of the document that owns
// them. The document lives in the app library, which links the engine library; the engine
// reaches it only through this interface, so the engine library never names the document.

#include "YKRect.h"
#include "yk_types.h"

class YKEnvelopManager;
class YKLayer;
class YKMessage;
class YKUndoManager;
class YKViewerLayer;

class YKViewerLayerHost {
public:
    YKViewerLayerHost() = default;
    YKViewerLayerHost(const YKViewerLayerHost&) = delete;
    YKViewerLayerHost& operator=(const YKViewerLayerHost&) = delete;
    virtual ~YKViewerLayerHost() = default;

    // A notification from `layer` (the viewer layer itself for its own), routed to the panels.
    virtual void MessageReceived(YKLayer* layer, YKMessage* message) = 0;
    virtual YKEnvelopManager* EnvelopManager() = 0;
    // The root of the host's tree, which the undo records edit; hosts that do not own one
    // answer null and the records then leave the tree alone.
    virtual YKViewerLayer* ViewerLayer() const { return nullptr; }
    virtual YKUndoManager* UndoManager() = 0;
    // The next id unique in the document.
    virtual int32 GetUniqueID() = 0;
    // The next layer number, which names new user layers ("Layer %d"); hosts that do not number
    // their layers answer 0.
    virtual int32 GetLayerID() { return 0; }
    // The canvas rectangle, read when the viewer layer is made; later changes are handed to
    // YKViewerLayer::SetCanvasFrame. A host without a canvas has nothing composed.
    virtual YKRect<int32> CanvasFrame() const { return YKRect<int32>::None(); }
};
