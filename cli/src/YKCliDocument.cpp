#include "YKCliDocument.h"

#include <filesystem>
#include <string>

#include "YKDispatcher.h"
#include "YKDocument.h"

YKDocument* YKOpenForCommand(const char* path, YKDispatcher* dispatcher, FILE* err) {
    const std::string name = std::filesystem::path(path).filename().string();
    std::string error;
    YKDocument* document = YKDocument::Load(path, name.c_str(), false, dispatcher, &error);
    if (document == nullptr) {
        std::fputs(error.c_str(), err);
        if (error.empty() || error.back() != '\n') {
            std::fputc('\n', err);
        }
        return nullptr;
    }
    // An image shown as far as it could be read still says what was wrong with it.
    for (const std::string& warning : document->OpenWarnings()) {
        std::fprintf(err, "gravik-cli: %s: warning: %s\n", path, warning.c_str());
    }
    return document;
}
