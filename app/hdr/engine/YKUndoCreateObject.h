#pragma once

#include <string>

#include "YKUndoCreate.h"
#include "YKUndoLayerPlacement.h"

class YKLayer;

// A new object layer. Undo takes it out of its parent ('oREM' with its former "index") and
// keeps it; redo appends it to the same parent again ('oADD' with "Object").
class YKUndoCreateObject : public YKUndoCreate {
public:
    // `object` must be in the tree; `name` is the object's name (null: "Unnamed").
    YKUndoCreateObject(YKLayer* object, const char* name);

    const char* Name() const override { return mName.c_str(); }
    void Undo() override { mPlacement.Remove(*this); }
    void Redo() override { mPlacement.Insert(*this); }

    YKLayer* Object() const { return mPlacement.Layer(); }
    // Whether the object is in the tree; the record owns it while it is not.
    bool InTree() const { return mPlacement.InTree(); }

private:
    YKUndoLayerPlacement mPlacement;
    std::string mName;
};
