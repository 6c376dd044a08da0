#pragma once

#include <string>

#include "YKUndoCreate.h"
#include "YKUndoLayerPlacement.h"

class YKUserLayer;

// A new user layer. Undo takes it out of the viewer layer and keeps it; redo puts it back at
// its index. Both tell the layer panel ('lBLT').
class YKUndoCreateLayer : public YKUndoCreate {
public:
    // `layer` must be child `index` of the viewer layer.
    YKUndoCreateLayer(YKUserLayer* layer, int32 index);

    // The layer's name, or "Unnamed".
    const char* Name() const override { return mName.c_str(); }
    void Undo() override { mPlacement.Remove(*this); }
    void Redo() override { mPlacement.Insert(*this); }

    YKUserLayer* Layer() const { return mLayer; }
    // Whether the layer is in the tree; the record owns it while it is not.
    bool InTree() const { return mPlacement.InTree(); }

private:
    YKUserLayer* mLayer;
    YKUndoLayerPlacement mPlacement;
    std::string mName;
};
