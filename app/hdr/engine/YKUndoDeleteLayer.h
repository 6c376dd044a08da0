#pragma once

#include <string>

#include "YKUndoDelete.h"
#include "YKUndoLayerPlacement.h"

class YKUserLayer;

// A user layer taken out of the viewer layer. Undo puts it back at its index; redo takes it out
// again. Both tell the layer panel ('lBLT').
class YKUndoDeleteLayer : public YKUndoDelete {
public:
    // `layer` is detached and owned by the record from now on; it was child `index` of the
    // viewer layer.
    YKUndoDeleteLayer(YKUserLayer* layer, int32 index);

    // "Delete <name>".
    const char* Name() const override { return mName.c_str(); }
    void Undo() override { mPlacement.Insert(*this); }
    void Redo() override { mPlacement.Remove(*this); }

    YKUserLayer* Layer() const { return mLayer; }
    bool InTree() const { return mPlacement.InTree(); }

private:
    YKUserLayer* mLayer;
    YKUndoLayerPlacement mPlacement;
    std::string mName;
};
