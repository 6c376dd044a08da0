#include "YKUndoCreateLayer.h"

#include "YKUserLayer.h"

YKUndoCreateLayer::YKUndoCreateLayer(YKUserLayer* layer, int32 index)
    : mLayer(layer),
      mPlacement(YKUndoLayerPlacement::Kind::kUserLayer, layer, layer->Parent(), index, true),
      mName(YKUndoLayerName("", layer->Name())) {}
