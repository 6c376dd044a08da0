#include "YKRenderCommand.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "YKCliDocument.h"
#include "YKCliFrameNumber.h"
#include "YKCliReport.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKPngIO.h"
#include "YKRaster.h"

namespace {

// "out.png" and frame 3 of many give "out_003.png".
std::string NumberedPath(const std::string& output, int32 frame) {
    std::string stem = output;
    const size_t dot = stem.rfind('.');
    const size_t slash = stem.rfind('/');
    std::string extension = ".png";
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        extension = stem.substr(dot);
        stem.resize(dot);
    }
    char number[16];
    std::snprintf(number, sizeof number, "_%03d", frame);
    return stem + number + extension;
}

}  // namespace

int YKRenderCommand::Run(int argc, char** argv) {
    const char* path = nullptr;
    const char* output = nullptr;
    int32 frame = 1;
    bool all = false;
    bool frameGiven = false;
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "-o") == 0 && hasValue) {
            output = argv[++i];
        } else if (std::strcmp(argv[i], "--frame") == 0 && hasValue) {
            if (!YKParseFrameNumber(argv[++i], &frame)) {
                std::fprintf(mErr, "gravik-cli: render: bad frame number \"%s\"\n", argv[i]);
                return 2;
            }
            frameGiven = true;
        } else if (std::strcmp(argv[i], "--all") == 0) {
            all = true;
        } else if (path == nullptr && argv[i][0] != '-') {
            path = argv[i];
        } else {
            std::fprintf(mErr, "gravik-cli: render: unexpected argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    if (path == nullptr || output == nullptr || (all && frameGiven)) {
        std::fputs("gravik-cli: render takes FILE [--frame N | --all] -o OUT.png\n", mErr);
        return 2;
    }

    YKDispatcher dispatcher;
    YKDocument* document = YKOpenForCommand(path, &dispatcher);
    if (document == nullptr) {
        return 1;
    }
    const int32 frames = document->EnvelopManager()->MaxFrame();
    const int32 first = all ? 1 : frame;
    const int32 last = all ? frames : frame;
    for (int32 f = first; f <= last; ++f) {
        std::string error;
        std::unique_ptr<YKRaster> raster(document->RenderFrame(f, &error));
        const std::string target = all ? NumberedPath(output, f) : std::string(output);
        if (raster == nullptr) {
            YKCliError(path, "frame " + std::to_string(f) + ": " + error);
            return 1;
        }
        if (!YKPngIO::Write(*raster, target.c_str(), &error)) {
            YKCliError(target, error);
            return 1;
        }
        std::fprintf(mOut, "%s\n", target.c_str());
    }
    return 0;
}
