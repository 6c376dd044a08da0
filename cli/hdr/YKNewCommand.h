#pragma once

#include <cstdio>

// `gravik-cli new --width W --height H [--background RRGGBBAA] [--name N] -o FILE`: makes a
// new document the way the new-document dialog does and saves it. Returns the process exit
// status: 0 when saved, 1 when the save failed, 2 for bad or missing arguments.
class YKNewCommand {
public:
    YKNewCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    // `argv` holds the arguments after the command name.
    int Run(int argc, char** argv);

private:
    FILE* mOut;
    FILE* mErr;
};
