// Reads arbitrary bytes as a JPEG file through the registry and straight from memory: both ways
// must agree on the pixels and the warning, or on the error text.

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "YKJpegIO.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKRasterFile.h"

namespace {

uint64_t Fingerprint(const YKRaster* raster) {
    if (raster == nullptr) {
        return 0;
    }
    uint64_t hash = 1469598103934665603u ^ uint64_t(raster->Width()) << 32 ^ raster->Height();
    const auto* pixels = reinterpret_cast<const uint32*>(raster->Bits());
    for (int32 i = 0; i < raster->BitsLength() / 4; ++i) {
        hash = (hash ^ pixels[i]) * 1099511628211u;
    }
    return hash;
}

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
    static char path[] = "/tmp/gravik-fuzz-jpg-XXXXXX";
    static const int fd = mkstemp(path);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) {
        std::abort();
    }
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
        Fingerprint(fromMemory.get()) != Fingerprint(fromFile.get())) {
        std::abort();
    }
    return 0;
}
