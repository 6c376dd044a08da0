#pragma once

#include <cstdio>

class YKRasterIO;

// `gravik-cli formats [--json]`: lists the image formats of the registry, in the order readers
// are tried: id, name, extensions, MIME type, what it reads and writes, whether the system
// codes it or Qt's image I/O does, and the export options it reads. With --json, stdout holds a
// JSON array alone. Returns 0, or 2 for bad arguments.
class YKFormatsCommand {
public:
    YKFormatsCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    // `argv` holds the arguments after the command name.
    int Run(int argc, char** argv);

private:
    void PrintText() const;
    void PrintJson() const;

    FILE* mOut;
    FILE* mErr;
};
