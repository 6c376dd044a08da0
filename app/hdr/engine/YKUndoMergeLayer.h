#pragma once

#include "YKUndoLayerSwap.h"

// User layers replaced by the result of merging them; the name tells which
// operation it was.
class YKUndoMergeLayer : public YKUndoLayerSwap {
public:
    using YKUndoLayerSwap::YKUndoLayerSwap;
};
