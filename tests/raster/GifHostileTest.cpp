// Hostile GIF files: truncated, corrupted, absurd sizes, empty and endless blocks. The reader
// must refuse them or read as far as they are valid, in bounded time, and never crash.

#include <gtest/gtest.h>

#include <chrono>
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

using gif_test::GifBuilder;
using Bytes = std::vector<uint8>;

const Bytes kTwoColors = {0, 0, 0, 255, 255, 255};

class GifHostileTest : public ::testing::Test {
protected:
    struct Outcome {
        bool began = false;
        int32 images = 0;
        std::vector<std::vector<uint32>> frames;
        std::string warning;
        std::string error;
    };

    // Reads every image of `bytes`, checking that each raster has the screen's size.
    Outcome Read(const Bytes& bytes) {
        const std::string path = mDir.PathOf("hostile.gif");
        WriteBytes(path, bytes);
        Outcome outcome;
        YKMessage info;
        YKReadGif reader;
        outcome.began = reader.BeginRead(path.c_str(), &info);
        std::unique_ptr<YKRaster> raster;
        while (outcome.began && reader.ReadNextImage(raster)) {
            EXPECT_EQ(raster->Width(), bytes[6] | bytes[7] << 8);
            EXPECT_EQ(raster->Height(), bytes[8] | bytes[9] << 8);
            outcome.frames.push_back(ImageOf(*raster).pixels);
            ++outcome.images;
        }
        outcome.warning = reader.Warning();
        outcome.error = reader.Error();
        return outcome;
    }

    // An animation with most kinds of block: comment, loop, graphic controls, a local table,
    // interlace, several disposals.
    Bytes Animation() {
        std::mt19937 random(7);
        const Bytes palette = gif_test::RandomPalette(random, 16);
        YKWriteGif::SGlobalInfo global;
        global.width = 15;
        global.height = 12;
        global.colorCount = 16;
        global.colorMap = palette.data();
        global.loopCount = 0;
        std::vector<gif_test::Frame> frames;
        const int32 flags[] = {YKWriteGif::kDisposeNone, YKWriteGif::kDisposeBackground,
                               YKWriteGif::kDisposePrevious | YKWriteGif::kInterlaced, 0};
        for (int32 f = 0; f < 4; ++f) {
            gif_test::Frame frame = gif_test::MakeFrame(23 - f * 4, 19 - f * 3,
                                                        gif_test::RandomBytes(random, 23 * 19, 16));
            frame.info.left = f * 2;
            frame.info.top = f;
            frame.info.flags = flags[f];
            frame.info.transparentIndex = f == 1 ? 5 : -1;
            if (f == 2) {
                frame.map = gif_test::RandomPalette(random, 16);
            }
            frames.push_back(frame);
        }
        const std::string path = mDir.PathOf("animation.gif");
        EXPECT_TRUE(gif_test::WriteGif(path, global, frames));
        Bytes bytes = ReadByteValues(path);
        // A comment after the global table.
        const Bytes comment = {0x21, 0xFE, 3, 'a', 'b', 'c', 0};
        bytes.insert(bytes.begin() + 13 + 48, comment.begin(), comment.end());
        return bytes;
    }

    TempDir mDir;
};

TEST_F(GifHostileTest, EveryTruncationReadsAPrefixOfTheFrames) {
    const Bytes whole = Animation();
    const Outcome full = Read(whole);
    ASSERT_TRUE(full.began);
    ASSERT_EQ(full.images, 4);
    int32 lastImages = 0;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const Outcome cut =
            Read(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_EQ(cut.began, length >= 13 + 48) << "length " << length;
        EXPECT_GE(cut.images, lastImages) << "length " << length;
        EXPECT_LE(cut.images, 4) << "length " << length;
        lastImages = cut.images;
        // Every frame before the one the cut falls into is read whole.
        for (int32 f = 0; f + 1 < cut.images; ++f) {
            EXPECT_EQ(cut.frames[f], full.frames[f]) << "length " << length << ", frame " << f;
        }
    }
    EXPECT_EQ(lastImages, 4) << "without the trailer every image is there";
}

TEST_F(GifHostileTest, RandomCorruptionsNeverCrash) {
    const Bytes whole = Animation();
    std::mt19937 random(99);
    std::uniform_int_distribution<std::size_t> where(0, whole.size() - 1);
    std::uniform_int_distribution<int32> value(0, 255);
    for (int32 round = 0; round < 600; ++round) {
        Bytes bytes = whole;
        const int32 changes = 1 + round % 8;
        for (int32 c = 0; c < changes; ++c) {
            bytes[where(random)] = static_cast<uint8>(value(random));
        }
        // The screen stays small, so a run is quick; its size is tried elsewhere.
        bytes[7] = 0;
        bytes[9] = 0;
        const Outcome outcome = Read(bytes);
        EXPECT_LE(outcome.images, 200);
    }
}

TEST_F(GifHostileTest, ScreensOfZeroOrTooManyPixelsAreRefused) {
    struct Case {
        int32 width;
        int32 height;
        bool accepted;
    };
    const Case cases[] = {{0, 5, false},     {5, 0, false},       {65535, 65535, false},
                          {32769, 1, false}, {32768, 8192, true}, {32768, 8193, false},
                          {1, 32768, true}};
    for (const Case& c : cases) {
        const Bytes bytes =
            GifBuilder().Screen(c.width, c.height, 0x80, 0, kTwoColors).Byte(';').Bytes();
        EXPECT_EQ(Read(bytes).began, c.accepted) << c.width << " x " << c.height;
    }
    EXPECT_FALSE(Read({'G', 'I', 'F', '8', '9', 'b', 1, 0, 1, 0, 0, 0, 0}).began);
    EXPECT_FALSE(Read({'G', 'I', 'F'}).began);
    EXPECT_FALSE(YKReadGif().BeginRead(mDir.PathOf("absent.gif").c_str(), nullptr));
}

TEST_F(GifHostileTest, HugeImagesOnASmallScreenAreQuick) {
    // 65535 x 65535 images whose data repeats the longest strings; only the 3 x 2 screen part
    // is drawn, and decoding stops when it is done.
    std::mt19937 random(3);
    const Bytes noise = gif_test::RandomBytes(random, 200000, 256);
    for (const uint8 packed : {0x00, 0x40}) {
        const auto start = std::chrono::steady_clock::now();
        const Outcome outcome = Read(GifBuilder()
                                         .Screen(3, 2, 0x80, 0, kTwoColors)
                                         .Image(0, 0, 65535, 65535, packed, {}, 8, noise)
                                         .Image(65534, 65534, 65535, 65535, packed, {}, 8, noise)
                                         .Byte(';')
                                         .Bytes());
        EXPECT_EQ(outcome.images, 2);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

TEST_F(GifHostileTest, DamagedDataShowsWhatItCanWithOneWarning) {
    // A 2 x 1 image on a white screen: what the data does not give is index 0, black.
    constexpr uint32 kBlack = 0xFF000000;
    constexpr uint32 kWhite = 0xFFFFFFFF;
    struct Case {
        int32 minCodeSize;
        Bytes data;
        std::vector<uint32> pixels;
        std::string warning;
    };
    const Case cases[] = {
        {2, gif_test::PackCodes({{4, 3}, {1, 3}, {1, 3}, {5, 3}}), {kWhite, kWhite}, ""},
        {2, {}, {kBlack, kBlack}, "GIF image 1: its data ends before the image is complete"},
        {2, {0x04}, {kBlack, kBlack}, "GIF image 1: its data ends before the image is complete"},
        {2,
         gif_test::PackCodes({{4, 3}, {1, 3}, {7, 3}, {5, 3}}),
         {kWhite, kWhite},
         "GIF image 1: its data has codes past the LZW table"},
        {1,
         gif_test::PackCodes({{2, 3}, {1, 3}, {1, 3}, {3, 3}}),
         {kWhite, kWhite},
         "GIF image 1: LZW code size 1 is outside 2 to 8"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Read(GifBuilder()
                                         .Screen(2, 1, 0x80, 1, kTwoColors)
                                         .Image(0, 0, 2, 1, 0, {}, c.minCodeSize, c.data)
                                         .Byte(';')
                                         .Bytes());
        ASSERT_EQ(outcome.images, 1) << c.warning;
        EXPECT_EQ(outcome.frames[0], c.pixels) << c.warning;
        EXPECT_EQ(outcome.warning, c.warning);
        EXPECT_EQ(outcome.error, "");
    }
    // A cut in a later image names that image; the frames before it are whole.
    Bytes cut = GifBuilder()
                    .Screen(2, 1, 0x80, 1, kTwoColors)
                    .Image(0, 0, 2, 1, 0, {}, 2, cases[0].data)
                    .Image(0, 0, 2, 1, 0, {}, 2, cases[0].data)
                    .Bytes();
    cut.resize(cut.size() - 3);
    const Outcome outcome = Read(cut);
    EXPECT_EQ(outcome.images, 2);
    EXPECT_EQ(outcome.warning, "GIF image 2: its data ends before the image is complete");
}

TEST_F(GifHostileTest, CodeSizesNoImageCanHaveAreRefused) {
    // Code size 0 has no codes; above 8 the indices have no colour.
    const Bytes whiteRow = gif_test::PackCodes({{4, 3}, {1, 3}, {1, 3}, {5, 3}});
    for (const int32 size : {0, 9, 12, 255}) {
        const Outcome outcome = Read(GifBuilder()
                                         .Screen(2, 1, 0x80, 1, kTwoColors)
                                         .Image(0, 0, 2, 1, 0, {}, 2, whiteRow)
                                         .Image(0, 0, 2, 1, 0, {}, size, {0xFF, 0xFF})
                                         .Byte(';')
                                         .Bytes());
        EXPECT_EQ(outcome.images, 1) << size;
        EXPECT_EQ(outcome.error, "GIF image 2: LZW code size " + std::to_string(size) +
                                     " is impossible (2 to 8 are allowed)");
    }
}

TEST_F(GifHostileTest, EndlessExtensionChainsEnd) {
    GifBuilder gif;
    gif.Screen(1, 1, 0x80, 0, kTwoColors);
    for (int32 i = 0; i < 100000; ++i) {
        gif.GraphicControl(0x01, i, 1);
    }
    const Bytes data = gif_test::PackCodes({{4, 3}, {1, 3}, {5, 3}});
    Outcome outcome = Read(gif.Image(0, 0, 1, 1, 0, {}, 2, data).Byte(';').Bytes());
    EXPECT_EQ(outcome.images, 1);

    // Sub-blocks that never end, and an extension cut after its label.
    Bytes endless = GifBuilder().Screen(1, 1, 0x80, 0, kTwoColors).Byte(0x21).Byte(0x01).Bytes();
    endless.insert(endless.end(), 300000, 0x05);
    EXPECT_EQ(Read(endless).images, 0);
    EXPECT_EQ(Read(GifBuilder().Screen(1, 1, 0x80, 0, kTwoColors).Byte(0x21).Bytes()).images, 0);
}

// Found by fuzzing: a stray byte ended the images, and the next call read on past it.
TEST_F(GifHostileTest, TheEndOfTheImagesStaysTheEnd) {
    const std::string path = mDir.PathOf("end.gif");
    WriteBytes(path, GifBuilder()
                         .Screen(1, 1, 0x80, 0, kTwoColors)
                         .Image(0, 0, 1, 1, 0, {}, 2, gif_test::PackCodes({{4, 3}, {1, 3}, {5, 3}}))
                         .Byte(0)
                         .Image(0, 0, 1, 1, 0, {}, 2, gif_test::PackCodes({{4, 3}, {0, 3}, {5, 3}}))
                         .Byte(';')
                         .Bytes());
    YKReadGif reader;
    ASSERT_TRUE(reader.BeginRead(path.c_str(), nullptr));
    std::unique_ptr<YKRaster> raster;
    EXPECT_TRUE(reader.ReadNextImage(raster));
    EXPECT_FALSE(reader.ReadNextImage(raster));
    EXPECT_FALSE(reader.ReadNextImage(raster));
    // Looping goes back to the loop frame, never on past the end.
    ASSERT_TRUE(reader.BeginRead(path.c_str(), nullptr));
    for (int32 i = 0; i < 3; ++i) {
        ASSERT_TRUE(reader.ReadNextImage(raster, true));
        EXPECT_EQ(ImageOf(*raster).pixels, std::vector<uint32>{0xFFFFFFFF});
    }
}

TEST_F(GifHostileTest, RandomCodeStreamsOfEveryCodeSize) {
    std::mt19937 random(5);
    for (int32 codeSize = 2; codeSize <= 8; ++codeSize) {
        for (int32 round = 0; round < 40; ++round) {
            const Bytes data = gif_test::RandomBytes(random, 50 + round * 97, 256);
            const Outcome outcome =
                Read(GifBuilder()
                         .Screen(61, 37, 0x87, 0, gif_test::IndexPalette(256))
                         .Image(0, 0, 61, 37, round % 2 == 0 ? 0x00 : 0x40, {}, codeSize, data)
                         .Byte(';')
                         .Bytes());
            ASSERT_EQ(outcome.images, 1);
            // Every pixel is the colour of an index the code size allows.
            for (const uint32 pixel : outcome.frames[0]) {
                ASSERT_LT((pixel >> 16) & 0xFF, 1u << codeSize);
            }
        }
    }
}

}  // namespace
