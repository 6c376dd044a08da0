// Reads arbitrary bytes through every format of Qt's image I/O that takes them for its own, from
// a file and from memory: both ways must agree on the pixels or on the error text, and a read
// that fails must say why.

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzImages.h"
#include "YKRaster.h"
#include "YKRasterFilters.h"
#include "YKTranslatorIO.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    YKTranslatorIO::RegisterAll();
    // Images up to the raster limit are legitimate; here they would only make each run slow.
    YKTranslatorIO::SetImageMemoryLimit(16);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char pattern[] = "/tmp/gravik-fuzz-translator-XXXXXX";
    const char* path = FuzzInputFile(data, size, pattern);
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    for (int32 i = 0; i < filters->CountFilters(); ++i) {
        const auto* io = dynamic_cast<const YKTranslatorIO*>(filters->FilterAt(i));
        if (io == nullptr || !io->Accept(path)) {
            continue;
        }
        std::string fileError;
        std::string memoryError;
        const std::unique_ptr<YKRaster> fromFile = io->Read(path, nullptr, false, &fileError);
        const std::unique_ptr<YKRaster> fromMemory =
            io->ReadMemory(data, size, false, &memoryError);
        if ((fromFile == nullptr && fileError.empty()) || fileError != memoryError ||
            RasterFingerprint(fromFile.get()) != RasterFingerprint(fromMemory.get())) {
            std::abort();
        }
    }
    return 0;
}
