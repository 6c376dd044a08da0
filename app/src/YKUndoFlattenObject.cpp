#include "YKUndoFlattenObject.h"

#include "YKMessage.h"
#include "YKViewerLayerHost.h"

YKUndoFlattenObject::YKUndoFlattenObject(const YKViewerLayer::LayerPlace& object,
                                         const YKViewerLayer::LayerPlace& flattened)
    : YKUndoLayerSwap({object}, {flattened}, "Flatten Object") {}

void YKUndoFlattenObject::Notify(YKViewerLayerHost* host) {
    YKLayer* object = Replaced().front().layer;
    YKLayer* flattened = Added().front().layer;
    YKMessage message('oBLT');
    message.AddPointer("old", Applied() ? object : flattened);
    message.AddPointer("new", Applied() ? flattened : object);
    host->MessageReceived(Applied() ? flattened : object, &message);
}
