#pragma once

// Which registered writer `gravik-cli export` uses.

#include <string>

class YKRasterAnimIO;
class YKRasterStillIO;

// Exactly one of the two is set.
struct YKExportWriter {
    YKRasterStillIO* still = nullptr;
    YKRasterAnimIO* animation = nullptr;
};

// `format` is a menu name ("Animated GIF"), an extension with or without its dot, or empty for
// the extension of `output`. An extension chooses by what is exported: one frame prefers the
// still writer, a range the animation writer, and when only one kind writes it, that one. A menu
// name in its exact spelling names its writer whatever the extension; in any other case it
// counts after the extensions ("gif" is an extension, "animated gif" a name). False with one
// line in `error` when no writer fits, or when a still writer is given a range.
bool YKChooseExportWriter(const std::string& format, const std::string& output, bool oneFrame,
                          YKExportWriter* writer, std::string* error);
