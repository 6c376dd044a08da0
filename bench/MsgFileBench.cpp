// Writing and reading back a 20 MB compressible message through the container, beside zlib's
// compress and uncompress of the same flattened bytes.

#include <unistd.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "BenchRatios.h"
#include "YKMessage.h"
#include "YKMsgFile.h"

namespace {

constexpr int kWidth = 2560;
constexpr int kHeight = 2048;

// A bitmap-like archive: 20 MB of pixels in flat-coloured tiles with a little noise, as a
// painted layer stores them, plus a few ordinary fields.
const YKMessage& PixelMessage() {
    static const YKMessage message = [] {
        std::vector<uint32> pixels(size_t(kWidth) * kHeight);
        uint32 noise = 12345;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                noise = noise * 1103515245u + 12345u;
                const uint32 tile = uint32((x / 64) * 31 + (y / 64) * 17);
                pixels[size_t(y) * kWidth + x] =
                    0xFF000000u | (tile * 0x010203u & 0xFFFFFF) | ((noise >> 28) == 0 ? 1 : 0);
            }
        }
        YKMessage m('YKRa');
        m.AddString("Class", "YKRaster");
        m.AddRect("YKRaster::_frame", {0, 0, kWidth - 1, kHeight - 1});
        m.AddData("YKRaster::_bits", 'RAWT', pixels.data(), pixels.size() * 4);
        return m;
    }();
    return message;
}

std::string TempPath() {
    return "/tmp/gravik-bench-msgfile-" + std::to_string(getpid());
}

void BM_PutGetMessage(benchmark::State& state) {
    const YKMessage& message = PixelMessage();
    const std::string path = TempPath();
    for (auto _ : state) {
        YKMsgFile out;
        out.Open(path.c_str(), EYKBinOpenMode(1));
        if (!out.PutMessage(&message)) {
            state.SkipWithError("PutMessage failed");
        }
        out.Close();
        YKMsgFile in;
        in.Open(path.c_str(), EYKBinOpenMode(0));
        YKMessage back;
        if (!in.GetMessage(&back)) {
            state.SkipWithError("GetMessage failed");
        }
        benchmark::DoNotOptimize(back);
    }
    unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * int64_t(message.FlattenedSize()));
}
BENCHMARK(BM_PutGetMessage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ZlibCompressUncompress(benchmark::State& state) {
    const std::string flat = PixelMessage().Flatten();
    std::vector<Bytef> packed(compressBound(flat.size()));
    std::vector<Bytef> unpacked(flat.size());
    for (auto _ : state) {
        uLongf packedSize = packed.size();
        compress(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(flat.data()),
                 flat.size());
        uLongf unpackedSize = unpacked.size();
        uncompress(unpacked.data(), &unpackedSize, packed.data(), packedSize);
        benchmark::DoNotOptimize(unpacked.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(flat.size()));
}
BENCHMARK(BM_ZlibCompressUncompress)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    return RunWithRatios(
        argc, argv,
        {{"PutMessage+GetMessage / zlib compress+uncompress", "BM_PutGetMessage/min_time:2.000",
          "BM_ZlibCompressUncompress/min_time:2.000"}});
}
