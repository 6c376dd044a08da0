#pragma once

#include <memory>

#include "YKRect.h"
#include "YKUndoModify.h"

class YKBitmap;

// A bitmap selection drawn, taken away from or moved. The record keeps the selection (and its
// rectangle) that the viewer layer does not show now; undo and redo exchange the two.
class YKUndoSelection : public YKUndoModify {
public:
    // `before` (null for none) and `rect` are what the edit replaced.
    YKUndoSelection(std::unique_ptr<YKBitmap> before, YKRect<int32> rect);
    ~YKUndoSelection() override;

    const char* Name() const override { return "Selection"; }
    void Undo() override { Exchange(true); }
    void Redo() override { Exchange(false); }

private:
    void Exchange(bool undone);

    std::unique_ptr<YKBitmap> mOther;
    YKRect<int32> mOtherRect;
    bool mUndone = false;
};
