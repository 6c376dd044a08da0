#pragma once

#include "YKUndoLayerSwap.h"

// User layers replaced by the result of flattening them; the name tells which
// operation it was.
class YKUndoFlattenLayer : public YKUndoLayerSwap {
public:
    using YKUndoLayerSwap::YKUndoLayerSwap;
};
