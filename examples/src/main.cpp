// gravik-samples: builds the sample documents through Gravik's own classes and saves them into
// the folder given (default: the current one).

#include <cstdio>
#include <string>

#include "SampleBanner.h"
#include "YKDispatcher.h"
#include "YKDocument.h"

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    YKDispatcher dispatcher;
    YKDocument* banner = YKBuildSampleBanner(&dispatcher);
    const std::string path = folder + "/sample_banner.gr";
    std::string error;
    if (banner == nullptr || !banner->SaveInto(path.c_str(), false, &error)) {
        std::fprintf(stderr, "gravik-samples: cannot save \"%s\": %s\n", path.c_str(),
                     error.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
