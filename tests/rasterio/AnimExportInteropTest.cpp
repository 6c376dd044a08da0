// Our animated WebP and APNG files judged by peers: webpmux describes the frames, durations and
// loop we meant, ImageMagick decodes the WebP frames, apngdis and Python's imaging library the
// APNG frames; lossless frames must come back exactly. A WebP through the GIF's palette shows
// exactly what our GIF of the same frames and colour options shows.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <unordered_set>

#include "GifExportFiles.h"
#include "GifPeers.h"
#include "YKAnimGifIO.h"
#include "YKApngIO.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKPngIO.h"
#include "YKRasterList.h"
#include "YKRasterListSource.h"
#include "YKWebpAnimIO.h"

namespace {

using gif_export_test::MakeRaster;
using gif_peers::Pixels;

constexpr int32 kWidth = 40;
constexpr int32 kHeight = 24;
constexpr uint32 kBack = 0xFF336699;

// An opaque sky with a square crossing it (changes that can go over the frame before), a
// translucent band that changes every other frame and a transparent foot (changes that cannot).
uint32 Pixel(int32 f, int32 x, int32 y) {
    if (y < 16) {
        const bool square = x >= 2 + 5 * f && x < 10 + 5 * f && y >= 4 && y < 12;
        return square ? 0xFFE0201Fu : 0xFF2040A0u + uint32(x) * 3;
    }
    if (y < 22) {
        return uint32(96 + 40 * (f / 2)) << 24 | uint32(x * 6) << 16 | 0x80C0;
    }
    return 0;
}

struct Case {
    const char* name;
    int32 loop;  // -1: no "gif_loop"
    bool hasBack;
    int32 quality;  // -1: lossless WebP
    int32 speed;    // -1: the frames' own delays
};

// What Python's imaging library reads of an animation: frames composed as a browser shows them.
struct PilRead {
    int32 loop = -1;
    std::vector<int32> durations;  // milliseconds
    std::vector<Pixels> frames;
};

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kPilDump = R"(
import sys
from PIL import Image
im = Image.open(sys.argv[1])
print(im.info.get('loop', -1))
with open(sys.argv[2], 'wb') as out:
    for i in range(im.n_frames):
        im.seek(i)
        im.load()
        print(round(im.info['duration']))
        out.write(im.convert('RGBA').tobytes())
)";

// Peers are found by each test; none is required by all.
class PilPeerTest : public gif_peers::GifPeerTest {
protected:
    void SetUp() override {}

    void RequirePil() {
        if (system((std::string(kPython) + " -c 'import PIL' 2>/dev/null").c_str()) != 0) {
            GTEST_SKIP() << "Python's imaging library is not installed";
        }
    }

    PilRead Pil(const std::string& path, size_t size = size_t(kWidth) * kHeight) {
        PilRead read;
        const Result result = Run(kPython, {"-c", kPilDump, path, mDir.PathOf("pil.rgba")});
        EXPECT_EQ(result.status, 0) << result.err;
        std::istringstream lines(result.out);
        lines >> read.loop;
        for (int32 ms = 0; lines >> ms;) {
            read.durations.push_back(ms);
        }
        const std::string rgba = ReadBytes(mDir.PathOf("pil.rgba"));
        for (size_t at = 0; (at + size) * 4 <= rgba.size(); at += size) {
            read.frames.push_back(gif_peers::FromRgba(rgba, at, size));
        }
        return read;
    }
};

// Frame 2 is unusable: its time goes to frame 1. `repeat` shows the last frame once more.
class AnimExportInteropTest : public PilPeerTest, public ::testing::WithParamInterface<Case> {
protected:
    // Writes the animation with `writer`, and gives the frames and delays (hundredths) it must
    // show.
    void Export(const YKRasterAnimIO& writer, const std::string& path, bool repeat) {
        const Case& c = GetParam();
        for (int32 f = 0; f < 5; ++f) {
            mFrames.AddItem(MakeRaster(kWidth, kHeight, [f](int32 x, int32 y) {
                                return Pixel(f, x, y);
                            }).release());
        }
        std::vector<float> delays = {10, 20, 30, 40, 50};
        if (repeat) {
            mFrames.AddItem(mFrames.ItemAt(4)->DuplicateRaster(YK_RASTER_OWN).release());
            delays.push_back(60);
        }
        YKMessage options;
        if (c.loop >= 0) {
            options.AddInt32("gif_loop", c.loop);
        }
        options.AddBool("ra_hasbackcol", c.hasBack);
        options.AddInt32("ra_back_col", int32(kBack));
        options.AddBool("webp_lossless", c.quality < 0);
        options.AddInt32("webp_quality", c.quality);
        options.AddBool("gif_use_speed", c.speed >= 0);
        options.AddInt32("gif_speed", c.speed);
        YKRasterListSource source(mFrames, delays, {2});
        std::string error;
        ASSERT_TRUE(writer.Write(path.c_str(), source, &options, nullptr, &error)) << error;

        for (const int32 f : {0, 1, 3, 4}) {
            mExpected.push_back(Expected(f));
        }
        mDelays = {10, 50, 40, 50};
        if (repeat) {
            mExpected.push_back(mExpected.back());
            mDelays.push_back(60);
        }
        if (c.speed >= 0) {
            mDelays.assign(mDelays.size(), c.speed);
        }
    }

    Pixels Expected(int32 f) const {
        Pixels pixels;
        for (int32 y = 0; y < kHeight; ++y) {
            for (int32 x = 0; x < kWidth; ++x) {
                pixels.push_back(Pixel(f, x, y));
            }
        }
        if (GetParam().hasBack) {
            auto raster = MakeRaster(
                kWidth, kHeight, [&](int32 x, int32 y) { return pixels[size_t(y * kWidth + x)]; });
            YKRasterIO::RemoveTransparency(*raster, kBack);
            pixels.clear();
            for (int32 y = 0; y < kHeight; ++y) {
                const auto* row =
                    reinterpret_cast<const uint32*>(raster->Bits() + y * raster->BytesPerRow());
                pixels.insert(pixels.end(), row, row + kWidth);
            }
        }
        return pixels;
    }

    // The number of plays the file must say: "gif_loop" N is N + 1 plays, as a GIF's.
    int32 Plays() const {
        const int32 loop = GetParam().loop;
        return loop < 0 ? 1 : loop == 0 ? 0 : loop + 1;
    }

    YKRasterList mFrames;
    std::vector<Pixels> mExpected;
    std::vector<int32> mDelays;
};

// The largest difference of any channel over the frame, and the mean one; invisible colours
// (alpha 0) do not count.
std::pair<int32, double> Errors(const Pixels& ours, const Pixels& theirs) {
    if (ours.size() != theirs.size()) {
        return {256, 256.0};
    }
    int32 worst = 0;
    int64 sum = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        const uint32 a = ours[i] >> 24 == 0 ? 0 : ours[i];
        const uint32 b = theirs[i] >> 24 == 0 ? 0 : theirs[i];
        for (int shift = 0; shift < 32; shift += 8) {
            const int32 error = std::abs(int32(a >> shift & 255) - int32(b >> shift & 255));
            worst = std::max(worst, error);
            sum += error;
        }
    }
    return {worst, double(sum) / double(ours.size() * 4)};
}

class PeerRun : public AnimExportInteropTest {
protected:
    std::vector<int32> ExpectedMs() const {
        std::vector<int32> ms;
        for (const int32 d : mDelays) {
            ms.push_back(d * 10);
        }
        return ms;
    }

    // Lossless frames come back exactly; lossy ones close.
    void ExpectFrames(const std::vector<Pixels>& theirs, const char* peer) {
        ASSERT_EQ(theirs.size(), mExpected.size()) << peer;
        for (size_t i = 0; i < theirs.size(); ++i) {
            const auto [worst, mean] = Errors(mExpected[i], theirs[i]);
            if (GetParam().quality < 0) {
                EXPECT_EQ(worst, 0) << peer << ", frame " << i;
            } else {
                EXPECT_LT(mean, 6.0) << peer << ", frame " << i;
            }
        }
    }
};

using WebpInteropTest = PeerRun;

TEST_P(WebpInteropTest, PeersShowWhatWeExported) {
    const std::string webpmux = gif_peers::FindProgram({"/usr/bin/webpmux"});
    mMagick = gif_peers::FindProgram({"/usr/bin/convert-im6.q16", "/usr/bin/convert"});
    if (webpmux.empty() || mMagick.empty()) {
        GTEST_SKIP() << "webpmux or ImageMagick is not installed";
    }
    RequirePil();
    const std::string path = mDir.PathOf("anim.webp");
    Export(YKWebpAnimIO(), path, false);

    const Result info = Run(webpmux, {"-info", path});
    ASSERT_EQ(info.status, 0) << info.err;
    const size_t loop = info.out.find("Loop Count");
    ASSERT_NE(loop, std::string::npos) << info.out;
    EXPECT_EQ(std::atoi(info.out.c_str() + info.out.find(':', loop) + 1), Plays());
    // The frame table: rows "N: width height alpha x y duration ...", after its heading.
    std::vector<int32> durations;
    std::istringstream rows(info.out.substr(info.out.find("No.:")));
    std::string line;
    std::getline(rows, line);
    while (std::getline(rows, line)) {
        std::istringstream row(line);
        std::string number, width, height, alpha, x, y;
        int32 duration = 0;
        if (row >> number >> width >> height >> alpha >> x >> y >> duration) {
            durations.push_back(duration);
        }
    }
    EXPECT_EQ(durations, ExpectedMs()) << info.out;

    const PilRead pil = Pil(path);
    EXPECT_EQ(pil.loop, Plays());
    EXPECT_EQ(pil.durations, ExpectedMs());
    ExpectFrames(pil.frames, "PIL");
    // ImageMagick composes every frame over the one before, even those stored to replace it,
    // so it judges only frames without translucency.
    if (GetParam().hasBack) {
        const Result decoded = Magick({path, "-coalesce", "-depth", "8", "rgba:-"});
        ASSERT_EQ(decoded.status, 0) << decoded.err;
        const size_t size = size_t(kWidth) * kHeight;
        std::vector<Pixels> frames;
        for (size_t at = 0; (at + size) * 4 <= decoded.out.size(); at += size) {
            frames.push_back(gif_peers::FromRgba(decoded.out, at, size));
        }
        ExpectFrames(frames, "ImageMagick");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WebpInteropTest,
                         ::testing::Values(Case{"LosslessOnce", -1, false, -1, -1},
                                           Case{"LosslessForEverOverBack", 0, true, -1, -1},
                                           Case{"LossyThreeLoopsOneSpeed", 3, true, 90, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

using ApngInteropTest = PeerRun;

// An unchanged frame, changes that go over the frame before and changes that replace it.
TEST_P(ApngInteropTest, PeersShowWhatWeExported) {
    const std::string apngdis = gif_peers::FindProgram({"/usr/bin/apngdis"});
    if (apngdis.empty()) {
        GTEST_SKIP() << "apngdis is not installed";
    }
    RequirePil();
    const std::string path = mDir.PathOf("anim.png");
    Export(YKApngIO(), path, true);

    const PilRead pil = Pil(path);
    EXPECT_EQ(pil.loop, Plays());
    EXPECT_EQ(pil.durations, ExpectedMs());
    ExpectFrames(pil.frames, "PIL");

    const Result split = Run(apngdis, {path, "frame"});
    ASSERT_EQ(split.status, 0) << split.out << split.err;
    std::vector<Pixels> frames;
    for (size_t i = 0; i < mExpected.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%zu", i + 1);
        std::unique_ptr<YKRaster> png(
            YKPngIO::Read(mDir.PathOf(std::string(name) + ".png").c_str(), nullptr));
        ASSERT_NE(png, nullptr) << name;
        frames.push_back(ImageOf(*png).pixels);
        EXPECT_EQ(ReadBytes(mDir.PathOf(std::string(name) + ".txt")),
                  "delay=" + std::to_string(mDelays[i]) + "/100\n");
    }
    ExpectFrames(frames, "apngdis");
}

INSTANTIATE_TEST_SUITE_P(Cases, ApngInteropTest,
                         ::testing::Values(Case{"Once", -1, false, -1, -1},
                                           Case{"ForEverOneSpeed", 0, false, -1, 0},
                                           Case{"ThreeLoopsOverBack", 3, true, -1, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- WebP through the GIF's palette ---

class WebpPaletteInteropTest : public PilPeerTest {
protected:
    // Writes `frames` as an animated GIF with `gifOptions` and as a lossless WebP through the
    // palette with `webpOptions`; Python's imaging library must show the WebP's frames exactly
    // as our GIF reader shows the GIF's, in at most `colors` opaque colours (alpha 0 or 255).
    void ExpectGifFrames(YKRasterList& frames, YKMessage gifOptions, YKMessage webpOptions,
                         int32 colors) {
        RequirePil();
        if (IsSkipped()) {
            return;
        }
        const std::vector<float> delays(size_t(frames.CountItems()), 10.0f);
        YKRasterListSource source(frames, delays);
        std::string error;
        ASSERT_TRUE(YKAnimGifIO().Write(mGif.c_str(), source, &gifOptions, nullptr, &error))
            << error;
        webpOptions.AddBool("webp_palette", true);
        ASSERT_TRUE(YKWebpAnimIO().Write(mWebp.c_str(), source, &webpOptions, nullptr, &error))
            << error;

        const std::vector<Pixels> gif = gif_peers::OurFrames(mGif);
        const YKRaster& first = *frames.ItemAt(0);
        const PilRead webp = Pil(mWebp, size_t(first.Width()) * first.Height());
        ASSERT_EQ(webp.frames.size(), size_t(frames.CountItems()));
        ASSERT_EQ(gif.size(), webp.frames.size());
        std::unordered_set<uint32> shown;
        for (size_t f = 0; f < gif.size(); ++f) {
            EXPECT_EQ(Errors(gif[f], webp.frames[f]).first, 0) << "frame " << f;
            for (const uint32 pixel : webp.frames[f]) {
                ASSERT_TRUE(pixel >> 24 == 0 || pixel >> 24 == 255) << std::hex << pixel;
                if (pixel >> 24 != 0) {
                    shown.insert(pixel);
                }
            }
        }
        EXPECT_LE(shown.size(), size_t(colors));
    }

    const std::string mGif = mDir.PathOf("anim.gif");
    const std::string mWebp = mDir.PathOf("anim.webp");
};

// Translucent and clear pixels without a background: clear stays clear, the rest is composed
// over the background colour, as in the GIF; six colours for many.
TEST_F(WebpPaletteInteropTest, ClearFramesInFewColoursShowAsTheGif) {
    YKRasterList frames;
    for (int32 f = 0; f < 5; ++f) {
        frames.AddItem(MakeRaster(kWidth, kHeight, [f](int32 x, int32 y) {
                           return Pixel(f, x, y);
                       }).release());
    }
    YKMessage gif;
    gif.AddInt32("ra_nb_colors", 6);
    gif.AddInt32("ra_back_col", int32(kBack & 0x00FFFFFF));
    YKMessage webp;
    webp.AddInt32("ra_nb_colors", 6);
    webp.AddInt32("ra_back_col", int32(kBack));
    ExpectGifFrames(frames, gif, webp, 6);
}

// The sample banner in 256 colours: the GIF's frames, in a smaller file than the GIF.
TEST_F(WebpPaletteInteropTest, BannerShowsAsTheGifInASmallerFile) {
    YKDispatcher dispatcher;
    const std::string file = std::string(GRAVIK_EXAMPLES) + "/banner.gr";
    std::string error;
    YKDocument* banner = YKDocument::Load(file.c_str(), "banner.gr", false, &dispatcher, &error);
    ASSERT_NE(banner, nullptr) << error;
    YKRasterList frames;
    for (int32 f = 1; f <= banner->EnvelopManager()->MaxFrame(); ++f) {
        YKRaster* frame = banner->RenderFrame(f, &error);
        ASSERT_NE(frame, nullptr) << error;
        frames.AddItem(frame);
    }
    YKMessage webp;
    webp.AddBool("ra_hasbackcol", true);
    webp.AddInt32("ra_back_col", int32(0xFFFFFFFF));
    ExpectGifFrames(frames, YKMessage(), webp, 256);
    if (IsSkipped()) {
        return;
    }
    EXPECT_LT(ReadBytes(mWebp).size(), ReadBytes(mGif).size());
}

}  // namespace
