#pragma once

#include "YKUndoModify.h"
#include "yk_types.h"

class YKLayer;

// A layer moved among its siblings: a user layer in the stack, or an object in its user layer.
// Undo and redo move it back and forth between the two indices, in one step of the tree.
class YKUndoMoveLayer : public YKUndoModify {
public:
    // The child of `parent` that was at `from` is now at `to`.
    YKUndoMoveLayer(YKLayer* parent, int32 from, int32 to);

    // "Move Layer" under the viewer layer, "Move Object" in a user layer.
    const char* Name() const override;
    void Undo() override { Move(mTo, mFrom); }
    void Redo() override { Move(mFrom, mTo); }

private:
    void Move(int32 from, int32 to);

    YKLayer* mParent;
    int32 mFrom;
    int32 mTo;
};
