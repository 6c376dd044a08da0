// Merging a 1920x1080 layer into another with every merge method at opacity 255 and 128, row by
// row through the array forms, beside pixman compositing the same pixels (premultiplied, as it
// needs them) with its nearest operator, and beside memcpy of the same bytes.
//
// The destination is an opaque rendered layer: a gradient under overlapping solid discs. The
// source is an anti-aliased drawing layer: discs with one-pixel edges, soft-edged glows and
// translucent fills over a clear background. Its make-up is printed before the runs.

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "yk_composition.h"

namespace {

constexpr int32 kWidth = 1920;
constexpr int32 kHeight = 1080;
constexpr size_t kPixels = size_t(kWidth) * kHeight;

struct Disc {
    float x, y, radius, edge;  // edge: width of the coverage ramp in pixels
    uint32 colour, alpha;
};

// Paints discs front to back where they cover more than what is there.
void PaintDiscs(std::vector<uint32>& pixels, const std::vector<Disc>& discs) {
    for (const Disc& disc : discs) {
        const float reach = disc.radius + disc.edge;
        const int32 y0 = std::max(0, int32(disc.y - reach)),
                    y1 = std::min(kHeight, int32(disc.y + reach) + 1);
        const int32 x0 = std::max(0, int32(disc.x - reach)),
                    x1 = std::min(kWidth, int32(disc.x + reach) + 1);
        for (int32 y = y0; y < y1; ++y) {
            for (int32 x = x0; x < x1; ++x) {
                const float distance = std::hypot(x + 0.5f - disc.x, y + 0.5f - disc.y);
                const float cover =
                    std::clamp((disc.radius - distance) / disc.edge + 0.5f, 0.0f, 1.0f);
                const uint32 alpha = uint32(std::lround(cover * float(disc.alpha)));
                uint32& pixel = pixels[size_t(y) * kWidth + x];
                if (alpha > pixel >> 24) {
                    pixel = alpha << 24 | disc.colour;
                }
            }
        }
    }
}

struct Layers {
    std::vector<uint32> destination, source;
    Layers() : destination(kPixels), source(kPixels, 0) {
        std::mt19937 random(2024);
        const auto uniform = [&](float lo, float hi) {
            return std::uniform_real_distribution<float>(lo, hi)(random);
        };
        for (int32 y = 0; y < kHeight; ++y) {
            for (int32 x = 0; x < kWidth; ++x) {
                destination[size_t(y) * kWidth + x] = 0xFF000000u | uint32(x * 255 / kWidth) << 16 |
                                                      uint32(y * 255 / kHeight) << 8 | 96;
            }
        }
        std::vector<Disc> backdrop, drawing;
        for (int32 i = 0; i < 300; ++i) {
            backdrop.push_back({uniform(0, kWidth), uniform(0, kHeight), uniform(20, 160), 1,
                                uint32(random()) & 0xFFFFFF, 255});
        }
        PaintDiscs(destination, backdrop);
        for (int32 i = 0; i < 80; ++i) {
            const uint32 kind = random() % 10;  // 5 solid, 3 glowing, 2 translucent
            drawing.push_back({uniform(0, kWidth), uniform(0, kHeight), uniform(15, 110),
                               kind >= 5 && kind < 8 ? uniform(12, 40) : 1.0f,
                               uint32(random()) & 0xFFFFFF, kind >= 8 ? 150u : 255u});
        }
        PaintDiscs(source, drawing);
    }
};

const Layers& TheLayers() {
    static const Layers layers;
    return layers;
}

void PrintMakeUp() {
    size_t clear = 0, opaque = 0;
    for (uint32 p : TheLayers().source) {
        clear += p >> 24 == 0;
        opaque += p >> 24 == 255;
    }
    std::printf("source layer: %.1f%% clear, %.1f%% opaque, %.1f%% partial\n",
                100.0 * clear / kPixels, 100.0 * opaque / kPixels,
                100.0 * (kPixels - clear - opaque) / kPixels);
}

// Times `work` on a fresh copy of `start` each iteration.
template <class Work>
void Timed(benchmark::State& state, const std::vector<uint32>& start, std::vector<uint32>& target,
           Work work) {
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(target.data(), start.data(), kPixels * 4);
        state.ResumeTiming();
        work();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64(state.iterations()) * int64(kPixels) * 4);
}

void Ours(benchmark::State& state, int32 mode, uint32 level) {
    const Layers& layers = TheLayers();
    std::vector<uint32> d(kPixels);
    const yk_array_func merge = hash_array_func[mode];
    Timed(state, layers.destination, d, [&] {
        for (size_t row = 0; row < kPixels; row += kWidth) {
            merge(d.data() + row, layers.source.data() + row, level, kWidth);
        }
    });
}

void Memcpy(benchmark::State& state) {
    const Layers& layers = TheLayers();
    std::vector<uint32> d(kPixels);
    Timed(state, layers.destination, d,
          [&] { std::memcpy(d.data(), layers.source.data(), kPixels * 4); });
}

std::vector<uint32> Premultiplied(const std::vector<uint32>& straight) {
    std::vector<uint32> result(straight.size());
    std::transform(straight.begin(), straight.end(), result.begin(), [](uint32 p) {
        const uint32 a = p >> 24;
        const auto channel = [&](int shift) {
            return ((p >> shift & 255) * a + 127) / 255 << shift;
        };
        return a << 24 | channel(16) | channel(8) | channel(0);
    });
    return result;
}

void Pixman(benchmark::State& state, pixman_op_t op, uint32 level) {
    const std::vector<uint32> start = Premultiplied(TheLayers().destination);
    std::vector<uint32> source = Premultiplied(TheLayers().source), d(kPixels);
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.data(), kWidth * 4);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, d.data(), kWidth * 4);
    const pixman_color_t opacity = {0, 0, 0, uint16(level * 257)};
    pixman_image_t* mask = level == 255 ? nullptr : pixman_image_create_solid_fill(&opacity);
    Timed(state, start, d,
          [&] { pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight); });
    for (pixman_image_t* image : {src, dst, mask}) {
        if (image != nullptr) {
            pixman_image_unref(image);
        }
    }
}

struct Peer {
    int32 mode;
    const char* op_name;
    pixman_op_t op;
    double bar;
};

// Subtract and Average have no operator of their own in pixman; the nearest arithmetic stands in.
const Peer kPeers[] = {
    {YK_NORMAL, "OVER", PIXMAN_OP_OVER, 1},
    {YK_MULTIPLY, "MULTIPLY", PIXMAN_OP_MULTIPLY, 5},
    {YK_SCREEN, "SCREEN", PIXMAN_OP_SCREEN, 5},
    {YK_ADD, "ADD", PIXMAN_OP_ADD, 5},
    {YK_SUBTRACT, "DIFFERENCE", PIXMAN_OP_DIFFERENCE, 5},
    {YK_DARKEST, "DARKEN", PIXMAN_OP_DARKEN, 5},
    {YK_LIGHTEST, "LIGHTEN", PIXMAN_OP_LIGHTEN, 5},
    {YK_DIFFERENCE, "DIFFERENCE", PIXMAN_OP_DIFFERENCE, 5},
    {YK_AVERAGE, "ADD", PIXMAN_OP_ADD, 5},
    {YK_OVERLAY, "OVERLAY", PIXMAN_OP_OVERLAY, 5},
    {YK_REPLACE_HUE, "HSL_HUE", PIXMAN_OP_HSL_HUE, 4},
    {YK_REPLACE_SATURATION, "HSL_SATURATION", PIXMAN_OP_HSL_SATURATION, 4},
    {YK_REPLACE_LUMINOSITY, "HSL_LUMINOSITY", PIXMAN_OP_HSL_LUMINOSITY, 4},
    {YK_REPLACE_COLOR, "HSL_COLOR", PIXMAN_OP_HSL_COLOR, 4},
};

std::string OursName(int32 mode, uint32 level) {
    return std::string("Merge/") + yk_composition_label[mode] + "/" + std::to_string(level);
}
std::string PixmanName(const char* op, uint32 level) {
    return std::string("Pixman/") + op + "/" + std::to_string(level);
}

}  // namespace

int main(int argc, char** argv) {
    PrintMakeUp();
    std::vector<BenchRatio> ratios;
    benchmark::RegisterBenchmark("Memcpy", Memcpy)->Unit(benchmark::kMillisecond);
    for (uint32 level : {255u, 128u}) {
        for (int32 mode = 0; mode < YK_COMPOSITION_MODE_COUNT; ++mode) {
            benchmark::RegisterBenchmark(OursName(mode, level).c_str(), Ours, mode, level)
                ->Unit(benchmark::kMillisecond);
        }
        std::vector<std::string> registered;
        for (const Peer& peer : kPeers) {
            const std::string name = PixmanName(peer.op_name, level);
            if (std::find(registered.begin(), registered.end(), name) == registered.end()) {
                benchmark::RegisterBenchmark(name.c_str(), Pixman, peer.op, level)
                    ->Unit(benchmark::kMillisecond);
                registered.push_back(name);
            }
            char label[80];
            std::snprintf(label, sizeof label, "%s vs %s (bar %.0fx)",
                          OursName(peer.mode, level).c_str(), peer.op_name, peer.bar);
            ratios.push_back({label, OursName(peer.mode, level), name});
        }
        ratios.push_back(
            {OursName(YK_NORMAL, level) + " vs memcpy", OursName(YK_NORMAL, level), "Memcpy"});
    }
    return RunWithRatios(argc, argv, ratios);
}
