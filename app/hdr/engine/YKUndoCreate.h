#pragma once

#include "YKUndoItem.h"

// Base of the records that add something to the document.
class YKUndoCreate : public YKUndoItem {
public:
    // "New Item" unless the kind names itself.
    const char* Name() const override;
};
