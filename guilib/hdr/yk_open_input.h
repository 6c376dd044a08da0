#pragma once

// Opening a file for reading. Every reader goes through here so that a path naming a FIFO
// without a writer never blocks it, and so that only regular files are read.

#include <cstdio>
#include <string>

// A descriptor open for reading on the regular file `path`; -1 when the path is missing,
// unreadable or names anything else (a folder, a FIFO, a device), with the reason in `reason`
// (may be null), e.g. "No such file or directory" or "a FIFO, not a regular file".
int yk_open_input(const char* path, std::string* reason = nullptr);

// The same as a stdio stream for binary reading.
std::FILE* yk_fopen_input(const char* path, std::string* reason = nullptr);

// What kind of file a stat mode names, as a user would call it ("a folder", "a FIFO", ...).
const char* yk_file_kind(unsigned mode);
