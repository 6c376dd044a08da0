#include "YKDebug.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace yk_debug {

void AssertionFailed(const char* file, int line, const char* condition) {
    std::string path = file != nullptr ? file : "?";
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        path.erase(dot);
    }
    std::fprintf(stderr, "%s:%d: assertion failed: %s\n", path.c_str(), line, condition);
    std::fflush(stdout);
    std::abort();
}

}  // namespace yk_debug
