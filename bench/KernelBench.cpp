// The filter kernels on a full-HD photo-like picture: each on one and on two threads through
// the kernel runner, and ImageMagick's equivalent operation as the peer. Prints each kernel's
// two-thread speed-up and its single-thread speed against ImageMagick.
//
// ImageMagick runs as a program limited to one thread, reading and writing MIFF (its own,
// fastest format); its time is the wall time of the operation minus that of a plain
// `convert in.miff out.miff` run just before it, so only the operation is compared.
//
// A kernel is one line in kKernels: its name, how to make it, and ImageMagick's options.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "PointTestImage.h"
#include "YKBrightnessContrastKernel.h"
#include "YKColorizeKernel.h"
#include "YKDesaturateKernel.h"
#include "YKEmbossKernel.h"
#include "YKHueSaturationKernel.h"
#include "YKInvertKernel.h"
#include "YKKernelRunner.h"
#include "YKMotionBlurKernel.h"
#include "YKNoiseKernel.h"
#include "YKPixelateKernel.h"
#include "YKPosterizeKernel.h"

namespace {

constexpr const char* kConvert = "/usr/bin/convert-im6.q16";
constexpr const char* kFolder = "/tmp/gravik_kernel_bench";
constexpr int32 kWidth = 1920;
constexpr int32 kHeight = 1080;

struct KernelEntry {
    const char* name;
    std::function<std::unique_ptr<YKFilterKernel>()> make;
    const char* magick;  // convert options doing the same
};

const KernelEntry kKernels[] = {
    {"Invert", [] { return std::make_unique<YKInvertKernel>(); }, "-channel RGB -negate"},
    {"Desaturate", [] { return std::make_unique<YKDesaturateKernel>(100.0); },
     "-grayscale Rec601Luma"},
    {"BrightnessContrast", [] { return std::make_unique<YKBrightnessContrastKernel>(25.0, 60.0); },
     "-brightness-contrast 25x60"},
    {"Posterize", [] { return std::make_unique<YKPosterizeKernel>(7); }, "+dither -posterize 7"},
    {"HueSaturation", [] { return std::make_unique<YKHueSaturationKernel>(70.0, 160.0, 35.0); },
     "-modulate 70,160,119.444"},
    {"Colorize", [] { return std::make_unique<YKColorizeKernel>(yk_color(255, 128, 0), 100.0); },
     "( +clone -grayscale Rec601Luma -colorspace HSL -channel R -evaluate set 8.366% "
     "-channel G -evaluate set 100% +channel -colorspace sRGB ) -compose blend "
     "-define compose:args=100 -composite"},
    {"MotionBlur", [] { return std::make_unique<YKMotionBlurKernel>(10.0f, 30.0f); },
     "-motion-blur 0x10+330"},
    {"Pixelate", [] { return std::make_unique<YKPixelateKernel>(8); },
     "-scale 240x135! -scale 1920x1080!"},
    {"Emboss", [] { return std::make_unique<YKEmbossKernel>(1.0f, 135.0f); },
     "-bias 50.1960784% -morphology Convolve 3x3:0.25,0.125,0,0.125,0,-0.125,0,-0.125,-0.25"},
    {"Noise",
     [] { return std::make_unique<YKNoiseKernel>(4.6f, YKNoiseKernel::kUniform, false, 1u); },
     "-attenuate 8 +noise Uniform"},
};

const PointTestImage& Picture() {
    static const PointTestImage picture(kWidth, kHeight, false);
    return picture;
}

// The picture with `reach` pixels of its edges repeated around it, as a kernel's source.
std::vector<uint32> Padded(int32 reach) {
    const int32 width = kWidth + 2 * reach;
    std::vector<uint32> padded(static_cast<size_t>(width) * (kHeight + 2 * reach));
    for (int32 y = 0; y < kHeight + 2 * reach; ++y) {
        const int32 sy = std::clamp(y - reach, 0, kHeight - 1);
        for (int32 x = 0; x < width; ++x) {
            padded[static_cast<size_t>(y) * width + x] =
                Picture().pixels[static_cast<size_t>(sy) * kWidth +
                                 std::clamp(x - reach, 0, kWidth - 1)];
        }
    }
    return padded;
}

void Ours(benchmark::State& state, const KernelEntry* entry, int32 threads) {
    const int32 reach = entry->make()->Reach();
    std::vector<uint32> source = Padded(reach);
    std::vector<uint32> destination(static_cast<size_t>(kWidth) * kHeight);
    const YKPixelPlane in{source.data(), kWidth + 2 * reach, kHeight + 2 * reach,
                          kWidth + 2 * reach};
    const YKPixelPlane out{destination.data(), kWidth, kHeight, kWidth};
    for (auto _ : state) {
        const auto kernel = entry->make();
        YKKernelRunner::Run(*kernel, in, out, threads);
        benchmark::DoNotOptimize(destination.data());
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}

// The picture as MIFF, written once.
std::string PictureMiff() {
    static const std::string path = [] {
        std::system((std::string("mkdir -p ") + kFolder).c_str());
        const std::string raw = std::string(kFolder) + "/picture.rgba";
        const std::string miff = std::string(kFolder) + "/picture.miff";
        std::ofstream file(raw, std::ios::binary);
        for (const uint32 pixel : Picture().pixels) {
            const char bytes[4] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8),
                                   static_cast<char>(pixel), static_cast<char>(pixel >> 24)};
            file.write(bytes, 4);
        }
        file.close();
        const std::string make = std::string(kConvert) + " -size " + std::to_string(kWidth) + "x" +
                                 std::to_string(kHeight) + " -depth 8 rgba:" + raw +
                                 " -alpha off " + miff;
        if (std::system(make.c_str()) != 0) {
            std::fprintf(stderr, "cannot make %s\n", miff.c_str());
            std::exit(1);
        }
        return miff;
    }();
    return path;
}

double SecondsOf(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Magick(benchmark::State& state, const KernelEntry* entry) {
    const std::string in = PictureMiff();
    const std::string out = std::string(kFolder) + "/out.miff";
    const std::string convert = std::string(kConvert) + " -limit thread 1 " + in + " ";
    std::string options;
    for (const char* c = entry->magick; *c != 0; ++c) {
        options += *c == '(' || *c == ')' ? std::string("\\") + *c : std::string(1, *c);
    }
    for (auto _ : state) {
        const double baseline = SecondsOf(convert + out);
        const double operation = SecondsOf(convert + options + " " + out);
        state.SetIterationTime(std::max(operation - baseline, 1e-6));
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<BenchRatio> ratios;
    for (const KernelEntry& entry : kKernels) {
        const std::string name = std::string("Kernel/") + entry.name;
        for (const int32 threads : {1, 2}) {
            benchmark::RegisterBenchmark((name + "/threads:" + std::to_string(threads)).c_str(),
                                         Ours, &entry, threads)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark((name + "/imagemagick").c_str(), Magick, &entry)
            ->UseManualTime()
            ->Iterations(5)
            ->Unit(benchmark::kMillisecond);
        ratios.push_back({std::string(entry.name) + ", 2 threads / 1",
                          name + "/threads:2/real_time", name + "/threads:1/real_time",
                          "2 threads / 1"});
        ratios.push_back({std::string(entry.name) + ", ours (1 thread) / ImageMagick",
                          name + "/threads:1/real_time",
                          name + "/imagemagick/iterations:5/manual_time", "ours / ImageMagick"});
    }
    return RunWithRatios(argc, argv, ratios);
}
