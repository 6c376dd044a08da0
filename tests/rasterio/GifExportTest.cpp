// GIF export: frame preparation, the still and animated writers' files, options and progress.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "FileBytes.h"
#include "GifExportFiles.h"
#include "GifPeers.h"
#include "PixelAt.h"
#include "Quantizer.h"
#include "TempDir.h"
#include "YKAnimGifIO.h"
#include "YKMessage.h"
#include "YKRasterListSource.h"
#include "YKRasterProgress.h"
#include "YKSimpleGifIO.h"
#include "YKWriteGif.h"

namespace {

using namespace gif_export_test;
using gif_peers::Difference;
using gif_peers::OurFrames;
using gif_peers::Pixels;

constexpr uint32 kClear = 0x00FFFFFF;  // a transparent background

// --- Frame difference: what is drawn over the previous frame shows the current one ---

// Draws a prepared frame as a viewer does: a clearing frame starts from an empty screen.
PixelImage Shown(const YKRaster& previous, const YKRaster& diff, int32 left, int32 top, int32 flags,
                 uint32 back) {
    PixelImage screen = ImageOf(previous);
    if (flags == YKWriteGif::kDisposeBackground) {
        std::fill(screen.pixels.begin(), screen.pixels.end(), back & 0x00FFFFFF);
    }
    for (int32 y = 0; y < diff.Height(); ++y) {
        for (int32 x = 0; x < diff.Width(); ++x) {
            const uint32 p = PixelAt(diff, x, y);
            if ((p >> 24) != 0) {
                screen.pixels[std::size_t(top + y) * screen.width + left + x] = p;
            }
        }
    }
    return screen;
}

TEST(FrameDiffTest, DrawingTheDifferenceOverThePreviousFrameShowsTheCurrentOne) {
    std::mt19937 random(11);
    const uint32 colours[] = {kClear, 0xFF102030, 0xFFFF0000, 0xFF00FF00};
    for (int32 round = 0; round < 300; ++round) {
        const int32 w = 1 + int32(random() % 9);
        const int32 h = 1 + int32(random() % 7);
        const uint32 change = random() % 4;  // in quarters: how much of the frame changes
        const auto previous = MakeRaster(w, h, [&](int32, int32) { return colours[random() % 4]; });
        const auto current = MakeRaster(w, h, [&](int32 x, int32 y) {
            return random() % 4 < change ? colours[random() % 4] : PixelAt(*previous, x, y);
        });
        bool turnsTransparent = false;
        YKRect<int32> changed = YKRect<int32>::None();
        for (int32 y = 0; y < h; ++y) {
            for (int32 x = 0; x < w; ++x) {
                const uint32 a = PixelAt(*previous, x, y), b = PixelAt(*current, x, y);
                turnsTransparent |= a != kClear && b == kClear;
                if (a != b) {
                    changed = changed.IsValid() ? changed | YKRect<int32>{x, y, x, y}
                                                : YKRect<int32>{x, y, x, y};
                }
            }
        }
        int32 left = -1, top = -1, flags = -1;
        const auto diff =
            YKRasterIO::getFrameDiff(previous.get(), *current, &left, &top, kClear, false, &flags);
        ASSERT_NE(diff, nullptr);
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_EQ(flags,
                  turnsTransparent ? YKWriteGif::kDisposeBackground : YKWriteGif::kDisposeNone);
        EXPECT_EQ(Difference(Shown(*previous, *diff, left, top, flags, kClear).pixels,
                             ImageOf(*current).pixels),
                  "");
        if (flags == YKWriteGif::kDisposeNone && changed.IsValid()) {
            // Nothing but the changed rectangle is sent.
            EXPECT_EQ(
                (YKRect<int32>{left, top, left + diff->Width() - 1, top + diff->Height() - 1}),
                changed);
        }
    }
}

TEST(FrameDiffTest, EdgeCases) {
    const auto frame =
        MakeRaster(5, 4, [](int32 x, int32) { return x < 2 ? kClear : 0xFF0000FFu; });
    int32 left = -1, top = -1, flags = -1;
    // Nothing changed: one transparent pixel at the corner.
    auto same = YKRasterIO::getFrameDiff(frame.get(), *frame, &left, &top, kClear, false, &flags);
    EXPECT_EQ(same->Frame(), (YKRect<int32>{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(*same, 0, 0) >> 24, 0u);
    EXPECT_EQ(left + top, 0);
    EXPECT_EQ(flags, YKWriteGif::kDisposeNone);
    // Forced: the background decides.
    YKRasterIO::getFrameDiff(frame.get(), *frame, &left, &top, kClear, true, &flags);
    EXPECT_EQ(flags, YKWriteGif::kDisposeBackground);
    YKRasterIO::getFrameDiff(frame.get(), *frame, &left, &top, 0xFFFFFFFF, true, &flags);
    EXPECT_EQ(flags, YKWriteGif::kDisposeNone);
    // No previous frame: the whole frame.
    auto whole = YKRasterIO::getFrameDiff(nullptr, *frame, &left, &top, kClear, false, &flags);
    EXPECT_EQ(ImageOf(*whole).pixels, ImageOf(*frame).pixels);
    // Crops.
    EXPECT_EQ(YKRasterIO::cropFrame(kClear, *frame), (YKRect<int32>{2, 0, 4, 3}));
    EXPECT_EQ(YKRasterIO::cropFrame(0xFF0000FF,
                                    *MakeRaster(3, 3, [](int32, int32) { return 0xFF0000FFu; })),
              (YKRect<int32>{0, 0, 0, 0}));
}

// --- Writers ---

class RecordingProgress : public YKRasterProgress {
public:
    explicit RecordingProgress(int32 cancelAt = 0) : mCancelAt(cancelAt) {}
    void SetStepCount(int32 count) override { steps = count; }
    bool IsCancelled() override { return ++mAsked == mCancelAt; }
    void ShowStep(int32, const char* text) override { texts.push_back(text); }
    void ShowResult(const char* text) override { texts.push_back(text); }
    void Finish() override { ++finished; }

    int32 steps = 0;
    int32 finished = 0;
    std::vector<std::string> texts;

private:
    int32 mCancelAt;
    int32 mAsked = 0;
};

class GifExportTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return mDir.PathOf(name); }

    bool Still(const YKRaster& raster, const YKMessage* options,
               YKRasterProgress* progress = nullptr, const char* name = "still.gif") {
        mError.clear();
        return YKSimpleGifIO().Write(Path(name).c_str(), raster, options, progress, &mError);
    }

    bool Animation(const std::vector<std::unique_ptr<YKRaster>>& frames, std::vector<float> delays,
                   const YKMessage* options, std::vector<int32> unusable = {},
                   YKRasterProgress* progress = nullptr) {
        YKRasterList list(false);
        for (const auto& frame : frames) {
            list.AddItem(frame.get());
        }
        YKRasterListSource source(list, std::move(delays), std::move(unusable));
        mError.clear();
        return YKAnimGifIO().Write(Path("anim.gif").c_str(), source, options, progress, &mError);
    }

    GifLayout Layout(const char* name) { return ParseGif(ReadByteValues(Path(name))); }

    TempDir mDir;
    std::string mError;
};

TEST_F(GifExportTest, StillOverATransparentBackgroundKeepsOnlyWhatShows) {
    // Three colours in a block at (5, 3) of a 20 x 10 raster, half-transparent pixel included.
    const auto raster = MakeRaster(20, 10, [](int32 x, int32 y) -> uint32 {
        if (x < 5 || x > 8 || y < 3 || y > 6) {
            return 0;
        }
        return x == 8 && y == 6 ? 0x80FF0000 : (x + y) % 2 ? 0xFF00FF00 : 0xFF0000FF;
    });
    YKMessage options;
    options.AddInt32("ra_back_col", int32(kClear));
    ASSERT_TRUE(Still(*raster, &options)) << mError;
    const GifLayout layout = Layout("still.gif");
    EXPECT_EQ(layout.width, 20);
    EXPECT_EQ(layout.height, 10);
    ASSERT_EQ(layout.images.size(), 1u);
    const GifImage& image = layout.images[0];
    EXPECT_EQ((std::vector<int32>{image.left, image.top, image.width, image.height}),
              (std::vector<int32>{5, 3, 4, 4}));
    EXPECT_EQ(image.transparent, 0);
    EXPECT_EQ(layout.loop, -1);

    // The half-transparent pixel lies over white, made opaque.
    const auto expected = MakeRaster(20, 10, [&](int32 x, int32 y) {
        const uint32 p = PixelAt(*raster, x, y);
        return p == 0x80FF0000 ? 0xFFFF7F7F : p;
    });
    const std::vector<Pixels> frames = OurFrames(Path("still.gif"));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(Difference(frames[0], ImageOf(*expected).pixels), "");

    // Over the default opaque white nothing is cropped and nothing is transparent.
    ASSERT_TRUE(Still(*raster, nullptr)) << mError;
    const GifLayout opaque = Layout("still.gif");
    EXPECT_EQ(opaque.images[0].width, 20);
    EXPECT_EQ(opaque.images[0].transparent, -1);
    EXPECT_EQ(OurFrames(Path("still.gif"))[0][0], 0xFFFFFFFFu);
}

TEST_F(GifExportTest, OptionsNoFileCanBeMadeWithAreRefused) {
    const auto raster = MakeRaster(4, 4, [](int32 x, int32) { return 0xFF000000u | x * 40; });
    WriteBytes(Path("still.gif"), std::string("old"));
    const struct {
        const char* why;
        int32 colors, quantizer, palette;
        bool fixed;
    } cases[] = {{"no colour", 0, 0, 0, false},
                 {"negative colours", -3, 0, 0, false},
                 {"unknown quantizer", 256, 99, 0, false},
                 {"neural network on a fixed palette", 256, 2, 1, true},
                 {"fixed-palette kind asked to learn", 256, 1, 0, false},
                 {"no such fixed palette", 256, 0, 9, true}};
    for (const auto& c : cases) {
        YKMessage options;
        options.AddInt32("ra_nb_colors", c.colors);
        options.AddInt32("24to8_quant_id", c.quantizer);
        options.AddBool("24to8_isfixedpal", c.fixed);
        options.AddInt32("24to8_fix_palette", c.palette);
        EXPECT_FALSE(Still(*raster, &options)) << c.why;
        EXPECT_NE(mError, "") << c.why;
        EXPECT_EQ(ReadBytes(Path("still.gif")), "old") << c.why;
        std::vector<std::unique_ptr<YKRaster>> frames;
        frames.push_back(raster->DuplicateRaster());
        EXPECT_FALSE(Animation(frames, {5}, &options)) << c.why;
        EXPECT_FALSE(std::filesystem::exists(Path("anim.gif"))) << c.why;
    }
    // Out-of-range sizes that still mean something are brought into range.
    YKMessage one;
    one.AddInt32("ra_nb_colors", 1);
    ASSERT_TRUE(Still(*raster, &one)) << mError;
    EXPECT_EQ(Layout("still.gif").palette.size(), 6u);
}

// A fixed palette's entries are the only colours the file may hold.
TEST_F(GifExportTest, FixedPalettesGiveOnlyTheirOwnColours) {
    std::mt19937 random(5);
    const auto raster = MakeRaster(
        30, 20, [&](int32 x, int32) { return x == 0 ? 0u : 0xFF000000u | (random() & 0xFFFFFF); });
    const struct {
        int32 palette, colors, quantizer;
        bool dither;
    } cases[] = {{1, 256, 1, false},  // Web-safe whole, a transparent entry added
                 {2, 16, 0, true},    // Windows through an octree of 16 colours
                 {4, 256, 1, false},  // BeOS whole, with its own transparent entry
                 {3, 100, 1, true}};  // MacOS through an octree of 100 colours
    for (const auto& c : cases) {
        SCOPED_TRACE("palette " + std::to_string(c.palette));
        YKMessage options;
        options.AddInt32("ra_back_col", int32(kClear));
        options.AddBool("24to8_isfixedpal", true);
        options.AddInt32("24to8_fix_palette", c.palette);
        options.AddInt32("ra_nb_colors", c.colors);
        options.AddInt32("24to8_quant_id", c.quantizer);
        options.AddBool("24to8_dithering", c.dither);
        ASSERT_TRUE(Still(*raster, &options)) << mError;
        const Quantizer::Cmap& fixed = *Quantizer::Cmap::GetCmap(c.palette - 1);
        const std::vector<Pixels> frames = OurFrames(Path("still.gif"));
        ASSERT_EQ(frames.size(), 1u);
        std::set<uint32> used;
        for (int32 y = 0; y < 20; ++y) {
            for (int32 x = 0; x < 30; ++x) {
                const uint32 p = frames[0][std::size_t(y) * 30 + x];
                EXPECT_EQ(p >> 24, x == 0 ? 0u : 255u);
                if (x > 0) {
                    used.insert(p & 0xFFFFFF);
                }
            }
        }
        EXPECT_LE(used.size(), std::size_t(c.colors));
        for (const uint32 colour : used) {
            const Quantizer::Cmap::Color wanted{uint8(colour >> 16), uint8(colour >> 8),
                                                uint8(colour)};
            EXPECT_NE(std::find(fixed.colors, fixed.colors + fixed.count, wanted),
                      fixed.colors + fixed.count)
                << std::hex << colour;
        }
    }
}

TEST_F(GifExportTest, AnimationFramesHoldOnlyWhatChanged) {
    // A 4 x 4 square on a clear 16 x 12 screen: still, moved right (pixels turn transparent),
    // then unchanged.
    const auto square = [](int32 at) {
        return MakeRaster(16, 12, [at](int32 x, int32 y) {
            return x >= at && x < at + 4 && y >= 2 && y < 6 ? 0xFF000000u | (x * 16 + y) : kClear;
        });
    };
    std::vector<std::unique_ptr<YKRaster>> frames;
    for (const int32 at : {1, 7, 7, 7, 1, 7}) {
        frames.push_back(square(at));
    }
    for (const bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "looping" : "once");
        YKMessage options;
        options.AddInt32("ra_back_col", int32(kClear));
        if (loop) {
            options.AddInt32("gif_loop", 0);
        }
        ASSERT_TRUE(Animation(frames, {3, 4, 5, 6, 7, 8}, &options)) << mError;
        const GifLayout layout = Layout("anim.gif");
        ASSERT_EQ(layout.images.size(), 6u);
        const auto place = [&](std::size_t i) {
            const GifImage& g = layout.images[i];
            return std::vector<int32>{g.left, g.top, g.width, g.height, g.disposal};
        };
        // The first frame cropped. A frame before one where pixels turn transparent clears
        // (disposal 2) all the screen shows, growing to cover it, so that the next is drawn whole
        // over a clear screen; a frame like the one before is one transparent pixel. When the
        // first frame comes again, the last clears too.
        EXPECT_EQ(place(0), (std::vector<int32>{1, 2, 4, 4, 2}));
        EXPECT_EQ(place(1), (std::vector<int32>{7, 2, 4, 4, 1}));
        EXPECT_EQ(place(2), (std::vector<int32>{0, 0, 1, 1, 1}));
        EXPECT_EQ(place(3), (std::vector<int32>{0, 0, 11, 6, 2}));
        EXPECT_EQ(place(4), (std::vector<int32>{1, 2, 4, 4, 2}));
        EXPECT_EQ(place(5), (std::vector<int32>{7, 2, 4, 4, loop ? 2 : 1}));
        EXPECT_EQ(layout.images[1].delay, 4);
        const std::vector<Pixels> shown = OurFrames(Path("anim.gif"));
        ASSERT_EQ(shown.size(), 6u);
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(Difference(shown[i], ImageOf(*frames[i]).pixels), "") << "frame " << i;
        }
    }
}

TEST_F(GifExportTest, AnimationLoopAndDelays) {
    std::vector<std::unique_ptr<YKRaster>> frames;
    for (uint32 colour : {0xFF000000u, 0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u}) {
        frames.push_back(MakeRaster(3, 2, [colour](int32, int32) { return colour; }));
    }
    const struct {
        bool hasLoop;
        int32 loop, expectedLoop;
        bool useSpeed;
        std::vector<int32> delays;
    } cases[] = {{false, 0, -1, false, {9, 1}},  // unusable frames 1 and 2 add to frame 0
                 {true, 0, 0, true, {25, 25}},
                 {true, 70000, 65535, false, {9, 1}}};
    for (const auto& c : cases) {
        YKMessage options;
        if (c.hasLoop) {
            options.AddInt32("gif_loop", c.loop);
        }
        options.AddBool("gif_use_speed", c.useSpeed);
        options.AddInt32("gif_speed", 25);
        ASSERT_TRUE(Animation(frames, {3.7f, 2.0f, 4.0f, 1.0f}, &options, {1, 2})) << mError;
        const GifLayout layout = Layout("anim.gif");
        EXPECT_EQ(layout.loop, c.expectedLoop);
        ASSERT_EQ(layout.images.size(), 2u);
        EXPECT_EQ(layout.images[0].delay, c.delays[0]);
        EXPECT_EQ(layout.images[1].delay, c.delays[1]);
    }
    frames.push_back(MakeRaster(4, 2, [](int32, int32) { return 0xFFFFFFFFu; }));
    EXPECT_FALSE(Animation(frames, {}, nullptr));
    EXPECT_NE(mError.find("not the size"), std::string::npos) << mError;
}

// A cancelled export stops after the step under way and leaves what was at the path.
TEST_F(GifExportTest, CancellingLeavesTheOldFileOrNone) {
    const auto raster = MakeRaster(6, 5, [](int32 x, int32 y) { return 0xFF000000u | x << 4 | y; });
    std::vector<std::unique_ptr<YKRaster>> frames;
    frames.push_back(raster->DuplicateRaster());
    frames.push_back(MakeRaster(6, 5, [](int32, int32) { return 0xFF00FF00u; }));
    const int32 animationSteps = 4 * 2 + 1;
    for (const bool oldFile : {false, true}) {
        for (int32 step = 1; step <= animationSteps; ++step) {
            SCOPED_TRACE("step " + std::to_string(step) + (oldFile ? ", old file" : ""));
            for (const char* name : {"still.gif", "anim.gif"}) {
                std::filesystem::remove(Path(name));
                if (oldFile) {
                    WriteBytes(Path(name), std::string("old"));
                }
            }
            if (step <= 5) {
                RecordingProgress progress(step);
                EXPECT_FALSE(Still(*raster, nullptr, &progress));
                EXPECT_EQ(mError, "cancelled");
                EXPECT_EQ(progress.finished, 1);
                EXPECT_EQ(progress.texts.size(), std::size_t(step - 1));
            }
            RecordingProgress progress(step);
            EXPECT_FALSE(Animation(frames, {}, nullptr, {}, &progress));
            EXPECT_EQ(progress.finished, 1);
            EXPECT_EQ(progress.texts.size(), std::size_t(step - 1));
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mDir.Path()),
                                    std::filesystem::directory_iterator()),
                      oldFile ? 2 : 0);
            if (oldFile) {
                EXPECT_EQ(ReadBytes(Path("still.gif")), "old");
                EXPECT_EQ(ReadBytes(Path("anim.gif")), "old");
            }
        }
    }
    // Not cancelled, every step is shown, then the result.
    RecordingProgress still;
    ASSERT_TRUE(Still(*raster, nullptr, &still));
    EXPECT_EQ(still.texts,
              (std::vector<std::string>{"Gathering Raster Info…", "Adjusting Transparency…",
                                        "Computing Color Palette…", "Dithering Image…",
                                        "Writing Image…", "Done !"}));
    RecordingProgress animation;
    ASSERT_TRUE(Animation(frames, {}, nullptr, {}, &animation));
    EXPECT_EQ(animation.steps, animationSteps);
    EXPECT_EQ(animation.texts,
              (std::vector<std::string>{
                  "Frame #0 -- Gathering Raster", "Frame #0 -- Grabbing Colors",
                  "Frame #1 -- Gathering Raster", "Frame #1 -- Grabbing Colors",
                  "Optimizing Global Color Palette", "Frame #0 -- Dithering",
                  "Frame #1 -- Dithering", "Frame #0 -- Saving", "Frame #1 -- Saving", "Done !"}));
}

TEST_F(GifExportTest, AFullDiskIsAnError) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const auto raster = MakeRaster(300, 200, [](int32 x, int32 y) { return 0xFF000000u | x * y; });
    std::string error;
    EXPECT_FALSE(YKSimpleGifIO().Write("/dev/full", *raster, nullptr, nullptr, &error));
    EXPECT_NE(error, "");
}

}  // namespace
