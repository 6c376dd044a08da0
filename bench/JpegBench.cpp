// JPEG coding of a 1920x1080 photo-like picture, through files in /tmp. Ours: YKJpegIO::Write
// from a 32-bit raster (a safe write: a temporary file, synced, then renamed) and
// YKJpegIO::Read into a new raster. The peer: the libjpeg calls cjpeg and djpeg make, on a
// packed RGB buffer and a plain file. Rates are per CPU second, so waiting for the disk to
// take the synced file does not count, the kernel's work for it does.

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

// After <cstdio>: libjpeg's header uses FILE and size_t without including their headers.
#include <jpeglib.h>

#include "BenchRatios.h"
#include "YKJpegIO.h"
#include "YKMessage.h"
#include "YKRaster.h"

namespace {

constexpr int32 kWidth = 1920;
constexpr int32 kHeight = 1080;
constexpr int32 kQuality = 80;  // where the export window's options start

std::string TempFile(const std::string& name) {
    return "/tmp/gravik-bench-jpeg-" + std::to_string(getpid()) + "-" + name + ".jpg";
}

// Smooth colour fields, a few hard edges and grain: what a photo gives a coder to do.
struct Picture {
    std::unique_ptr<YKRaster> raster;
    std::vector<uint8> rgb;

    Picture() : raster(std::make_unique<YKRaster>(YKRect<int32>{0, 0, kWidth - 1, kHeight - 1})) {
        std::mt19937 random(7);
        rgb.reserve(size_t(kWidth) * kHeight * 3);
        for (int32 y = 0; y < kHeight; ++y) {
            auto* row =
                reinterpret_cast<uint32*>(raster->Bits() + int64{y} * raster->BytesPerRow());
            for (int32 x = 0; x < kWidth; ++x) {
                const double sky = y < 400 + 60 * std::sin(x * 0.004) ? 1 : 0;
                const int grain = int(random() % 17) - 8;
                const auto channel = [&](double v) {
                    return uint8(std::clamp(int(v) + grain, 0, 255));
                };
                const uint8 r =
                    channel(sky ? 90 + y * 0.2 : 70 + 60 * std::sin(x * 0.01 + y * 0.02));
                const uint8 g = channel(sky ? 140 + y * 0.15 : 110 + 50 * std::cos(x * 0.017));
                const uint8 b = channel(sky ? 230 - y * 0.1 : 40 + 30 * std::sin(y * 0.05));
                row[x] = 0xFF000000u | uint32{r} << 16 | uint32{g} << 8 | b;
                rgb.insert(rgb.end(), {r, g, b});
            }
        }
    }
};

const Picture& ThePicture() {
    static const Picture picture;
    return picture;
}

void WritePeer(const std::vector<uint8>& rgb, const std::string& path) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kQuality, FALSE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<uint8*>(&rgb[size_t(cinfo.next_scanline) * kWidth * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

void ReadPeer(const std::string& path, std::vector<uint8>& rgb) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        uint8* row = &rgb[size_t(cinfo.output_scanline) * cinfo.output_width * 3];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
}

constexpr int64 kBytes = int64{kWidth} * kHeight * 3;

void EncodeOurs(benchmark::State& state) {
    const std::string path = TempFile("encode-ours");
    YKMessage options;
    options.AddInt32("jpeg_quality", kQuality);
    for (auto _ : state) {
        if (!YKJpegIO().Write(path.c_str(), *ThePicture().raster, &options, nullptr, nullptr)) {
            state.SkipWithError("write failed");
        }
    }
    state.SetBytesProcessed(int64(state.iterations()) * kBytes);
    unlink(path.c_str());
}

void EncodePeer(benchmark::State& state) {
    const std::string path = TempFile("encode-peer");
    for (auto _ : state) {
        WritePeer(ThePicture().rgb, path);
    }
    state.SetBytesProcessed(int64(state.iterations()) * kBytes);
    unlink(path.c_str());
}

void DecodeOurs(benchmark::State& state, const std::string* path) {
    for (auto _ : state) {
        if (YKJpegIO().Read(path->c_str(), nullptr, false, nullptr) == nullptr) {
            state.SkipWithError("read failed");
        }
    }
    state.SetBytesProcessed(int64(state.iterations()) * kBytes);
}

// A new buffer each time, as each of our reads makes a new raster: both decode into fresh memory.
void DecodePeer(benchmark::State& state, const std::string* path) {
    for (auto _ : state) {
        std::vector<uint8> rgb(static_cast<size_t>(kBytes));
        ReadPeer(*path, rgb);
        benchmark::DoNotOptimize(rgb.data());
    }
    state.SetBytesProcessed(int64(state.iterations()) * kBytes);
}

}  // namespace

int main(int argc, char** argv) {
    // Both readers decode the same file, the peer's.
    static const std::string file = TempFile("photo");
    WritePeer(ThePicture().rgb, file);
    benchmark::RegisterBenchmark("Encode/ours", EncodeOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Encode/peer", EncodePeer)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Decode/ours", DecodeOurs, &file)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Decode/peer", DecodePeer, &file)->Unit(benchmark::kMillisecond);
    const int result =
        RunWithRatios(argc, argv,
                      {{"encode (ours / libjpeg as cjpeg)", "Encode/ours", "Encode/peer", ""},
                       {"decode (ours / libjpeg as djpeg)", "Decode/ours", "Decode/peer", ""}});
    unlink(file.c_str());
    return result;
}
