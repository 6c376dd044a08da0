#pragma once

// YKViewerLayerHost: what the viewer layer asks of the document that owns it. The document
// lives above the layer tree and links against it, so the viewer layer reaches it through this
// interface instead of naming it; that keeps the libraries free of a cycle.

#include "yk_types.h"

class YKEnvelopManager;
class YKLayer;
class YKMessage;
class YKUndoManager;

class YKViewerLayerHost {
public:
    YKViewerLayerHost() = default;
    YKViewerLayerHost(const YKViewerLayerHost&) = delete;
    YKViewerLayerHost& operator=(const YKViewerLayerHost&) = delete;
    virtual ~YKViewerLayerHost() = default;

    // A notification from `layer` (the viewer layer itself for its own), routed to the panels.
    virtual void MessageReceived(YKLayer* layer, YKMessage* message) = 0;
    virtual YKEnvelopManager* EnvelopManager() = 0;
    virtual YKUndoManager* UndoManager() = 0;
    // The next id unique in the document.
    virtual int32 GetUniqueID() = 0;
};
