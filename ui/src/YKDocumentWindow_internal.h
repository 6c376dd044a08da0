#pragma once

// Reading the fields of the document window's command messages.

#include "YKMessage.h"

inline int32 YKInt32Field(const YKMessage& message, const char* name, int32 fallback) {
    int32 value = fallback;
    message.FindInt32(name, &value);
    return value;
}

// Whether the checkable item that sent the message is checked now.
inline bool YKMarked(const YKMessage& message) {
    bool marked = false;
    message.FindBool("marked", &marked);
    return marked;
}
