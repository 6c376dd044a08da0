#include "YKInternalError.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "YKAlert.h"

namespace {

void DefaultExit(int status) {
    std::exit(status);
}

std::atomic<YKInternalError::ExitFunction> gExit{&DefaultExit};

}  // namespace

bool YKInternalError::IsFatal(int32 code) {
    return code == 101 || code == 102;
}

void YKInternalError::Show(int32 code) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Internal error: %d.\nPlease report it, with what you were doing, to Gravik "
                  "support.",
                  static_cast<int>(code));
    const bool fatal = IsFatal(code);
    YKAlert(text, fatal ? "Exit" : "OK").Go();
    if (fatal) {
        gExit.load()(1);
    }
}

void YKInternalError::SetExitFunction(ExitFunction exitFunction) {
    gExit.store(exitFunction != nullptr ? exitFunction : &DefaultExit);
}
