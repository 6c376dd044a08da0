#pragma once

#include <cstdio>
#include <string>

class YKDocument;
class YKLayer;

// `gravik-cli info FILE [--json]`: loads a document (or an image the registered readers know)
// and prints its name, canvas, background, frames, id counters and layer tree, as text or as
// one JSON object. Returns the process exit status: 0 when loaded, 1 when the file does not
// load (the reason goes to stderr in one line), 2 for bad arguments. With --json, anything
// else the process prints goes to stderr, so stdout holds the JSON alone.
class YKInfoCommand {
public:
    YKInfoCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    // `argv` holds the arguments after the command name.
    int Run(int argc, char** argv);

private:
    void PrintText(YKDocument* document) const;
    void PrintJson(YKDocument* document) const;
    void PrintLayerText(const YKLayer* layer, int depth) const;
    void PrintLayerJson(const YKLayer* layer) const;

    FILE* mOut;
    FILE* mErr;
};
