#pragma once

#include "YKDocument.h"
#include "YKUndoItem.h"

// The document's id counters around a creation: undo sets them back to what they were before
// it, redo to what they were after, so an undone creation leaves no trace in the saved file.
// It goes into the creation's action before the record that adds the object.
class YKUndoDocumentIDs : public YKUndoItem {
public:
    YKUndoDocumentIDs(YKDocument* document, YKDocument::IDCounters before,
                      YKDocument::IDCounters after)
        : mDocument(document), mBefore(before), mAfter(after) {}

    const char* Name() const override { return "Identifiers"; }
    void Undo() override { mDocument->SetCounters(mBefore); }
    void Redo() override { mDocument->SetCounters(mAfter); }

private:
    YKDocument* mDocument;
    YKDocument::IDCounters mBefore;
    YKDocument::IDCounters mAfter;
};
