#pragma once

// What `gravik-cli export` was asked, read from its arguments before any file is opened.

#include <string>
#include <vector>

#include "yk_types.h"

struct YKExportArguments {
    // One option field to set, as the user gave it: `--option KEY=VALUE` or a shorthand.
    struct Setting {
        std::string key;
        std::string value;
        std::string given;  // the arguments that asked for it ("--colors 300"), for messages
    };

    // Reads the arguments after the command name; false with one line in `error` when they
    // are not an export (every such case is exit status 2).
    bool Parse(int argc, char** argv, std::string* error);

    // One frame is exported: --frame, or a range of one.
    bool OneFrameAsked() const { return frame > 0 || (first > 0 && first == last); }

    std::string input;
    std::string output;
    std::string format;  // empty: from the output's extension
    int32 frame = 0;     // --frame N; 0 when not given
    int32 first = 0;     // --frames A-B; 0 when not given
    int32 last = 0;
    std::string palette;    // --palette NAME; empty when not given
    std::string quantizer;  // --quantizer octree|neural|fixed; empty when not given
    bool hasBackground = false;
    uint32 background = 0;  // --background as a pixel, 0xAARRGGBB
    std::string quality;    // --quality Q, for whichever quality field the format has
    std::vector<Setting> settings;
    bool estimate = false;
    bool json = false;
    // --colors, --palette, --quantizer or --dither was given.
    bool reducesColors = false;
};
