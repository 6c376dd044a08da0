#pragma once

#include "../support/QuadLayer.h"
#include "../support/RecordingLayerHost.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

// A document as the layers see it: a viewer layer over a recording host, and user layers to put
// objects in. The support headers are named by their paths so that the benchmarks, which
// borrow this file, find them too.
struct TestDocument {
    TestDocument() {
        manager().SetMaxFrame(20, false);
        // Frame switches pass over the tree once per view.
        viewer.CreateViewer();
    }
    YKEnvelopManager& manager() { return host.manager; }
    YKUserLayer* AddUserLayer() {
        auto* layer = new YKUserLayer(host.GetUniqueID(), "layer");
        viewer.AddChild(layer, false);
        return layer;
    }
    // Moves the document to `frame` as playback does.
    void GoTo(int32 frame) {
        const int32 previous = manager().CurrentFrame();
        manager().SetCurrentFrame(frame);
        viewer.SwitchToFrame(previous);
    }

    RecordingLayerHost host;
    YKViewerLayer viewer{&host};
};

// A viewer layer over a host whose canvas is fixed, with helpers that fill it: the set-up of the
// tests that look at a view's composition.
struct CanvasViewer {
    explicit CanvasViewer(YKRect<int32> canvas) : viewer(WithCanvas(&host, canvas)) {}
    YKUserLayer* AddUserLayer() {
        auto* layer = new YKUserLayer(host.GetUniqueID(), "layer");
        viewer.AddChild(layer, false);
        return layer;
    }
    QuadLayer* AddQuad(YKUserLayer* layer, uint32 color, YKRect<double> box) {
        return PutQuad(layer, host.GetUniqueID(), color, box);
    }

    RecordingLayerHost host;
    YKViewerLayer viewer;

private:
    // The viewer layer reads the canvas when it is made.
    static RecordingLayerHost* WithCanvas(RecordingLayerHost* host, YKRect<int32> canvas) {
        host->canvas = canvas;
        return host;
    }
};
