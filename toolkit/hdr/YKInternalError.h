#pragma once

#include "yk_types.h"

// Alerts for states the program should never reach. Each shows "Internal error: <code>." and a
// line asking the user to report it. Most codes are answered with "OK" and the program goes on;
// the fatal ones (101, 102: memory that should hold a live object does not) offer only "Exit"
// and end the program with status 1.
class YKInternalError {
public:
    using ExitFunction = void (*)(int status);

    // Shows the alert for `code`; for a fatal code, calls the exit function afterwards.
    static void Show(int32 code);
    static bool IsFatal(int32 code);

    // Replaces how fatal errors end the program (std::exit by default; null restores it), so
    // tests can watch the exit without losing the process.
    static void SetExitFunction(ExitFunction exitFunction);
};
