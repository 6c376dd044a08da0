// Animated GIF export of the sample banner's frames against gifsicle -O3.
//
// Size: our animated GIF beside what gifsicle -O3 makes of an unoptimised GIF of the same frames
// and palette (every frame whole, no transparency). Time: our whole export (palette, frame
// differences, coding) against gifsicle -O3 optimising that unoptimised file, in the same run;
// wall time, since gifsicle runs as a program of its own.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "BenchRatios.h"
#include "SampleBanner.h"
#include "YKAnimGifIO.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKRasterList.h"
#include "YKRasterListSource.h"
#include "YKReadGif.h"
#include "YKWriteGif.h"

namespace {

constexpr const char* kGifsicle = "gifsicle";

struct Banner {
    YKRasterList frames;
    std::vector<float> delays;
    int64 pixelBytes = 0;
    std::string ours;         // our export
    std::string unoptimised;  // the same frames and palette, every frame whole
    std::string optimised;    // gifsicle -O3 of the unoptimised one
};

std::string TempFile(const std::string& name) {
    return "/tmp/gravik-gif-writer-" + std::to_string(getpid()) + "-" + name + ".gif";
}

long FileSize(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? static_cast<long>(status.st_size) : -1;
}

bool WriteOurs(Banner& banner, const std::string& path) {
    YKRasterListSource source(banner.frames, banner.delays);
    YKMessage options;
    options.AddInt32("gif_loop", 0);
    std::string error;
    if (!YKAnimGifIO().Write(path.c_str(), source, &options, nullptr, &error)) {
        std::fprintf(stderr, "export failed: %s\n", error.c_str());
        return false;
    }
    return true;
}

// Our export decoded, each composed frame written whole with our file's global palette.
bool WriteUnoptimised(const std::string& ours, const std::string& path) {
    YKRasterList composed;
    if (!YKReadGif().ReadAllFile(ours.c_str(), composed, nullptr)) {
        return false;
    }
    std::FILE* file = std::fopen(ours.c_str(), "rb");
    uint8 head[13 + 768] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    const int32 colors = 2 << (head[10] & 7);
    if (got < 13 + std::size_t(colors) * 3) {
        return false;
    }
    std::unordered_map<uint32, uint8> indexOf;
    for (int32 i = colors - 1; i >= 0; --i) {
        const uint8* c = head + 13 + i * 3;
        indexOf[0xFF000000u | uint32{c[0]} << 16 | uint32{c[1]} << 8 | c[2]] = uint8(i);
    }
    const YKRaster& first = *composed.ItemAt(0);
    YKWriteGif writer;
    YKWriteGif::SGlobalInfo global;
    global.width = first.Width();
    global.height = first.Height();
    global.colorCount = colors;
    global.colorMap = head + 13;
    global.loopCount = 0;
    if (!writer.CreateFile(path.c_str(), global, nullptr)) {
        return false;
    }
    std::vector<uint8> indices(std::size_t(first.Width()) * first.Height());
    for (int32 f = 0; f < composed.CountItems(); ++f) {
        const auto* pixels = reinterpret_cast<const uint32*>(composed.ItemAt(f)->Bits());
        bool transparent = false;
        for (std::size_t i = 0; i < indices.size(); ++i) {
            transparent = transparent || (pixels[i] >> 24) == 0;
            indices[i] = (pixels[i] >> 24) == 0 ? 0 : indexOf.at(pixels[i]);
        }
        YKWriteGif::SLocalInfo local;
        local.width = global.width;
        local.height = global.height;
        local.delay = 8;
        // Frames with holes need the screen cleared between them, and index 0 seen through.
        local.flags = transparent ? YKWriteGif::kDisposeBackground : YKWriteGif::kDisposeNone;
        local.transparentIndex = transparent ? 0 : -1;
        writer.AddFrame8(indices.data(), local);
    }
    return writer.CloseFile();
}

bool RunGifsicle(const std::string& in, const std::string& out) {
    const std::string command = std::string(kGifsicle) + " -O3 '" + in + "' -o '" + out + "'";
    return std::system(command.c_str()) == 0;
}

void Ours(benchmark::State& state, Banner* banner) {
    const std::string path = TempFile("bench-ours");
    for (auto _ : state) {
        if (!WriteOurs(*banner, path)) {
            state.SkipWithError("export failed");
            break;
        }
    }
    unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * banner->pixelBytes);
}

void Gifsicle(benchmark::State& state, Banner* banner) {
    const std::string path = TempFile("bench-gifsicle");
    for (auto _ : state) {
        if (!RunGifsicle(banner->unoptimised, path)) {
            state.SkipWithError("gifsicle failed");
            break;
        }
    }
    unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * banner->pixelBytes);
}

}  // namespace

int main(int argc, char** argv) {
    static Banner banner;
    YKDispatcher dispatcher;
    YKDocument* document = YKBuildSampleBanner(&dispatcher);
    if (document == nullptr) {
        std::fputs("cannot build the sample banner\n", stderr);
        return 1;
    }
    YKEnvelopManager* manager = document->EnvelopManager();
    for (int32 f = 1; f <= manager->MaxFrame(); ++f) {
        std::string error;
        YKRaster* raster = document->RenderFrame(f, &error);
        if (raster == nullptr) {
            std::fprintf(stderr, "frame %d: %s\n", f, error.c_str());
            return 1;
        }
        banner.frames.AddItem(raster);
        banner.delays.push_back(manager->FrameDuration(f));
        banner.pixelBytes += raster->BitsLength();
    }
    banner.ours = TempFile("ours");
    banner.unoptimised = TempFile("unoptimised");
    banner.optimised = TempFile("gifsicle-O3");
    if (!WriteOurs(banner, banner.ours) || !WriteUnoptimised(banner.ours, banner.unoptimised) ||
        !RunGifsicle(banner.unoptimised, banner.optimised)) {
        std::fputs("cannot make the files to compare (is gifsicle installed?)\n", stderr);
        return 1;
    }
    const long ours = FileSize(banner.ours);
    const long theirs = FileSize(banner.optimised);
    std::printf(
        "sample banner, %d frames: ours %ld bytes, unoptimised %ld, gifsicle -O3 %ld;"
        " size ratio (ours / gifsicle) %.3f\n",
        banner.frames.CountItems(), ours, FileSize(banner.unoptimised), theirs,
        double(ours) / double(theirs));

    benchmark::RegisterBenchmark("AnimGif/banner/ours", Ours, &banner)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("AnimGif/banner/gifsicle-O3", Gifsicle, &banner)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    const int status =
        RunWithRatios(argc, argv,
                      {{"banner export (ours / gifsicle -O3)", "AnimGif/banner/ours/real_time",
                        "AnimGif/banner/gifsicle-O3/real_time", ""}});
    for (const std::string* path : {&banner.ours, &banner.unoptimised, &banner.optimised}) {
        if (std::getenv("GRAVIK_KEEP_GIFS") == nullptr) {
            unlink(path->c_str());
        }
    }
    return status;
}
