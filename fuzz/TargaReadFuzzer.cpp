// Reads arbitrary bytes as a Targa file through the registry and straight from memory: both
// ways must agree on the pixels or on the error text. An image that reads is written back,
// raw or run-length as the last byte says, and must read back to the same pixels.

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzImages.h"
#include "YKRaster.h"
#include "YKRasterFile.h"
#include "YKTarga.h"

namespace {

bool AnyAlpha(const YKRaster& raster) {
    const auto* pixels = reinterpret_cast<const uint32*>(raster.Bits());
    for (int32 i = 0; i < raster.BitsLength() / 4; ++i) {
        if (pixels[i] >> 24 != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Images up to the raster limit are legitimate and tested on their own; here they would only
    // make each run slow.
    if (size >= YKTarga::kHeaderSize &&
        uint32_t(data[12] | data[13] << 8) * uint32_t(data[14] | data[15] << 8) > (1u << 16)) {
        return 0;
    }
    static char pattern[] = "/tmp/gravik-fuzz-tga-XXXXXX";
    const char* path = FuzzInputFile(data, size, pattern);
    std::string error;
    const std::unique_ptr<YKRaster> raster = YKTarga::ReadMemory(data, size, false, &error);
    if (raster == nullptr && error.empty()) {
        std::abort();
    }
    // The registry only hands the file to the Targa reader when its header is one it decodes.
    if (YKTarga::IsReadable(data, size)) {
        const YKRasterFile file(path);
        if (error != file.ErrorText() ||
            RasterFingerprint(raster.get()) != RasterFingerprint(file.Raster())) {
            std::abort();
        }
    }
    // A picture whose alpha is 0 throughout reads back opaque: such files are taken to have none.
    if (raster != nullptr && AnyAlpha(*raster)) {
        static const std::string copy = std::string(path) + ".tga";
        const bool rle = size > 0 && (data[size - 1] & 1) != 0;
        if (!YKTarga::WriteFile(copy.c_str(), *raster, 32, rle, &error) ||
            RasterFingerprint(YKTarga::ReadFile(copy.c_str(), false, &error).get()) !=
                RasterFingerprint(raster.get())) {
            std::abort();
        }
    }
    return 0;
}
