// Our GIF exports judged by peers: gifsicle reads every file without a word, ImageMagick's
// coalesced frames equal the frames our reader composes, and those are the frames exported
// (exactly, where the palette can hold every colour). The sample banner, exported as a document
// is, also has its frames, delays and loop count read back by gifsicle.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "GifExportFiles.h"
#include "GifPeers.h"
#include "YKAnimGifIO.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKRasterListSource.h"
#include "YKSimpleGifIO.h"

namespace {

using namespace gif_export_test;
using namespace gif_peers;

constexpr uint32 kClear = 0x00FFFFFF;

struct Export {
    const char* name;
    bool animated;
    bool clearBack;
    bool interlace;
    int32 fixedPalette;  // 0: adaptive
    bool dither;
    bool exact;  // few colours, no dithering: the frames come back as they were
};

class GifExportInteropTest : public GifPeerTest, public ::testing::WithParamInterface<Export> {};

// Frame f: a gradient band that scrolls, and a square that moves and leaves holes behind.
std::unique_ptr<YKRaster> Picture(int32 f, bool manyColours) {
    return MakeRaster(48, 32, [=](int32 x, int32 y) -> uint32 {
        if (x >= 4 + 6 * f && x < 14 + 6 * f && y >= 12 && y < 22) {
            return 0xFFFF0000u | uint32(x % 3) * 0x40;
        }
        if (y < 8) {
            const uint32 level =
                manyColours ? uint32(x * 5 + y * 3 + f * 7) & 255 : uint32((x + f) / 8) * 40;
            return 0xFF000000u | level << 16 | (255 - level) << 8 | uint32(y * 20);
        }
        return y > 28 ? 0xFF202020u : 0;
    });
}

TEST_P(GifExportInteropTest, PeersShowWhatWeExported) {
    const Export& e = GetParam();
    YKMessage options;
    options.AddInt32("ra_back_col", int32(e.clearBack ? kClear : 0xFF336699u));
    options.AddBool("ra_interlace", e.interlace);
    options.AddBool("24to8_dithering", e.dither);
    options.AddBool("24to8_isfixedpal", e.fixedPalette != 0);
    options.AddInt32("24to8_fix_palette", e.fixedPalette);
    options.AddInt32("24to8_quant_id", e.fixedPalette != 0 ? 1 : 0);
    options.AddInt32("gif_loop", 0);
    const std::string path = mDir.PathOf(std::string(e.name) + ".gif");
    std::string error;
    YKRasterList frames;
    for (int32 f = 0; f < (e.animated ? 5 : 1); ++f) {
        frames.AddItem(Picture(f % 4, !e.exact).release());
    }
    YKRasterListSource source(frames, {10, 20, 30, 40, 50});
    ASSERT_TRUE(e.animated ? YKAnimGifIO().Write(path.c_str(), source, &options, nullptr, &error)
                           : YKSimpleGifIO().Write(path.c_str(), *frames.ItemAt(0), &options,
                                                   nullptr, &error))
        << error;

    const Result decoded = Gifsicle({path, "-o", "/dev/null"});
    EXPECT_EQ(decoded.status, 0);
    EXPECT_EQ(decoded.err, "");
    const Result described = Gifsicle({"--info", path});
    EXPECT_EQ(described.status, 0);
    EXPECT_EQ(described.err, "");

    const std::vector<Pixels> theirs = Coalesced(path);
    const std::vector<Pixels> ours = OurFrames(path);
    ASSERT_EQ(theirs.size(), std::size_t(frames.CountItems()));
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t f = 0; f < ours.size(); ++f) {
        SCOPED_TRACE("frame " + std::to_string(f));
        EXPECT_EQ(Difference(ours[f], theirs[f]), "");
        if (e.exact) {
            YKRaster& source = *frames.ItemAt(int32(f));
            YKRasterIO::AdjustTransparency(source, e.clearBack ? kClear : 0xFF336699u, false);
            EXPECT_EQ(Difference(ours[f], ImageOf(source).pixels), "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Exports, GifExportInteropTest,
    ::testing::Values(Export{"still", false, false, false, 0, false, true},
                      Export{"still_cropped", false, true, false, 0, false, true},
                      Export{"still_interlaced", false, true, true, 0, false, true},
                      Export{"still_fixed", false, true, false, 1, false, false},
                      Export{"still_dithered", false, false, false, 0, true, false},
                      Export{"animated", true, true, false, 0, false, true},
                      Export{"animated_opaque", true, false, false, 0, false, true},
                      Export{"animated_interlaced", true, true, true, 0, false, true},
                      Export{"animated_fixed", true, true, false, 4, true, false},
                      Export{"animated_dithered", true, true, false, 0, true, false}),
    [](const ::testing::TestParamInfo<Export>& info) { return std::string(info.param.name); });

class BannerGifInteropTest : public GifPeerTest {};

// Gifsicle's delays in hundredths, in image order.
std::vector<int32> DelaysOf(const std::string& info) {
    std::vector<int32> delays;
    const std::string key = "delay ";
    for (size_t at = info.find(key); at != std::string::npos; at = info.find(key, at + 1)) {
        delays.push_back(
            int32(std::lround(std::strtod(info.c_str() + at + key.size(), nullptr) * 100)));
    }
    return delays;
}

TEST_F(BannerGifInteropTest, PeersReadTheFramesDelaysAndLoopOfTheExportedBanner) {
    YKDispatcher dispatcher;
    const std::string file = std::string(GRAVIK_EXAMPLES) + "/banner.gr";
    std::string error;
    YKDocument* banner = YKDocument::Load(file.c_str(), "banner.gr", false, &dispatcher, &error);
    ASSERT_NE(banner, nullptr) << error;
    YKEnvelopManager* manager = banner->EnvelopManager();
    ASSERT_EQ(manager->MaxFrame(), 20);
    // Durations of their own, so that a delay given to the wrong frame shows.
    YKRasterList rendered;
    std::vector<float> durations;
    for (int32 f = 1; f <= manager->MaxFrame(); ++f) {
        manager->SetFrameDuration(f, float(4 + f % 7));
        durations.push_back(manager->FrameDuration(f));
        YKRaster* frame = banner->RenderFrame(f, &error);
        ASSERT_NE(frame, nullptr) << error;
        rendered.AddItem(frame);
    }
    YKMessage options;
    options.AddInt32("gif_loop", 3);
    const std::string path = mDir.PathOf("banner.gif");
    YKRasterListSource source(rendered, durations);
    ASSERT_TRUE(YKAnimGifIO().Write(path.c_str(), source, &options, nullptr, &error)) << error;

    const Result info = Gifsicle({"--info", path});
    ASSERT_EQ(info.status, 0);
    EXPECT_EQ(info.err, "");
    EXPECT_NE(info.out.find(" 20 images\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("loop count 3\n"), std::string::npos) << info.out;
    const std::vector<int32> delays = DelaysOf(info.out);
    EXPECT_EQ(delays, std::vector<int32>(durations.begin(), durations.end())) << info.out;

    // Two decoders agree on every frame; the frames are the rendered ones through one mapping
    // onto the palette: a rendered colour shows as the same colour everywhere, and near it.
    const std::vector<Pixels> theirs = Coalesced(path);
    const std::vector<Pixels> ours = OurFrames(path);
    ASSERT_EQ(theirs.size(), 20u);
    ASSERT_EQ(ours.size(), 20u);
    std::unordered_map<uint32, uint32> shownAs;
    double squares = 0;
    std::size_t count = 0;
    for (std::size_t f = 0; f < ours.size(); ++f) {
        SCOPED_TRACE("frame " + std::to_string(f + 1));
        EXPECT_EQ(Difference(ours[f], theirs[f]), "");
        const Pixels source = ImageOf(*rendered.ItemAt(int32(f))).pixels;
        ASSERT_EQ(source.size(), ours[f].size());
        for (std::size_t i = 0; i < source.size(); ++i) {
            const uint32 shown = ours[f][i];
            const auto mapped = shownAs.emplace(source[i], shown).first;
            ASSERT_EQ(mapped->second, shown)
                << "pixel " << i << " of colour " << std::hex << source[i];
            for (const int32 shift : {0, 8, 16}) {
                const int32 d = int32((source[i] >> shift) & 255) - int32((shown >> shift) & 255);
                squares += double(d) * d;
            }
            count += 3;
        }
    }
    EXPECT_LT(std::sqrt(squares / double(count)), 3.0);
}

}  // namespace
