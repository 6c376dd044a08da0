#pragma once

// Fatal consistency checks. A failed check prints the source path without extension
// ("guilib/src/YKList"), the line and the condition text, then ends the program:
// such a failure is a programming error, never a reaction to bad input.

namespace yk_debug {

[[noreturn]] void AssertionFailed(const char* file, int line, const char* condition);

}  // namespace yk_debug

#define YK_ASSERT(condition)                                             \
    do {                                                                 \
        if (!(condition)) {                                              \
            ::yk_debug::AssertionFailed(__FILE__, __LINE__, #condition); \
        }                                                                \
    } while (false)
