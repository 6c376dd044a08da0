#include "YKConvertCommand.h"

#include <cstring>
#include <string>

#include "YKCliDocument.h"
#include "YKCliReport.h"
#include "YKDispatcher.h"
#include "YKDocument.h"

int YKConvertCommand::Run(int argc, char** argv) {
    const char* path = nullptr;
    const char* output = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
        } else if (path == nullptr && argv[i][0] != '-') {
            path = argv[i];
        } else {
            std::fprintf(mErr, "gravik-cli: convert: unexpected argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    if (path == nullptr || output == nullptr) {
        std::fputs("gravik-cli: convert takes IMAGE -o DOC.gr\n", mErr);
        return 2;
    }
    YKDispatcher dispatcher;
    YKDocument* document = YKOpenForCommand(path, &dispatcher);
    if (document == nullptr) {
        return 1;
    }
    std::string error;
    if (!document->SaveInto(output, false, &error)) {
        YKCliError(output, error);
        return 1;
    }
    std::fprintf(mOut, "%s\n", output);
    return 0;
}
