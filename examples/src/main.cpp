// gravik-samples: builds the sample documents through Gravik's own classes and saves them into
// the folder given (default: the current one).

#include <cstdio>
#include <string>

#include "Sample3D.h"
#include "SampleBanner.h"
#include "YKDispatcher.h"
#include "YKDocument.h"

namespace {

bool Save(YKDocument* document, const std::string& path) {
    std::string error;
    if (document == nullptr || !document->SaveInto(path.c_str(), false, &error)) {
        std::fprintf(stderr, "gravik-samples: cannot save \"%s\": %s\n", path.c_str(),
                     error.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    YKDispatcher dispatcher;
    const bool saved = Save(YKBuildSampleBanner(&dispatcher), folder + "/sample_banner.gr") &&
                       Save(YKBuildSample3D(&dispatcher), folder + "/sample_3d.gr");
    return saved ? 0 : 1;
}
