#include "YKUndoCreate.h"

const char* YKUndoCreate::Name() const {
    return "New Item";
}
