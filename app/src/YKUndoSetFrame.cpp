#include "YKUndoSetFrame.h"

#include "YKDocument.h"

YKUndoSetFrame::YKUndoSetFrame(YKDocument* document, YKRect<int32> frameBefore, int32 kind)
    : mDocument(document), mFrame(frameBefore), mKind(kind) {}

const char* YKUndoSetFrame::Name() const {
    return mKind == 1 ? "Undo Crop to Selection" : "Undo Resize Canvas";
}

void YKUndoSetFrame::Exchange() {
    if (mDocument == nullptr) {
        return;
    }
    const YKRect<int32> current = mDocument->Frame();
    // Kind 0: the exchange itself records no new undo step.
    mDocument->SetFrame(mFrame, 0);
    mFrame = current;
}
