#include "YKCliReport.h"

#include <cstdio>

namespace {

// Control characters as C escapes; a line break at the very end (the document's texts have one)
// is dropped, others become "; " so that a text of several lines reads as one.
std::string OneLine(const std::string& text) {
    std::string line;
    const size_t end = text.find_last_not_of('\n') + 1;
    for (size_t i = 0; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            line += "; ";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            line += escaped;
        } else {
            line += text[i];
        }
    }
    return line;
}

void Report(const std::string& file, const char* kind, const std::string& text) {
    // Whatever the command printed on stdout comes first when both go to one terminal.
    std::fflush(stdout);
    std::fprintf(stderr, "gravik-cli: %s: %s%s\n", OneLine(file).c_str(), kind,
                 OneLine(text).c_str());
}

}  // namespace

void YKCliError(const std::string& file, const std::string& text) {
    Report(file, "", text);
}

void YKCliWarning(const std::string& file, const std::string& text) {
    Report(file, "warning: ", text);
}
