#pragma once

// YKStdoutAside: while it lives, whatever the process prints on stdout (the loaders' own
// diagnostics) goes to stderr instead, and Stream() writes to the real stdout. Output that a
// program reads, such as `info --json`, stays clean that way.

#include <cstdio>

class YKStdoutAside {
public:
    YKStdoutAside();
    YKStdoutAside(const YKStdoutAside&) = delete;
    YKStdoutAside& operator=(const YKStdoutAside&) = delete;
    // Puts stdout back.
    ~YKStdoutAside();

    // The real stdout; stdout itself when it could not be set aside.
    std::FILE* Stream() const { return mStream; }

private:
    std::FILE* mStream = stdout;
};
