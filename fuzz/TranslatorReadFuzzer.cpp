// Reads arbitrary bytes through every format of Qt's image I/O that takes them for its own, from
// a file and from memory: both ways must agree on the pixels or on the error text, and a read
// that fails must say why.

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "YKRaster.h"
#include "YKRasterFilters.h"
#include "YKTranslatorIO.h"

namespace {

uint64_t Fingerprint(const YKRaster* raster) {
    if (raster == nullptr) {
        return 0;
    }
    uint64_t hash = 1469598103934665603u ^ uint64_t(raster->Width()) << 32 ^ raster->Height();
    for (int32 y = 0; y < raster->Height(); ++y) {
        const auto* row =
            reinterpret_cast<const uint32*>(raster->Bits() + y * raster->BytesPerRow());
        for (int32 x = 0; x < raster->Width(); ++x) {
            hash = (hash ^ row[x]) * 1099511628211u;
        }
    }
    return hash;
}

const char* FileOf(const uint8_t* data, size_t size) {
    static char path[] = "/tmp/gravik-fuzz-translator-XXXXXX";
    static const int fd = mkstemp(path);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) {
        std::abort();
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    YKTranslatorIO::RegisterAll();
    // Images up to the raster limit are legitimate; here they would only make each run slow.
    YKTranslatorIO::SetImageMemoryLimit(16);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = FileOf(data, size);
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
            Fingerprint(fromFile.get()) != Fingerprint(fromMemory.get())) {
            std::abort();
        }
    }
    return 0;
}
