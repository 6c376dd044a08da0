#pragma once

#include <cstdio>

#include "yk_types.h"

struct YKExportArguments;
class YKRasterIOView;

// `gravik-cli export FILE -o OUT [--format NAME|EXT] [--frame N | --frames A-B] [options]`:
// exports a document through a registered writer, as the export window does, with the options
// the document remembers for the format under those given. On a terminal a progress line
// follows the writer; Ctrl-C cancels the export and leaves no file of its own. Returns 0 when
// written (or estimated), 1 when the document could not be opened or the export failed, 2 for
// bad arguments (an unknown format or option, frames or values out of range), 130 when
// interrupted.
class YKExportCommand {
public:
    YKExportCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    // `argv` holds the arguments after the command name.
    int Run(int argc, char** argv);

private:
    // Prints the size the export would have; writes nothing.
    int Estimate(const YKExportArguments& arguments, YKRasterIOView* view, int32 first, int32 last);
    // Runs the export on its own thread until done or interrupted.
    int Export(const YKExportArguments& arguments, YKRasterIOView* view, int32 first, int32 last);

    FILE* mOut;
    FILE* mErr;
};
