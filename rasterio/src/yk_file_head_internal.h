#pragma once

// The first bytes of a file, by which the readers recognise their formats.

#include <cstddef>
#include <cstdio>

#include "yk_open_input.h"
#include "yk_types.h"

// How many of the first `size` bytes of `path` could be read into `out` (0 for no file, or one that
// is not a regular file).
inline size_t yk_read_file_head(const char* path, uint8* out, size_t size) {
    std::FILE* file = yk_fopen_input(path);
    if (file == nullptr) {
        return 0;
    }
    const size_t got = std::fread(out, 1, size, file);
    std::fclose(file);
    return got;
}
