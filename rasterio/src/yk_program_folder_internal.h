#pragma once

// The folder the running program lies in: add-ons and palettes are looked for beside it.

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>

// "" when the system will not say.
inline std::string yk_program_folder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return {};
    }
    path[length] = '\0';
    return std::filesystem::path(path).parent_path().string();
}
