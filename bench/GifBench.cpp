// GIF coding of 1920x1080 index images beside giflib, both through files in /tmp (the page
// cache, so mostly the coders are measured). Encoding: YKWriteGif against EGifPutLine. Decoding:
// YKReadGif, which also composes 32-bit pixels, against DGifGetLine, which gives only indices.
//
// Two images: a photo-like one, smooth colour fields with grain dithered onto a 252-colour cube
// (short strings, a full table every few thousand codes), and a banner-like one, flat shapes and
// text-like strokes in 16 colours (long runs).

#include <gif_lib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "YKReadGif.h"
#include "YKWriteGif.h"

namespace {

constexpr int32 kWidth = 1920;
constexpr int32 kHeight = 1080;
constexpr size_t kPixels = size_t(kWidth) * kHeight;

struct IndexImage {
    std::string name;
    std::vector<uint8> indices;
    std::vector<uint8> palette;  // 256 RGB triples
    std::string file;            // written by our writer, read by both readers
};

IndexImage Photo() {
    IndexImage image{"photo", std::vector<uint8>(kPixels), std::vector<uint8>(768, 0), {}};
    // The cube: 6 levels of red and blue, 7 of green.
    for (int32 i = 0; i < 252; ++i) {
        image.palette[i * 3] = uint8(i / 42 * 51);
        image.palette[i * 3 + 1] = uint8(i / 6 % 7 * 255 / 6);
        image.palette[i * 3 + 2] = uint8(i % 6 * 51);
    }
    static constexpr int32 kBayer[4][4] = {
        {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::mt19937 random(7);
    std::normal_distribution<float> grain(0.0f, 6.0f);
    for (int32 y = 0; y < kHeight; ++y) {
        for (int32 x = 0; x < kWidth; ++x) {
            const float fx = float(x) / kWidth, fy = float(y) / kHeight;
            const float r = 128 + 100 * std::sin(fx * 5.1f + fy * 2.3f) + grain(random);
            const float g = 120 + 90 * std::sin(fx * 3.7f - fy * 4.1f + 1.0f) + grain(random);
            const float b = 110 + 80 * std::cos(fx * 2.2f + fy * 6.3f) + grain(random);
            const float threshold = (kBayer[y & 3][x & 3] + 0.5f) / 16.0f;
            const auto level = [&](float value, int32 levels) {
                const float scaled = std::clamp(value, 0.0f, 255.0f) / 255.0f * (levels - 1);
                return std::min(levels - 1, int32(scaled + threshold));
            };
            image.indices[size_t(y) * kWidth + x] =
                uint8(level(r, 6) * 42 + level(g, 7) * 6 + level(b, 6));
        }
    }
    return image;
}

IndexImage Banner() {
    IndexImage image{"banner", std::vector<uint8>(kPixels, 0), std::vector<uint8>(768, 0), {}};
    std::mt19937 random(11);
    for (int32 i = 0; i < 16 * 3; ++i) {
        image.palette[i] = uint8(random());
    }
    const auto fill = [&](int32 x0, int32 y0, int32 x1, int32 y1, uint8 colour) {
        for (int32 y = std::max(0, y0); y < std::min(kHeight, y1); ++y) {
            for (int32 x = std::max(0, x0); x < std::min(kWidth, x1); ++x) {
                image.indices[size_t(y) * kWidth + x] = colour;
            }
        }
    };
    std::uniform_int_distribution<int32> px(0, kWidth), py(0, kHeight), colour(1, 15);
    for (int32 i = 0; i < 40; ++i) {
        const int32 x = px(random), y = py(random);
        fill(x, y, x + px(random) / 3, y + py(random) / 3, uint8(colour(random)));
    }
    // Lines of "text": strokes 2-4 pixels wide, 12-40 high, in rows.
    for (int32 line = 0; line < 12; ++line) {
        const int32 top = 60 + line * 80;
        const uint8 ink = uint8(colour(random));
        for (int32 x = 100; x < kWidth - 100;) {
            const int32 width = 2 + int32(random() % 3), height = 12 + int32(random() % 29);
            fill(x, top + 40 - height, x + width, top + 40, ink);
            x += width + 3 + int32(random() % 9);
        }
    }
    return image;
}

std::string TempFile(const std::string& name) {
    return "/tmp/gravik-bench-gif-" + std::to_string(getpid()) + "-" + name + ".gif";
}

void WriteOurs(const IndexImage& image, const std::string& path) {
    YKWriteGif::SGlobalInfo global;
    global.width = kWidth;
    global.height = kHeight;
    global.colorCount = 256;
    global.colorMap = image.palette.data();
    YKWriteGif writer;
    writer.CreateFile(path.c_str(), global, nullptr);
    YKWriteGif::SLocalInfo local;
    local.width = kWidth;
    local.height = kHeight;
    writer.AddFrame8(image.indices.data(), local);
    writer.CloseFile();
}

void WriteGiflib(const IndexImage& image, const std::string& path) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int32 i = 0; i < 256; ++i) {
        map->Colors[i] = {image.palette[i * 3], image.palette[i * 3 + 1], image.palette[i * 3 + 2]};
    }
    EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr);
    for (int32 y = 0; y < kHeight; ++y) {
        EGifPutLine(gif, const_cast<uint8*>(image.indices.data()) + size_t(y) * kWidth, kWidth);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
}

void EncodeOurs(benchmark::State& state, const IndexImage* image) {
    const std::string path = TempFile("encode-ours");
    for (auto _ : state) {
        WriteOurs(*image, path);
    }
    state.SetBytesProcessed(int64(state.iterations()) * int64(kPixels));
    unlink(path.c_str());
}

void EncodeGiflib(benchmark::State& state, const IndexImage* image) {
    const std::string path = TempFile("encode-giflib");
    for (auto _ : state) {
        WriteGiflib(*image, path);
    }
    state.SetBytesProcessed(int64(state.iterations()) * int64(kPixels));
    unlink(path.c_str());
}

void DecodeOurs(benchmark::State& state, const IndexImage* image) {
    std::unique_ptr<YKRaster> raster;
    for (auto _ : state) {
        YKReadGif reader;
        reader.BeginRead(image->file.c_str(), nullptr);
        if (!reader.ReadNextImage(raster)) {
            state.SkipWithError("no image");
        }
    }
    state.SetBytesProcessed(int64(state.iterations()) * int64(kPixels));
}

void DecodeGiflib(benchmark::State& state, const IndexImage* image) {
    std::vector<uint8> row(kWidth);
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = DGifOpenFileName(image->file.c_str(), &error);
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        while (DGifGetRecordType(gif, &type) == GIF_OK && type != IMAGE_DESC_RECORD_TYPE) {
        }
        DGifGetImageDesc(gif);
        for (int32 y = 0; y < kHeight; ++y) {
            if (DGifGetLine(gif, row.data(), kWidth) != GIF_OK) {
                state.SkipWithError("giflib failed");
                break;
            }
        }
        benchmark::DoNotOptimize(row.data());
        DGifCloseFile(gif, &error);
    }
    state.SetBytesProcessed(int64(state.iterations()) * int64(kPixels));
}

}  // namespace

int main(int argc, char** argv) {
    static IndexImage images[] = {Photo(), Banner()};
    std::vector<BenchRatio> ratios;
    for (IndexImage& image : images) {
        image.file = TempFile(image.name);
        WriteOurs(image, image.file);
        const std::string giflibFile = TempFile(image.name + "-giflib");
        WriteGiflib(image, giflibFile);
        std::FILE* ours = std::fopen(image.file.c_str(), "rb");
        std::FILE* theirs = std::fopen(giflibFile.c_str(), "rb");
        std::fseek(ours, 0, SEEK_END);
        std::fseek(theirs, 0, SEEK_END);
        std::printf("%s: %ld bytes written by us, %ld by giflib\n", image.name.c_str(),
                    std::ftell(ours), std::ftell(theirs));
        std::fclose(ours);
        std::fclose(theirs);
        unlink(giflibFile.c_str());

        const std::string encode = "Encode/" + image.name;
        const std::string decode = "Decode/" + image.name;
        benchmark::RegisterBenchmark((encode + "/ours").c_str(), EncodeOurs, &image)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((encode + "/giflib").c_str(), EncodeGiflib, &image)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((decode + "/ours").c_str(), DecodeOurs, &image)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((decode + "/giflib").c_str(), DecodeGiflib, &image)
            ->Unit(benchmark::kMillisecond);
        ratios.push_back({"encode " + image.name + " (ours / giflib)", encode + "/ours",
                          encode + "/giflib", "encode"});
        ratios.push_back({"decode " + image.name + " (ours / giflib)", decode + "/ours",
                          decode + "/giflib", "decode"});
    }
    const int result = RunWithRatios(argc, argv, ratios);
    for (const IndexImage& image : images) {
        unlink(image.file.c_str());
    }
    return result;
}
