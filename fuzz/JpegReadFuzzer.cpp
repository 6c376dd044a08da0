// Reads arbitrary bytes as a JPEG file through the registry and straight from memory: both ways
// must agree on the pixels and the warning, or on the error text.

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzImages.h"
#include "YKJpegIO.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKRasterFile.h"

namespace {

// The size in the first frame header, as width times height; 0 when there is none.
uint64_t DeclaredPixels(const uint8_t* data, size_t size) {
    for (size_t at = 2; at + 9 <= size && data[at] == 0xFF;
         at += 2 + (data[at + 2] << 8 | data[at + 3])) {
        const uint8_t marker = data[at + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            return uint64_t(data[at + 5] << 8 | data[at + 6]) * (data[at + 7] << 8 | data[at + 8]);
        }
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Images up to the raster limit are legitimate and tested on their own; here they would only
    // make each run slow.
    if (DeclaredPixels(data, size) > (1 << 18)) {
        return 0;
    }
    static char pattern[] = "/tmp/gravik-fuzz-jpg-XXXXXX";
    const char* path = FuzzInputFile(data, size, pattern);
    YKMessage memoryInfo;
    YKMessage fileInfo;
    std::string memoryError;
    std::string fileError;
    const std::unique_ptr<YKRaster> fromMemory =
        YKJpegIO::ReadMemory(data, size, &memoryInfo, &memoryError);
    const std::unique_ptr<YKRaster> fromFile = YKJpegIO().Read(path, &fileInfo, false, &fileError);
    const char* memoryWarning = "";
    const char* fileWarning = "";
    memoryInfo.FindString(YKRasterIO::kWarningField, &memoryWarning);
    fileInfo.FindString(YKRasterIO::kWarningField, &fileWarning);
    if ((fromMemory == nullptr && memoryError.empty()) || memoryError != fileError ||
        std::string(memoryWarning) != fileWarning ||
        RasterFingerprint(fromMemory.get()) != RasterFingerprint(fromFile.get())) {
        std::abort();
    }
    return 0;
}
