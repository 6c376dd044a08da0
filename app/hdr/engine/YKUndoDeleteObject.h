#pragma once

#include <string>

#include "YKUndoDelete.h"
#include "YKUndoLayerPlacement.h"

class YKLayer;

// An object layer taken out of its parent. Undo puts it back at its index ('oADD' with
// "Object"); redo takes it out again ('oREM' with "index").
class YKUndoDeleteObject : public YKUndoDelete {
public:
    // `object` is detached and owned by the record from now on; it was child `index` of
    // `parent`. `name` is the object's name (null: "Unnamed").
    YKUndoDeleteObject(YKLayer* object, YKLayer* parent, int32 index, const char* name);

    // "Delete <name>".
    const char* Name() const override { return mName.c_str(); }
    void Undo() override { mPlacement.Insert(*this); }
    void Redo() override { mPlacement.Remove(*this); }

    YKLayer* Object() const { return mPlacement.Layer(); }
    bool InTree() const { return mPlacement.InTree(); }

private:
    YKUndoLayerPlacement mPlacement;
    std::string mName;
};
