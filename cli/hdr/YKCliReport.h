#pragma once

// How gravik-cli speaks about a file: one line on stderr, "gravik-cli: FILE: TEXT". Line breaks
// and other control characters in the file name or the text are escaped, so a message is
// always one line whatever the name holds.

#include <string>

// "gravik-cli: FILE: TEXT", for a failure.
void YKCliError(const std::string& file, const std::string& text);

// "gravik-cli: FILE: warning: TEXT", for something the user should know that did not stop the
// command.
void YKCliWarning(const std::string& file, const std::string& text);
