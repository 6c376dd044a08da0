// Animated GIF export of the sample banner (examples/banner.gr).
//
// Time: our whole export (each frame rendered from the document, the palette, the frame
// differences, coding and writing) against ImageMagick making an optimised GIF of the same frames
// from PNGs, one thread. Both are processor time: ours of this process, ImageMagick's of the child.
// Size: our file against gifsicle -O3's optimisation of the same frames with the same palette
// (our file decoded and written back with every frame whole), and against gifsicle -O3 run on our
// own file; and the animated WebP files of the same frames, lossless, of the true colours and
// through the GIF's palette (same colour options), against our GIF.

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "BenchRatios.h"
#include "ChildSeconds.h"
#include "YKAnimGifIO.h"
#include "YKAnimationSource.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKDocumentFrames.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKPngIO.h"
#include "YKRaster.h"
#include "YKRasterList.h"
#include "YKRasterListSource.h"
#include "YKReadGif.h"
#include "YKWebpAnimIO.h"
#include "YKWriteGif.h"

namespace {

constexpr const char* kMagick = "/usr/bin/convert";
constexpr const char* kGifsicle = "gifsicle";

struct Banner {
    YKDocument* document = nullptr;
    YKRasterList frames;  // rendered once, to time the writer apart from rendering
    std::vector<float> durations;
    int64 pixelBytes = 0;
    std::string folder;
    std::string pngs;  // the frames for ImageMagick, as a shell pattern
};

std::string PathIn(const Banner& banner, const std::string& name) {
    return banner.folder + "/" + name;
}

long FileSize(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? static_cast<long>(status.st_size) : -1;
}

double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

bool WriteOurs(YKAnimationSource& source, const std::string& path) {
    YKMessage options;
    options.AddInt32("gif_loop", 0);
    std::string error;
    if (!YKAnimGifIO().Write(path.c_str(), source, &options, nullptr, &error)) {
        std::fprintf(stderr, "export failed: %s\n", error.c_str());
        return false;
    }
    return true;
}

// Lossless, the frames whole or through the palette the GIF writer makes with its default
// colour options.
bool WriteWebp(YKAnimationSource& source, const std::string& path, bool palette) {
    YKMessage options;
    options.AddInt32("gif_loop", 0);
    options.AddBool("webp_lossless", true);
    options.AddBool("webp_palette", palette);
    std::string error;
    if (!YKWebpAnimIO().Write(path.c_str(), source, &options, nullptr, &error)) {
        std::fprintf(stderr, "WebP export failed: %s\n", error.c_str());
        return false;
    }
    return true;
}

// Our export decoded, each composed frame written whole with our file's global palette: the
// same frames and palette, for gifsicle to optimise its own way.
bool WriteWhole(const std::string& ours, const std::string& path) {
    YKRasterList composed;
    if (!YKReadGif().ReadAllFile(ours.c_str(), composed, nullptr) || composed.CountItems() == 0) {
        return false;
    }
    std::FILE* file = std::fopen(ours.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
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

std::string Gifsicle(const std::string& in, const std::string& out) {
    return std::string(kGifsicle) + " -O3 '" + in + "' -o '" + out + "'";
}

std::string Magick(const Banner& banner, const std::string& out) {
    return std::string(kMagick) + " -limit thread 1 " + banner.pngs + " -layers optimize '" + out +
           "'";
}

// With `render`, every frame is rendered from the document inside the timed export.
void Ours(benchmark::State& state, Banner* banner, bool render) {
    const std::string path = PathIn(*banner, "bench-ours.gif");
    YKDocumentFrames document(banner->document, 1, banner->document->EnvelopManager()->MaxFrame());
    YKRasterListSource rendered(banner->frames, banner->durations);
    for (auto _ : state) {
        const double start = ProcessSeconds();
        if (!WriteOurs(render ? static_cast<YKAnimationSource&>(document) : rendered, path)) {
            state.SkipWithError("export failed");
            break;
        }
        state.SetIterationTime(ProcessSeconds() - start);
    }
    state.SetBytesProcessed(state.iterations() * banner->pixelBytes);
}

void Peer(benchmark::State& state, std::string command, Banner* banner) {
    for (auto _ : state) {
        const double seconds = SecondsOf(command);
        if (seconds < 0) {
            state.SkipWithError(("failed: " + command).c_str());
            break;
        }
        state.SetIterationTime(std::max(1e-6, seconds));
    }
    state.SetBytesProcessed(state.iterations() * banner->pixelBytes);
}

// Renders the frames once: ImageMagick reads them as PNGs, the writer-only timing from memory.
// False with a message when it cannot.
bool Prepare(Banner& banner) {
    YKEnvelopManager* manager = banner.document->EnvelopManager();
    for (int32 f = 1; f <= manager->MaxFrame(); ++f) {
        std::string error;
        YKRaster* raster = banner.document->RenderFrame(f, &error);
        char name[32];
        std::snprintf(name, sizeof name, "frame%02d.png", f);
        if (raster == nullptr || !YKPngIO::Write(*raster, PathIn(banner, name).c_str(), &error)) {
            std::fprintf(stderr, "frame %d: %s\n", f, error.c_str());
            return false;
        }
        banner.frames.AddItem(raster);
        banner.durations.push_back(manager->FrameDuration(f));
        banner.pixelBytes += raster->BitsLength();
    }
    banner.pngs = "'" + banner.folder + "'/frame*.png";
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    static Banner banner;
    banner.folder = "/tmp/gravik-export-bench-" + std::to_string(getpid());
    std::filesystem::create_directories(banner.folder);
    YKDispatcher dispatcher;
    const std::string file = std::string(GRAVIK_EXAMPLES) + "/banner.gr";
    std::string error;
    banner.document = YKDocument::Load(file.c_str(), "banner.gr", false, &dispatcher, &error);
    if (banner.document == nullptr || !Prepare(banner)) {
        std::fprintf(stderr, "cannot prepare the sample banner: %s\n", error.c_str());
        return 1;
    }
    const std::string ours = PathIn(banner, "ours.gif");
    const std::string whole = PathIn(banner, "whole.gif");
    const std::string optimised = PathIn(banner, "whole-O3.gif");
    const std::string oursOptimised = PathIn(banner, "ours-O3.gif");
    YKDocumentFrames source(banner.document, 1, banner.document->EnvelopManager()->MaxFrame());
    if (!WriteOurs(source, ours) || !WriteWhole(ours, whole) ||
        SecondsOf(Gifsicle(whole, optimised)) < 0 || SecondsOf(Gifsicle(ours, oursOptimised)) < 0) {
        std::fputs("cannot make the files to compare (is gifsicle installed?)\n", stderr);
        return 1;
    }
    const long size = FileSize(ours);
    std::printf(
        "sample banner, %d frames: ours %ld bytes; same frames whole %ld;"
        " gifsicle -O3 of those %ld (ours / it %.3f); gifsicle -O3 of ours %ld"
        " (ours / it %.3f)\n",
        banner.document->EnvelopManager()->MaxFrame(), size, FileSize(whole), FileSize(optimised),
        double(size) / double(FileSize(optimised)), FileSize(oursOptimised),
        double(size) / double(FileSize(oursOptimised)));

    const std::string trueColor = PathIn(banner, "true-colour.webp");
    const std::string reduced = PathIn(banner, "palette.webp");
    YKRasterListSource rendered(banner.frames, banner.durations);
    if (!WriteWebp(rendered, trueColor, false) || !WriteWebp(rendered, reduced, true)) {
        return 1;
    }
    std::printf(
        "lossless animated WebP: true colours %ld bytes (/ our GIF %.3f); through the GIF's"
        " palette %ld (/ our GIF %.3f)\n",
        FileSize(trueColor), double(FileSize(trueColor)) / double(size), FileSize(reduced),
        double(FileSize(reduced)) / double(size));

    benchmark::RegisterBenchmark("export/banner/ours", Ours, &banner, true)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("export/banner/ours-writer-only", Ours, &banner, false)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("export/banner/imagemagick", Peer,
                                 Magick(banner, PathIn(banner, "magick.gif")), &banner)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    // Our export's speed reads as peer time over ours; the bar is our time at most half theirs.
    const int status = RunWithRatios(
        argc, argv,
        {{"banner export, ImageMagick time / ours (bar 2)", "export/banner/ours/manual_time",
          "export/banner/imagemagick/iterations:5/manual_time", ""}});
    if (std::getenv("GRAVIK_KEEP_GIFS") == nullptr) {
        std::filesystem::remove_all(banner.folder);
    }
    return status;
}
