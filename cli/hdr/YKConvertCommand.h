#pragma once

#include <cstdio>

// `gravik-cli convert IMAGE -o DOC.gr`: opens an image as a new document (its canvas centred
// on the origin, one bitmap layer) and saves it. Returns 0 when saved, 1 when the image could
// not be opened or the document not saved, 2 for bad arguments.
class YKConvertCommand {
public:
    YKConvertCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    int Run(int argc, char** argv);

private:
    FILE* mOut;
    FILE* mErr;
};
