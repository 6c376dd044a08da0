// GIF files judged by peers. Ours: ImageMagick and gifsicle must decode them without a word
// and find the colours of the indices we wrote. Theirs: files made by ImageMagick and gifsicle
// must read into the frames ImageMagick's -coalesce gives.
//
// Our composition differs from theirs by design in four places, which the cases below stay
// clear of: disposal 0 sends the whole canvas back to the background colour, disposal 2 without
// a transparent index clears to the opaque background colour, disposal 3 restores the result of
// the image before (not the canvas under this one), and a first image that does not cover the
// screen has the background colour around it.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "GifPeers.h"
#include "GifTestFiles.h"
#include "YKWriteGif.h"

namespace {

using namespace gif_peers;

class GifInteropTest : public GifPeerTest {
protected:
    // Our frames of a peer's file against ImageMagick's coalesced ones.
    void ExpectReadLikeMagick(const std::string& path, std::size_t frameCount) {
        const std::vector<Pixels> ours = OurFrames(path);
        const std::vector<Pixels> theirs = Coalesced(path);
        ASSERT_EQ(ours.size(), frameCount) << path;
        ASSERT_EQ(theirs.size(), frameCount) << path;
        for (std::size_t f = 0; f < frameCount; ++f) {
            EXPECT_EQ(Difference(ours[f], theirs[f]), "") << path << ", frame " << f;
        }
    }

    // A blocky picture of `colors` random colours (PPM), or with transparent blocks (PAM).
    std::string Picture(const std::string& name, int32 width, int32 height, int32 colors,
                        bool withAlpha) {
        const Bytes palette = gif_test::RandomPalette(mRandom, colors);
        std::uniform_int_distribution<int32> pick(0, colors - 1);
        std::uniform_int_distribution<int32> block(1, 4);
        const std::string path = mDir.PathOf(name + (withAlpha ? ".pam" : ".ppm"));
        std::string header =
            withAlpha
                ? "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height) +
                      "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                : "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        Bytes bytes(header.begin(), header.end());
        const int32 size = block(mRandom);
        for (int32 y = 0; y < height; ++y) {
            for (int32 x = 0; x < width; ++x) {
                // Blocks keep the colour count of the GIF within reach of the palette.
                std::mt19937 cell(static_cast<uint32>((x / size) * 7919 + (y / size) * 104729) ^
                                  mSeed);
                const int32 index = static_cast<int32>(cell() % static_cast<uint32>(colors));
                bytes.insert(bytes.end(), palette.begin() + index * 3,
                             palette.begin() + index * 3 + 3);
                if (withAlpha) {
                    bytes.push_back(index % 5 == 0 ? 0 : 255);
                }
            }
        }
        ++mSeed;
        WriteBytes(path, bytes);
        return path;
    }

    std::mt19937 mRandom{4242};
    uint32 mSeed = 1;
};

// --- Our files, judged ---

struct OurFrame {
    int32 width;
    int32 height;
    int32 left = 0;
    int32 top = 0;
    int32 localColors = 0;  // 0: the global table
    int32 flags = 0;
    int32 transparent = -1;
    int32 delay = 0;
};

struct OurFile {
    const char* name;
    int32 width;
    int32 height;
    int32 globalColors;
    int32 loop;
    std::vector<OurFrame> frames;
};

class GifOursJudgedTest : public GifInteropTest, public ::testing::WithParamInterface<OurFile> {};

TEST_P(GifOursJudgedTest, PeersDecodeTheIndicesWeWrote) {
    const OurFile& file = GetParam();
    const Bytes global = gif_test::RandomPalette(mRandom, std::max(file.globalColors, 1));
    YKWriteGif::SGlobalInfo info;
    info.width = file.width;
    info.height = file.height;
    info.colorCount = file.globalColors;
    info.colorMap = global.data();
    info.loopCount = file.loop;
    std::vector<gif_test::Frame> frames;
    for (const OurFrame& wanted : file.frames) {
        const int32 colors = wanted.localColors != 0 ? wanted.localColors : file.globalColors;
        gif_test::Frame frame = gif_test::MakeFrame(
            wanted.width, wanted.height,
            gif_test::RandomBytes(mRandom, static_cast<std::size_t>(wanted.width) * wanted.height,
                                  colors));
        frame.info.left = wanted.left;
        frame.info.top = wanted.top;
        frame.info.flags = wanted.flags;
        frame.info.transparentIndex = wanted.transparent;
        frame.info.delay = wanted.delay;
        if (wanted.localColors != 0) {
            frame.map = gif_test::RandomPalette(mRandom, wanted.localColors);
        }
        frames.push_back(frame);
    }
    const std::string path = mDir.PathOf(std::string(file.name) + ".gif");
    ASSERT_TRUE(gif_test::WriteGif(path, info, frames));

    // gifsicle decodes every image as it copies the file: decoding faults are errors, which
    // stay on when the warnings about its own output are off. Reading the structure gives no
    // warning either, and finds what we wrote.
    const Result decoded = Gifsicle({"--no-warnings", path, "-o", "/dev/null"});
    EXPECT_EQ(decoded.status, 0);
    EXPECT_EQ(decoded.err, "");
    const Result described = Gifsicle({"--info", path});
    EXPECT_EQ(described.err, "");
    EXPECT_NE(described.out.find(std::to_string(frames.size()) +
                                 (frames.size() == 1 ? " image\n" : " images\n")),
              std::string::npos)
        << described.out;
    EXPECT_NE(described.out.find("logical screen " + std::to_string(file.width) + "x" +
                                 std::to_string(file.height)),
              std::string::npos);
    EXPECT_EQ(described.out.find("loop forever") != std::string::npos, file.loop == 0);
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const YKWriteGif::SLocalInfo& local = frames[f].info;
        std::string line = "+ image #" + std::to_string(f) + " " + std::to_string(local.width) +
                           "x" + std::to_string(local.height);
        if (local.left != 0 || local.top != 0) {
            line += " at " + std::to_string(local.left) + "," + std::to_string(local.top);
        }
        if ((local.flags & YKWriteGif::kInterlaced) != 0) {
            line += " interlaced";
        }
        if (local.transparentIndex >= 0) {
            line += " transparent " + std::to_string(local.transparentIndex);
        }
        EXPECT_NE(described.out.find(line + "\n"), std::string::npos) << line << " in\n"
                                                                      << described.out;
    }

    // ImageMagick gives each image's own pixels: the palette colours, transparent where asked.
    const Result raw = Magick({path, "-depth", "8", "rgba:-"});
    EXPECT_EQ(raw.status, 0);
    EXPECT_EQ(raw.err, "");
    std::size_t at = 0;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const gif_test::Frame& frame = frames[f];
        const Bytes& map = frame.map.empty() ? global : frame.map;
        Pixels expected;
        for (const uint8 index : frame.indices) {
            expected.push_back(
                index == frame.info.transparentIndex ? 0u : gif_test::PaletteColor(map, index));
        }
        ASSERT_LE((at + expected.size()) * 4, raw.out.size()) << "frame " << f;
        EXPECT_EQ(Difference(FromRgba(raw.out, at, expected.size()), expected), "")
            << "frame " << f;
        at += expected.size();
    }
    EXPECT_EQ(at * 4, raw.out.size());
}

using F = OurFrame;
INSTANTIATE_TEST_SUITE_P(
    Files, GifOursJudgedTest,
    ::testing::Values(
        OurFile{"one_colour", 1, 1, 1, -1, {F{1, 1}}},
        OurFile{"two_colours_wide", 1000, 3, 2, -1, {F{1000, 3}}},
        OurFile{"full_palette", 333, 211, 256, -1, {F{333, 211}}},
        OurFile{"interlaced_tall", 1, 1000, 17, -1, {F{1, 1000, 0, 0, 0, YKWriteGif::kInterlaced}}},
        OurFile{
            "interlaced_odd", 255, 9, 100, -1, {F{255, 9, 0, 0, 0, YKWriteGif::kInterlaced, 7}}},
        OurFile{"transparent_still", 64, 64, 3, -1, {F{64, 64, 0, 0, 0, 0, 2}}},
        OurFile{"animation",
                97,
                61,
                5,
                0,
                {F{97, 61, 0, 0, 0, YKWriteGif::kDisposeNone, -1, 10},
                 F{20, 30, 5, 7, 64, YKWriteGif::kDisposeBackground, 3, 25},
                 F{96, 1, 1, 60, 0, YKWriteGif::kDisposePrevious | YKWriteGif::kInterlaced, 4, 3},
                 F{1, 61, 96, 0, 128, YKWriteGif::kDisposeNone | YKWriteGif::kInterlaced, -1, 0},
                 F{33, 33, 64, 28, 256, 0, 255, 100}}},
        OurFile{"local_tables_only",
                300,
                40,
                0,
                7,
                {F{300, 40, 0, 0, 2}, F{150, 20, 150, 20, 9, YKWriteGif::kDisposeNone, 8},
                 F{256, 2, 44, 38, 255}}},
        OurFile{"widths",
                999,
                8,
                31,
                -1,
                {F{1, 1}, F{2, 3}, F{7, 8, 5}, F{64, 1, 935}, F{256, 4, 743, 4}, F{999, 2, 0, 6},
                 F{255, 7, 1, 1}}}),
    [](const ::testing::TestParamInfo<OurFile>& info) { return std::string(info.param.name); });

// --- Their files, read ---

TEST_F(GifInteropTest, MagickStillsOfOddSizesAndInterlace) {
    struct Case {
        int32 width;
        int32 height;
        int32 colors;
        bool interlaced;
    };
    const Case cases[] = {{1, 1, 2, false},     {1, 257, 3, false},   {301, 1, 40, true},
                          {37, 23, 200, false}, {129, 67, 256, true}, {64, 48, 16, true}};
    for (const Case& c : cases) {
        const std::string source = Picture("still", c.width, c.height, c.colors, false);
        const std::string gif = mDir.PathOf("still.gif");
        std::vector<std::string> args = {source};
        if (c.interlaced) {
            args.insert(args.end(), {"-interlace", "Line"});
        }
        args.push_back(gif);
        ASSERT_EQ(Magick(args).status, 0);
        ExpectReadLikeMagick(gif, 1);
    }
}

TEST_F(GifInteropTest, MagickAnimationsWithDisposalsOffsetsAndLocalTables) {
    // Every frame carries its own random colours, so ImageMagick writes local tables.
    const std::string f0 = Picture("f0", 48, 36, 90, false);
    const std::string f1 = Picture("f1", 20, 10, 50, false);
    const std::string f2 = Picture("f2", 30, 20, 120, true);
    const std::string f3 = Picture("f3", 48, 36, 60, true);
    const std::string f4 = Picture("f4", 9, 31, 7, true);
    const std::string gif = mDir.PathOf("anim.gif");
    const Result made = Magick(
        {"-loop",    "0",        "-delay",   "5",        "-dispose", "None",     f0,
         "-dispose", "Previous", "-page",    "+3+4",     f1,         "-dispose", "Background",
         "-page",    "+10+2",    f2,         "-dispose", "None",     "-page",    "+0+0",
         f3,         "-dispose", "Previous", "-page",    "+39+5",    f4,         gif});
    ASSERT_EQ(made.status, 0) << made.err;
    ExpectReadLikeMagick(gif, 5);

    // The same frames interlaced.
    const std::string interlaced = mDir.PathOf("anim_interlaced.gif");
    ASSERT_EQ(Magick({gif, "-interlace", "Line", interlaced}).status, 0);
    ExpectReadLikeMagick(interlaced, 5);
}

TEST_F(GifInteropTest, GifsicleAnimationsWithEveryDisposal) {
    const std::string g0 = mDir.PathOf("g0.gif");
    const std::string g1 = mDir.PathOf("g1.gif");
    const std::string g2 = mDir.PathOf("g2.gif");
    const std::string g3 = mDir.PathOf("g3.gif");
    ASSERT_EQ(Magick({Picture("g0", 40, 30, 30, false), g0}).status, 0);
    ASSERT_EQ(Magick({Picture("g1", 13, 11, 12, false), g1}).status, 0);
    ASSERT_EQ(Magick({Picture("g2", 40, 30, 70, false), g2}).status, 0);
    ASSERT_EQ(Magick({Picture("g3", 7, 19, 5, false), g3}).status, 0);

    // gifsicle's "asis" is disposal 1 (leave in place), its "none" is disposal 0.
    // Leave in place, clear to transparent (a transparent index is set), restore the canvas
    // under a frame that followed a left-in-place one, interlaced images, local tables.
    const std::string mixed = mDir.PathOf("mixed.gif");
    Result made = Gifsicle({"--loopcount=forever",
                            "--logical-screen",
                            "40x30",
                            "--delay",
                            "4",
                            "--disposal",
                            "asis",
                            g0,
                            "--disposal",
                            "background",
                            "--transparent",
                            "1",
                            "--position",
                            "5,6",
                            "--interlace",
                            g1,
                            "--disposal",
                            "asis",
                            "--no-transparent",
                            "--position",
                            "0,0",
                            g2,
                            "--disposal",
                            "previous",
                            "--position",
                            "30,9",
                            g3,
                            "--disposal",
                            "asis",
                            "--position",
                            "2,2",
                            g1,
                            "-o",
                            mixed});
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_EQ(made.err, "");
    ExpectReadLikeMagick(mixed, 5);

    // Disposal 0 over frames that cover the screen.
    const std::string unspecified = mDir.PathOf("unspecified.gif");
    made = Gifsicle({"--disposal", "none", "--loopcount=3", g0, g2, g0, "-o", unspecified});
    ASSERT_EQ(made.status, 0) << made.err;
    ExpectReadLikeMagick(unspecified, 3);

    // Optimised: partial frames left in place, with transparent pixels.
    const std::string optimised = mDir.PathOf("optimised.gif");
    made = Gifsicle({"-O2", g0, g2, g0, "--position", "3,3", g1, "-o", optimised});
    ASSERT_EQ(made.status, 0) << made.err;
    ExpectReadLikeMagick(optimised, 4);

    // Two colours: the smallest code size.
    const std::string two = mDir.PathOf("two.gif");
    made = Gifsicle({"--colors", "2", g2, "-o", two});
    ASSERT_EQ(made.status, 0) << made.err;
    ExpectReadLikeMagick(two, 1);
}

}  // namespace
