#pragma once

// The processor time a peer program (and its children) uses: unlike the wall clock, it does not
// grow when other programs share the machine, so it compares with our own processor time.

#include <sys/resource.h>

#include <cstdlib>
#include <string>

// Runs `command` through the shell; -1 when it fails.
inline double SecondsOf(const std::string& command) {
    const auto used = [] {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        const auto seconds = [](const timeval& t) { return double(t.tv_sec) + 1e-6 * t.tv_usec; };
        return seconds(usage.ru_utime) + seconds(usage.ru_stime);
    };
    const double before = used();
    if (std::system(command.c_str()) != 0) {
        return -1;
    }
    return used() - before;
}
