#include "YKUndoModify.h"

const char* YKUndoModify::Name() const {
    return "Item Modified";
}
