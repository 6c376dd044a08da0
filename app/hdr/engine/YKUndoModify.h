#pragma once

#include "YKUndoItem.h"

// Base of the records that change something in place.
class YKUndoModify : public YKUndoItem {
public:
    // "Item Modified" unless the kind names itself.
    const char* Name() const override;
};
