#pragma once

#include <cstdio>

// `gravik-cli render FILE [--frame N | --all] -o OUT.png`: renders one frame of a document (the
// first unless told) as the export does and writes it as a PNG; with --all every frame, as
// OUT_001.png, OUT_002.png, and so on. Returns the exit status: 0 when written, 1 when the
// document could not be opened, rendered or written, 2 for bad arguments.
class YKRenderCommand {
public:
    YKRenderCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    // `argv` holds the arguments after the command name.
    int Run(int argc, char** argv);

private:
    FILE* mOut;
    FILE* mErr;
};
