#pragma once

#include <cstdio>

// `gravik-cli dump FILE`: prints the header of a message file and every message in it.
// Returns the process exit status: 0 when every record read, 1 when the file is not a message
// file or a record is damaged (the records before the damage are printed first).
class YKDumpCommand {
public:
    explicit YKDumpCommand(FILE* out) : mOut(out) {}

    int Run(const char* path);

private:
    FILE* mOut;
};
