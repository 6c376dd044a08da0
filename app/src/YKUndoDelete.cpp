#include "YKUndoDelete.h"

const char* YKUndoDelete::Name() const {
    return "Item Deleted";
}
