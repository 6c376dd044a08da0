#pragma once

#include "YKUndoItem.h"

// Base of the records that take something out of the document.
class YKUndoDelete : public YKUndoItem {
public:
    // "Item Deleted" unless the kind names itself.
    const char* Name() const override;
};
