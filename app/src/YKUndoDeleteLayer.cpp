#include "YKUndoDeleteLayer.h"

#include "YKUserLayer.h"

YKUndoDeleteLayer::YKUndoDeleteLayer(YKUserLayer* layer, int32 index)
    : mLayer(layer),
      mPlacement(YKUndoLayerPlacement::Kind::kUserLayer, layer, nullptr, index, false),
      mName(YKUndoLayerName("Delete ", layer->Name())) {}
