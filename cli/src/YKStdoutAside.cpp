#include "YKStdoutAside.h"

#include <unistd.h>

YKStdoutAside::YKStdoutAside() {
    std::fflush(stdout);
    const int real = dup(STDOUT_FILENO);
    if (real < 0) {
        return;
    }
    std::FILE* stream = fdopen(real, "w");
    if (stream == nullptr || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        if (stream != nullptr) {
            std::fclose(stream);
        } else {
            close(real);
        }
        return;
    }
    mStream = stream;
}

YKStdoutAside::~YKStdoutAside() {
    if (mStream == stdout) {
        return;
    }
    std::fflush(stdout);
    std::fflush(mStream);
    dup2(fileno(mStream), STDOUT_FILENO);
    std::fclose(mStream);
}
