#include "YKUndoFlattenObject.h"

#include "YKDocument.h"
#include "YKMessage.h"

YKUndoFlattenObject::YKUndoFlattenObject(const YKViewerLayer::LayerPlace& object,
                                         const YKViewerLayer::LayerPlace& flattened)
    : YKUndoLayerSwap({object}, {flattened}, "Flatten Object") {}

void YKUndoFlattenObject::Notify(YKDocument* document) {
    YKLayer* object = Replaced().front().layer;
    YKLayer* flattened = Added().front().layer;
    YKMessage message('oBLT');
    message.AddPointer("old", Applied() ? object : flattened);
    message.AddPointer("new", Applied() ? flattened : object);
    document->MessageReceived(Applied() ? flattened : object, &message);
}
