// Colour reduction against libimagequant, ImageMagick and netpbm on the same pictures: first a
// quality table (PSNR of the reduced picture against the original), then the speed of palette
// building plus mapping.
//
// The pictures are ImageMagick's built-in ones, made once into /tmp as 8-bit PPM: the rose photo
// scaled up, the logo and wizard drawings, a red-blue gradient and a plasma fractal with seed 1.
//
// Times are processor times. The peers run as programs: each run's time is taken minus the time
// of a pass-through of the same picture by the same program family (ImageMagick: plain convert;
// netpbm: ppmtoppm), so that only the reduction is compared. libimagequant runs in process,
// single-threaded (OpenMP is limited to one thread by re-running this program with
// OMP_NUM_THREADS=1).

#include <libimagequant.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "ChildSeconds.h"
#include "InverseQuantizer.h"
#include "NeuralNetQuantizer.h"
#include "OctreeQuantizer.h"

namespace {

constexpr const char* kConvert = "/usr/bin/convert-im6.q16";
constexpr const char* kFolder = "/tmp/gravik_quantize_bench";

// --- Pictures ---

struct Picture {
    std::string name, path;
    int32 w = 0, h = 0;
    std::vector<uint32> argb;  // ours: alpha 255
    std::vector<uint8> rgba;   // libimagequant's byte order
    Pixmap<uint32> View() const { return {w, h, w * 4, const_cast<uint32*>(argb.data())}; }
};

// Reads a binary PPM with maxval 255.
bool LoadPpm(Picture& picture) {
    std::ifstream in(picture.path, std::ios::binary);
    std::string magic;
    int32 maxval = 0;
    in >> magic >> picture.w >> picture.h >> maxval;
    in.get();
    if (!in || magic != "P6" || maxval != 255) {
        return false;
    }
    std::vector<uint8> rgb(size_t(picture.w) * picture.h * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
    for (size_t i = 0; i < rgb.size(); i += 3) {
        picture.argb.push_back(0xFF000000u | uint32(rgb[i]) << 16 | uint32(rgb[i + 1]) << 8 |
                               rgb[i + 2]);
        picture.rgba.insert(picture.rgba.end(), {rgb[i], rgb[i + 1], rgb[i + 2], 255});
    }
    return bool(in);
}

const std::vector<Picture>& Pictures() {
    static const std::vector<Picture> pictures = [] {
        const struct {
            const char* name;
            const char* make;  // convert arguments before the output
        } kSources[] = {
            {"rose", "rose: -resize 1200%"},
            {"logo", "logo:"},
            {"wizard", "wizard:"},
            {"gradient", "-size 1024x768 gradient:red-blue"},
            {"plasma", "-seed 1 -size 1024x768 plasma:"},
        };
        std::system((std::string("mkdir -p ") + kFolder).c_str());
        std::vector<Picture> made;
        for (const auto& source : kSources) {
            Picture picture;
            picture.name = source.name;
            picture.path = std::string(kFolder) + "/" + source.name + ".ppm";
            if (access(picture.path.c_str(), R_OK) != 0) {
                std::system(
                    (std::string(kConvert) + " " + source.make + " -depth 8 " + picture.path)
                        .c_str());
            }
            if (!LoadPpm(picture)) {
                std::fprintf(stderr, "cannot make %s\n", picture.path.c_str());
                std::exit(1);
            }
            made.push_back(std::move(picture));
        }
        return made;
    }();
    return pictures;
}

int64 TotalPixels() {
    int64 total = 0;
    for (const Picture& picture : Pictures()) {
        total += int64(picture.w) * picture.h;
    }
    return total;
}

// --- Reducers: a palette and one index per pixel ---

enum class Kind { kOctree, kNeuralNet, kWebSafe };

struct Reduction {
    std::vector<uint8> indices;
    std::vector<Quantizer::Cmap::Color> palette;
};

void Ours(Kind kind, const Picture& picture, int32 colors, bool dither, Reduction& out) {
    std::unique_ptr<Quantizer> quantizer;
    switch (kind) {
        case Kind::kOctree:
            quantizer = std::make_unique<OctreeQuantizer>(colors, picture.w, picture.h, 1);
            break;
        case Kind::kNeuralNet:
            quantizer = std::make_unique<NeuralNetQuantizer>(colors, picture.w, picture.h, 1);
            break;
        case Kind::kWebSafe:
            quantizer = std::make_unique<InverseQuantizer>(colors, picture.w, picture.h, 1);
            break;
    }
    if (kind == Kind::kWebSafe) {
        quantizer->SetCmap(*Quantizer::Cmap::GetCmap(0));
    } else {
        quantizer->Submit(picture.View(), false);
        quantizer->Reduce();
    }
    out.indices.resize(picture.argb.size());
    quantizer->Quantize(picture.View(), {picture.w, picture.h, picture.w, out.indices.data()},
                        dither ? Quantizer::DITHER_FLOYD_STEINBERG : Quantizer::DITHER_NONE);
    const Quantizer::Cmap& cmap = quantizer->GetCmap();
    out.palette.assign(cmap.colors, cmap.colors + _QUANTIZER_MAX_COLORS);
}

// libimagequant's own palette and remapping, at its default speed.
void Liq(const Picture& picture, int32 colors, bool dither, Reduction& out) {
    liq_attr* attr = liq_attr_create();
    liq_set_max_colors(attr, colors);
    liq_image* image = liq_image_create_rgba(attr, picture.rgba.data(), picture.w, picture.h, 0);
    liq_result* result = nullptr;
    if (liq_image_quantize(image, attr, &result) != LIQ_OK) {
        std::fprintf(stderr, "libimagequant failed on %s\n", picture.name.c_str());
        std::exit(1);
    }
    liq_set_dithering_level(result, dither ? 1.0f : 0.0f);
    out.indices.resize(picture.argb.size());
    liq_write_remapped_image(result, image, out.indices.data(), out.indices.size());
    const liq_palette* palette = liq_get_palette(result);
    out.palette.clear();
    for (uint32 i = 0; i < palette->count; ++i) {
        out.palette.push_back(
            {palette->entries[i].r, palette->entries[i].g, palette->entries[i].b});
    }
    liq_result_destroy(result);
    liq_image_destroy(image);
    liq_attr_destroy(attr);
}

// --- Quality ---

constexpr double kExact = 99.99;  // the PSNR given to a reduction without error

double Psnr(const Picture& picture, const Reduction& reduction) {
    double squares = 0;
    for (size_t i = 0; i < picture.argb.size(); ++i) {
        const uint32 p = picture.argb[i];
        const Quantizer::Cmap::Color c = reduction.palette[reduction.indices[i]];
        squares += Quantizer::RGBDistance(p >> 16 & 255, p >> 8 & 255, p & 255, c);
    }
    const double mse = squares / (3.0 * double(picture.argb.size()));
    return mse == 0 ? kExact : 10 * std::log10(255.0 * 255.0 / mse);
}

void PrintRow(const char* picture, const char* quantizer, const double* psnr) {
    std::printf("%-10s %-15s", picture, quantizer);
    for (int32 c = 0; c < 6; ++c) {
        if (psnr[c] == kExact) {
            std::printf(" %9s", "exact");
        } else {
            std::printf(" %9.2f", psnr[c]);
        }
    }
    std::printf("\n");
}

void PrintQualityTable() {
    const char* kNames[] = {"octree", "neural net", "web-safe (216)", "libimagequant"};
    const int32 kColors[] = {256, 64, 16};
    std::printf("PSNR in dB (fs: Floyd-Steinberg, or dithering level 1.0 for libimagequant)\n");
    std::printf("%-10s %-15s", "picture", "quantizer");
    for (const int32 colors : kColors) {
        std::printf(" %6d fs %6d --", colors, colors);
    }
    std::printf("\n");
    const size_t n = Pictures().size();
    std::vector<std::array<std::array<double, 6>, 4>> psnr(n);
    Reduction reduction;
    for (size_t p = 0; p < n; ++p) {
        const Picture& picture = Pictures()[p];
        for (int32 k = 0; k < 4; ++k) {
            for (int32 c = 0; c < 6; ++c) {
                const bool dither = c % 2 == 0;
                if (k == 3) {
                    Liq(picture, kColors[c / 2], dither, reduction);
                } else {
                    Ours(Kind(k), picture, kColors[c / 2], dither, reduction);
                }
                psnr[p][k][c] = Psnr(picture, reduction);
            }
            PrintRow(picture.name.c_str(), kNames[k], psnr[p][k].data());
        }
    }
    for (int32 k = 0; k < 4; ++k) {
        double average[6] = {};
        for (size_t p = 0; p < n; ++p) {
            for (int32 c = 0; c < 6; ++c) {
                average[c] += psnr[p][k][c] / double(n);
            }
        }
        PrintRow("average", kNames[k], average);
    }
    std::printf("(an exact reduction counts as %.2f dB in the averages)\n\n", kExact);

    // The neural network's bar, picture by picture, to show where the difference comes from.
    std::printf("neural net - libimagequant at 256 colours (bar: no worse than -1.00 dB)\n");
    double all[2] = {}, inexact[2] = {};
    int32 inexactCount = 0;
    for (size_t p = 0; p < n; ++p) {
        const double fs = psnr[p][1][0] - psnr[p][3][0], plain = psnr[p][1][1] - psnr[p][3][1];
        const bool exact = psnr[p][3][0] == kExact || psnr[p][3][1] == kExact;
        std::printf("  %-10s fs %+7.2f  plain %+7.2f%s\n", Pictures()[p].name.c_str(), fs, plain,
                    exact ? "  (libimagequant exact)" : "");
        all[0] += fs / double(n);
        all[1] += plain / double(n);
        if (!exact) {
            inexact[0] += fs;
            inexact[1] += plain;
            ++inexactCount;
        }
    }
    std::printf("  %-10s fs %+7.2f  plain %+7.2f\n", "average", all[0], all[1]);
    if (inexactCount > 0) {
        std::printf("  %-10s fs %+7.2f  plain %+7.2f  (pictures not reduced exactly)\n\n",
                    "average", inexact[0] / inexactCount, inexact[1] / inexactCount);
    }
}

// --- Speed ---

// Bytes for the ratios; seconds per pixel, which reads as milliseconds per megapixel.
void Count(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * TotalPixels() * 4);
    state.counters["time/px"] =
        benchmark::Counter(double(TotalPixels()), benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

void BM_Ours(benchmark::State& state, Kind kind, bool dither) {
    Reduction reduction;
    for (auto _ : state) {
        for (const Picture& picture : Pictures()) {
            Ours(kind, picture, 256, dither, reduction);
            benchmark::DoNotOptimize(reduction.indices.data());
        }
    }
    Count(state);
}

void BM_Liq(benchmark::State& state, bool dither) {
    Reduction reduction;
    for (auto _ : state) {
        for (const Picture& picture : Pictures()) {
            Liq(picture, 256, dither, reduction);
            benchmark::DoNotOptimize(reduction.indices.data());
        }
    }
    Count(state);
}

std::string Filled(std::string command, const Picture& picture) {
    const auto put = [&](const std::string& key, const std::string& value) {
        command.replace(command.find(key), key.size(), value);
    };
    put("{in}", picture.path);
    put("{out}", std::string(kFolder) + "/out.ppm");
    return command;
}

// A program's time for the reduction: the run minus a pass-through of the same picture.
void BM_Program(benchmark::State& state, std::string reduce, std::string passThrough) {
    for (auto _ : state) {
        double seconds = 0;
        for (const Picture& picture : Pictures()) {
            const double whole = SecondsOf(Filled(reduce, picture));
            const double plain = SecondsOf(Filled(passThrough, picture));
            if (whole < 0 || plain < 0) {
                state.SkipWithError(("failed: " + reduce).c_str());
                return;
            }
            seconds += whole - plain;
        }
        state.SetIterationTime(std::max(1e-6, seconds));
    }
    Count(state);
}

// The Web-safe cube as a map file for pnmremap.
std::string WebSafeMapFile() {
    const std::string path = std::string(kFolder) + "/websafe.ppm";
    std::ofstream out(path, std::ios::binary);
    out << "P6\n216 1\n255\n";
    for (int32 i = 0; i < 216; ++i) {
        const Quantizer::Cmap::Color c = Quantizer::Cmap::GetCmap(0)->colors[i];
        out.put(char(c.red)).put(char(c.green)).put(char(c.blue));
    }
    return path;
}

void RegisterAll() {
    const std::string magick = std::string(kConvert) + " -limit thread 1 {in} ";
    const std::string map = " -mapfile=" + WebSafeMapFile() + " {in} > {out} 2>/dev/null";
    const std::string ppm = "ppmtoppm < {in} > {out}";
    const auto ours = [](const char* name, Kind kind, bool dither) {
        benchmark::RegisterBenchmark(name, BM_Ours, kind, dither)->Unit(benchmark::kMillisecond);
    };
    const auto program = [](const char* name, const std::string& reduce,
                            const std::string& passThrough) {
        benchmark::RegisterBenchmark(name, BM_Program, reduce, passThrough)
            ->UseManualTime()
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
    };
    ours("octree/fs", Kind::kOctree, true);
    ours("octree/plain", Kind::kOctree, false);
    ours("neural_net/fs", Kind::kNeuralNet, true);
    ours("neural_net/plain", Kind::kNeuralNet, false);
    ours("web_safe/fs", Kind::kWebSafe, true);
    ours("web_safe/plain", Kind::kWebSafe, false);
    benchmark::RegisterBenchmark("libimagequant/dither1", BM_Liq, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("libimagequant/dither0", BM_Liq, false)
        ->Unit(benchmark::kMillisecond);
    program("imagemagick/default", magick + "-colors 256 {out}", magick + "{out}");
    program("imagemagick/fs", magick + "-dither FloydSteinberg -colors 256 {out}",
            magick + "{out}");
    program("imagemagick/plain", magick + "+dither -colors 256 {out}", magick + "{out}");
    program("pnmremap/fs", "pnmremap -fs" + map, ppm);
    program("pnmremap/plain", "pnmremap -nofs" + map, ppm);
}

}  // namespace

int main(int argc, char** argv) {
    // libimagequant's OpenMP reads its thread count when loaded: run again with one thread.
    if (std::getenv("OMP_NUM_THREADS") == nullptr) {
        setenv("OMP_NUM_THREADS", "1", 1);
        execv("/proc/self/exe", argv);
    }
    PrintQualityTable();
    RegisterAll();
    const auto peer = [](const char* name) {
        return std::string(name) + "/iterations:3/manual_time";
    };
    // Fields by name, so that the record may grow.
    const auto ratio = [](const char* label, const std::string& ours, const std::string& peer) {
        BenchRatio r;
        r.label = label;
        r.ours = ours;
        r.peer = peer;
        return r;
    };
    return RunWithRatios(
        argc, argv,
        {
            ratio("octree fs vs ImageMagick -colors 256 (bar 3x)", "octree/fs",
                  peer("imagemagick/default")),
            ratio("octree fs vs ImageMagick fs", "octree/fs", peer("imagemagick/fs")),
            ratio("octree plain vs ImageMagick +dither", "octree/plain", peer("imagemagick/plain")),
            ratio("web-safe fs vs pnmremap -fs (bar 3x)", "web_safe/fs", peer("pnmremap/fs")),
            ratio("web-safe plain vs pnmremap -nofs", "web_safe/plain", peer("pnmremap/plain")),
            ratio("octree fs vs libimagequant dither 1", "octree/fs", "libimagequant/dither1"),
            ratio("neural net fs vs libimagequant dither 1", "neural_net/fs",
                  "libimagequant/dither1"),
            ratio("neural net plain vs libimagequant dither 0", "neural_net/plain",
                  "libimagequant/dither0"),
        });
}
