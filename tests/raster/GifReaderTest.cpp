// Reading GIF files: round trips of written files, the default palette, transparency, disposal
// methods, clipping, info fields and looping.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "GifTestFiles.h"
#include "ReferenceImage.h"
#include "TempDir.h"
#include "YKMessage.h"
#include "YKRasterList.h"
#include "YKReadGif.h"
#include "YKWriteGif.h"

namespace {

using gif_test::Frame;
using gif_test::GifBuilder;
using gif_test::MakeFrame;
using Bytes = std::vector<uint8>;
using Pixels = std::vector<uint32>;

constexpr uint32 kRed = 0xFFFF0000;
constexpr uint32 kGreen = 0xFF00FF00;
constexpr uint32 kBlue = 0xFF0000FF;
constexpr uint32 kWhite = 0xFFFFFFFF;
// Table: 0 red, 1 green, 2 blue, 3 white.
const Bytes kFourColors = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

// Packed screen byte of a global table with four entries.
constexpr uint8 kFourColorScreen = 0x81;

class GifReaderTest : public ::testing::Test {
protected:
    std::string Save(const Bytes& bytes) {
        const std::string path = mDir.PathOf("file" + std::to_string(mFiles++) + ".gif");
        WriteBytes(path, bytes);
        return path;
    }

    // Every frame of the file, as pixels.
    std::vector<Pixels> ReadFrames(const std::string& path, YKMessage* info = nullptr) {
        YKRasterList list;
        EXPECT_TRUE(YKReadGif().ReadAllFile(path.c_str(), list, info));
        std::vector<Pixels> frames;
        for (int32 i = 0; i < list.CountItems(); ++i) {
            frames.push_back(ImageOf(*list.ItemAt(i)).pixels);
        }
        return frames;
    }

    // Data of a two-bit code size: clear, the codes given (3 bits wide), end.
    static Bytes Codes(std::vector<int32> codes) {
        std::vector<std::pair<int32, int32>> widths = {{4, 3}};
        for (const int32 code : codes) {
            widths.emplace_back(code, 3);
        }
        widths.emplace_back(5, 3);
        return gif_test::PackCodes(widths);
    }

    // A 2 x 2 image all of `index`: the index, the entry of two of them, the index again; the
    // table then reaches 8 entries, so the end code is 4 bits wide.
    static Bytes Solid2x2(int32 index) {
        return gif_test::PackCodes({{4, 3}, {index, 3}, {6, 3}, {index, 3}, {5, 4}});
    }

    TempDir mDir;
    int32 mFiles = 0;
};

// --- Round trips through the writer ---

struct RoundTripCase {
    int32 width;
    int32 height;
    int32 colors;
    bool interlaced;
    bool localTable;
};

class GifRoundTripTest : public GifReaderTest,
                         public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(GifRoundTripTest, PixelsAreThePaletteColoursOfTheIndices) {
    const RoundTripCase c = GetParam();
    std::mt19937 random(static_cast<uint32>(c.width * 131 + c.height * 7 + c.colors));
    const Bytes global = gif_test::RandomPalette(random, c.colors);
    YKWriteGif::SGlobalInfo info;
    info.width = c.width;
    info.height = c.height;
    info.colorCount = c.localTable ? 0 : c.colors;
    info.colorMap = c.localTable ? nullptr : global.data();
    std::vector<Frame> frames;
    for (int32 f = 0; f < 2; ++f) {
        Frame frame = MakeFrame(
            c.width, c.height,
            gif_test::RandomBytes(random, static_cast<std::size_t>(c.width) * c.height, c.colors));
        frame.info.flags = c.interlaced ? YKWriteGif::kInterlaced : 0;
        if (c.localTable) {
            frame.map = gif_test::RandomPalette(random, c.colors);
        }
        frames.push_back(frame);
    }
    const std::string path = mDir.PathOf("round.gif");
    ASSERT_TRUE(gif_test::WriteGif(path, info, frames));

    const std::vector<Pixels> read = ReadFrames(path);
    ASSERT_EQ(read.size(), frames.size());
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const Bytes& map = c.localTable ? frames[f].map : global;
        Pixels expected;
        for (const uint8 index : frames[f].indices) {
            expected.push_back(gif_test::PaletteColor(map, index));
        }
        EXPECT_EQ(read[f], expected) << "frame " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, GifRoundTripTest,
                         ::testing::Values(RoundTripCase{1, 1, 2, false, false},
                                           RoundTripCase{3, 17, 3, true, false},
                                           RoundTripCase{640, 9, 256, true, true},
                                           RoundTripCase{9, 640, 16, false, true},
                                           RoundTripCase{1000, 1, 5, false, false},
                                           RoundTripCase{1, 1000, 128, true, false},
                                           RoundTripCase{257, 255, 200, false, false}));

// --- Palettes and transparency ---

TEST_F(GifReaderTest, Gif87aWithoutAnyTableUsesTheDefaultColoursRepeated) {
    // Codes of a five-bit code size: clear 32, indices 0..31, end 33; 6 bits wide until the
    // table reaches 64 entries.
    std::vector<std::pair<int32, int32>> codes = {{32, 6}};
    for (int32 i = 0; i < 32; ++i) {
        codes.emplace_back(i, i < 31 ? 6 : 7);
    }
    codes.emplace_back(33, 7);
    const Bytes data = gif_test::PackCodes(codes);
    const std::string path = Save(GifBuilder()
                                      .Screen(32, 1, 0x00, 0, {}, "GIF87a")
                                      .Image(0, 0, 32, 1, 0, {}, 5, data)
                                      .Byte(';')
                                      .Bytes());
    const std::vector<Pixels> frames = ReadFrames(path);
    ASSERT_EQ(frames.size(), 1u);
    const uint32 expected[16] = {0xFF000000, 0xFF000080, 0xFF008000, 0xFF008080,
                                 0xFF800000, 0xFF800080, 0xFF808000, 0xFFC8C8C8,
                                 0xFF646464, 0xFF6464FF, 0xFF64FF64, 0xFF64FFFF,
                                 0xFFFF6464, 0xFFFF64FF, 0xFFFFFF64, 0xFFFFFFFF};
    for (int32 i = 0; i < 32; ++i) {
        EXPECT_EQ(frames[0][i], expected[i & 15]) << "index " << i;
    }
}

TEST_F(GifReaderTest, TransparencyOnlyWhenTheGraphicControlSaysSo) {
    for (const uint8 packed : {0x00, 0x01}) {
        // Background index 3 (white) differs from the transparent index 1.
        const std::string path = Save(GifBuilder()
                                          .Screen(2, 2, kFourColorScreen, 3, kFourColors)
                                          .GraphicControl(packed, 0, 1)
                                          .Image(0, 0, 2, 2, 0, {}, 2, Solid2x2(1))
                                          .Byte(';')
                                          .Bytes());
        const std::vector<Pixels> frames = ReadFrames(path);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0], Pixels(4, packed == 0 ? kGreen : 0u)) << "packed " << int{packed};
    }
}

TEST_F(GifReaderTest, FirstImageOnAPartOfTheScreen) {
    // Outside the image the background colour, unless the background index is the
    // transparent one.
    for (const uint8 background : {0, 2}) {
        const std::string path = Save(GifBuilder()
                                          .Screen(3, 2, kFourColorScreen, background, kFourColors)
                                          .GraphicControl(0x01, 0, 2)
                                          .Image(1, 0, 2, 2, 0, {}, 2, Solid2x2(3))
                                          .Byte(';')
                                          .Bytes());
        const std::vector<Pixels> frames = ReadFrames(path);
        ASSERT_EQ(frames.size(), 1u);
        const uint32 outside = background == 0 ? kRed : 0u;
        EXPECT_EQ(frames[0], (Pixels{outside, kWhite, kWhite, outside, kWhite, kWhite}));
    }
}

// --- Disposal ---

TEST_F(GifReaderTest, DisposalMethodsPrepareTheNextCanvas) {
    // 3 x 1 screen, background blue. Frame 1 paints (0, 0) and (1, 0) red with the disposal
    // under test, frame 2 paints (1, 0) green, frame 3 paints (2, 0) white.
    const auto file = [&](uint8 disposal, bool transparent) {
        GifBuilder gif;
        gif.Screen(3, 1, kFourColorScreen, 2, kFourColors);
        gif.Image(0, 0, 3, 1, 0, {}, 2, Codes({2, 2, 2}));
        gif.GraphicControl(static_cast<uint8>(disposal << 2 | (transparent ? 1 : 0)), 0, 3);
        gif.Image(0, 0, 2, 1, 0, {}, 2, Codes({0, 0}));
        gif.GraphicControl(0x04, 0, 0).Image(1, 0, 1, 1, 0, {}, 2, Codes({1}));
        gif.GraphicControl(0x04, 0, 0).Image(2, 0, 1, 1, 0, {}, 2, Codes({3}));
        return Save(gif.Byte(';').Bytes());
    };
    struct Case {
        uint8 disposal;
        bool transparent;
        Pixels second;
    };
    const uint32 clear = kBlue & 0x00FFFFFF;
    const Case cases[] = {
        // 0: everything back to the background colour.
        {0, false, {kBlue, kGreen, kBlue}},
        // 1: left in place.
        {1, false, {kRed, kGreen, kBlue}},
        // 2: its area cleared to the background, transparent when a transparent index is set.
        {2, false, {kBlue, kGreen, kBlue}},
        {2, true, {clear, kGreen, kBlue}},
        // 3: the result before it comes back.
        {3, false, {kBlue, kGreen, kBlue}},
    };
    for (const Case& c : cases) {
        const std::vector<Pixels> frames = ReadFrames(file(c.disposal, c.transparent));
        ASSERT_EQ(frames.size(), 4u);
        EXPECT_EQ(frames[1], (Pixels{kRed, kRed, kBlue}));
        EXPECT_EQ(frames[2], c.second) << "disposal " << int{c.disposal};
        Pixels third = c.second;
        third[2] = kWhite;
        EXPECT_EQ(frames[3], third) << "disposal " << int{c.disposal};
    }
}

TEST_F(GifReaderTest, RestoreToPreviousOnTheFirstImageKeepsIt) {
    const std::string path = Save(GifBuilder()
                                      .Screen(2, 2, kFourColorScreen, 0, kFourColors)
                                      .GraphicControl(0x0C, 0, 0)
                                      .Image(0, 0, 2, 2, 0, {}, 2, Solid2x2(1))
                                      .Image(0, 0, 1, 1, 0, {}, 2, Codes({2}))
                                      .Byte(';')
                                      .Bytes());
    const std::vector<Pixels> frames = ReadFrames(path);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1], (Pixels{kBlue, kGreen, kGreen, kGreen}));
}

// --- Clipping ---

TEST_F(GifReaderTest, ImagesAreClippedToTheScreenAndStillCount) {
    const std::string path = Save(GifBuilder()
                                      .Screen(2, 2, kFourColorScreen, 0, kFourColors)
                                      .GraphicControl(0x04, 0, 0)
                                      .Image(1, 1, 2, 2, 0, {}, 2, Solid2x2(2))
                                      .GraphicControl(0x04, 0, 0)
                                      .Image(5, 0, 2, 2, 0, {}, 2, Solid2x2(3))
                                      .Byte(';')
                                      .Bytes());
    const std::vector<Pixels> frames = ReadFrames(path);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], (Pixels{kRed, kRed, kRed, kBlue}));
    EXPECT_EQ(frames[1], frames[0]);
}

// --- Info fields, rasters given in, looping ---

TEST_F(GifReaderTest, InfoGetsTheGraphicControlOfEachImageAndComments) {
    GifBuilder gif;
    gif.Screen(2, 2, kFourColorScreen, 0, kFourColors);
    gif.Byte(0x21).Byte(0xFE).SubBlocks({'h', 'e', 'l', 'l', 'o'});
    gif.GraphicControl(0x09, 25, 2).Image(0, 0, 2, 2, 0, {}, 2, Solid2x2(1));
    gif.GraphicControl(0x04, 7, 3).Image(0, 0, 2, 2, 0, {}, 2, Solid2x2(1));
    gif.Image(0, 0, 2, 2, 0, {}, 2, Solid2x2(1)).Byte(';');
    YKMessage info;
    info.AddInt32("gce_flags", 99);
    ReadFrames(Save(gif.Bytes()), &info);

    const int32 flags[] = {0x09, 0x04, 0};
    const int32 delays[] = {25, 7, 0};
    const int32 transparent[] = {2, -1, -1};
    for (int32 i = 0; i < 3; ++i) {
        int32 value = 0;
        EXPECT_TRUE(info.FindInt32("gce_flags", i, &value));
        EXPECT_EQ(value, flags[i]);
        EXPECT_TRUE(info.FindInt32("gce_delay", i, &value));
        EXPECT_EQ(value, delays[i]);
        EXPECT_TRUE(info.FindInt32("gce_transp", i, &value));
        EXPECT_EQ(value, transparent[i]);
    }
    EXPECT_FALSE(info.HasInt32("gce_flags", 3));
    std::string comment;
    EXPECT_TRUE(info.FindString("ra_descript", &comment));
    EXPECT_EQ(comment, "hello");
}

TEST_F(GifReaderTest, GivenRasterIsReusedAndNativeRastersAreMade) {
    const std::string path = Save(GifBuilder()
                                      .Screen(2, 2, kFourColorScreen, 0, kFourColors)
                                      .Image(0, 0, 2, 2, 0, {}, 2, Solid2x2(1))
                                      .Image(0, 0, 2, 2, 0, {}, 2, Solid2x2(2))
                                      .Byte(';')
                                      .Bytes());
    YKReadGif reader;
    ASSERT_TRUE(reader.BeginRead(path.c_str(), nullptr, true));
    std::unique_ptr<YKRaster> raster;
    ASSERT_TRUE(reader.ReadNextImage(raster));
    EXPECT_TRUE(raster->IsNative());
    const YKRaster* first = raster.get();
    ASSERT_TRUE(reader.ReadNextImage(raster));
    EXPECT_EQ(raster.get(), first);
    EXPECT_EQ(ImageOf(*raster).pixels, Pixels(4, kBlue));
    EXPECT_FALSE(reader.ReadNextImage(raster));
    reader.EndRead();
    EXPECT_FALSE(reader.ReadNextImage(raster));
}

TEST_F(GifReaderTest, LoopingReplaysFromTheLoopFrameOnItsOwnCanvas) {
    // Frame 1 (the loop frame) paints the screen red; frames 2 and 3 add a pixel each, left in
    // place. Replays must start from frame 1's canvas, not from where frame 3 left it.
    GifBuilder gif;
    gif.Screen(2, 2, kFourColorScreen, 2, kFourColors);
    gif.Image(0, 0, 2, 2, 0, {}, 2, Solid2x2(3));
    gif.GraphicControl(0x04, 0, 0).Image(0, 0, 2, 2, 0, {}, 2, Solid2x2(0));
    gif.GraphicControl(0x04, 0, 0).Image(0, 0, 1, 1, 0, {}, 2, Codes({1}));
    gif.GraphicControl(0x04, 0, 0).Image(1, 1, 1, 1, 0, {}, 2, Codes({2}));
    const std::string path = Save(gif.Byte(';').Bytes());

    YKReadGif reader;
    reader.SetLoopFrame(1);
    ASSERT_TRUE(reader.BeginRead(path.c_str(), nullptr));
    std::vector<Pixels> played;
    std::unique_ptr<YKRaster> raster;
    for (int32 i = 0; i < 10 && reader.ReadNextImage(raster, true); ++i) {
        played.push_back(ImageOf(*raster).pixels);
    }
    const Pixels red(4, kRed);
    const Pixels second = {kGreen, kRed, kRed, kRed};
    const Pixels third = {kGreen, kRed, kRed, kBlue};
    EXPECT_EQ(played, (std::vector<Pixels>{Pixels(4, kWhite), red, second, third, red, second,
                                           third, red, second, third}));

    // Without looping the end is the end.
    EXPECT_FALSE(YKReadGif().ReadNextImage(raster, true));
    YKReadGif plain;
    ASSERT_TRUE(plain.BeginRead(path.c_str(), nullptr));
    int32 count = 0;
    while (plain.ReadNextImage(raster, false)) {
        ++count;
    }
    EXPECT_EQ(count, 4);
}

}  // namespace
