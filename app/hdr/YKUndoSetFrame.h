#pragma once

#include "YKRect.h"
#include "YKUndoItem.h"

class YKDocument;

// A change of the document's canvas rectangle: a crop to the selection (kind 1) or a canvas
// resize (any other kind). Undo and redo exchange the document's frame with the stored one.
class YKUndoSetFrame : public YKUndoItem {
public:
    YKUndoSetFrame(YKDocument* document, YKRect<int32> frameBefore, int32 kind);

    const char* Name() const override;
    void Undo() override { Exchange(); }
    void Redo() override { Exchange(); }

private:
    void Exchange();

    YKDocument* mDocument;
    YKRect<int32> mFrame;
    int32 mKind;
};
