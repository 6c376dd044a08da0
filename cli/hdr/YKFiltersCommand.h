#pragma once

#include <cstdio>

// `gravik-cli filters [--json]`: the loaded filter plug-ins by category, each with its
// parameters (kind, range, default, unit). Returns the exit status (2 for bad arguments).
class YKFiltersCommand {
public:
    YKFiltersCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    int Run(int argc, char** argv);

private:
    void PrintText() const;
    void PrintJson() const;

    FILE* mOut;
    FILE* mErr;
};
