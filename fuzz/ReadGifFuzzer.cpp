// Reads arbitrary bytes as a GIF file three ways, which must agree: image by image into one
// raster handed back each time, as a whole list, and played with looping back to a frame
// chosen by the last byte (the replays must repeat the frames from there on).

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "YKMessage.h"
#include "YKRasterList.h"
#include "YKReadGif.h"

namespace {

uint64_t Fingerprint(const YKRaster& raster) {
    uint64_t hash = 1469598103934665603u;
    const auto* pixels = reinterpret_cast<const uint32*>(raster.Bits());
    for (int32 i = 0; i < raster.BitsLength() / 4; ++i) {
        hash = (hash ^ pixels[i]) * 1099511628211u;
    }
    return hash;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Screens up to the raster limit are legitimate and tested on their own; here they would
    // only make every frame slow to copy and a list of them huge.
    if (size < 10 || int64{data[6] | data[7] << 8} * (data[8] | data[9] << 8) > (1 << 14)) {
        return 0;
    }
    static char path[] = "/tmp/gravik-fuzz-gif-XXXXXX";
    static const int fd = mkstemp(path);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) {
        std::abort();
    }

    std::vector<uint64_t> frames;
    YKMessage info;
    YKReadGif reader;
    if (reader.BeginRead(path, &info)) {
        std::unique_ptr<YKRaster> raster;
        while (reader.ReadNextImage(raster, false)) {
            frames.push_back(Fingerprint(*raster));
        }
    }

    YKRasterList list;
    YKReadGif whole;
    whole.ReadAllFile(path, list, &info);
    // The same bytes tell of the same damage.
    if (static_cast<size_t>(list.CountItems()) != frames.size() ||
        whole.Warning() != reader.Warning() || whole.Error() != reader.Error()) {
        std::abort();
    }
    for (int32 i = 0; i < list.CountItems(); ++i) {
        if (Fingerprint(*list.ItemAt(i)) != frames[i]) {
            std::abort();
        }
    }

    const size_t count = frames.size();
    const size_t loopFrame = data[size - 1] % 4;
    reader.SetLoopFrame(static_cast<int32>(loopFrame));
    if (reader.BeginRead(path, nullptr)) {
        std::unique_ptr<YKRaster> raster;
        for (size_t played = 0; played < 3 * count + 2; ++played) {
            const bool more = reader.ReadNextImage(raster, true);
            if (played < count || loopFrame < count) {
                const size_t expected =
                    played < count ? played : loopFrame + (played - count) % (count - loopFrame);
                if (!more || Fingerprint(*raster) != frames[expected]) {
                    std::abort();
                }
            } else if (more) {
                std::abort();
            }
        }
    }
    return 0;
}
