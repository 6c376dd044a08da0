#pragma once

#include <cstdio>
#include <string>

// `gravik-cli fonts [--json] [--rebuild]`: the installed font families and their styles, read
// from the font cache in the settings folder (rebuilt first with --rebuild or when stale). Text:
// one line per family, "Family: Style, Style, ...". JSON: an array of
// {"family":…, "styles":[{"style":…, "path":…}, …]}. Returns 0, 1 when the cache cannot be
// built, 2 for bad arguments.
class YKFontsCommand {
public:
    YKFontsCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    // `argv` holds the arguments after the command name.
    int Run(int argc, char** argv);

private:
    FILE* mOut;
    FILE* mErr;
};
