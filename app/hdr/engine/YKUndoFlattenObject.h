#pragma once

#include "YKUndoLayerSwap.h"

// An object replaced by the bitmap object it was flattened into. The object panel hears of
// each exchange with 'oBLT' ("old" the object leaving, "new" the one coming).
class YKUndoFlattenObject : public YKUndoLayerSwap {
public:
    // `object` is out of the tree, `flattened` in its place.
    YKUndoFlattenObject(const YKViewerLayer::LayerPlace& object,
                        const YKViewerLayer::LayerPlace& flattened);

protected:
    void Notify(YKViewerLayerHost* host) override;
};
