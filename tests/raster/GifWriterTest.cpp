// The byte layout of written GIF files: header, tables, extensions, descriptors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileBytes.h"
#include "GifTestFiles.h"
#include "TempDir.h"
#include "YKWriteGif.h"

namespace {

using gif_test::Frame;
using gif_test::MakeFrame;
using Bytes = std::vector<uint8>;

// Offset of the first image descriptor: past the screen descriptor, the global table and any
// extensions.
std::size_t FirstImageOffset(const Bytes& file) {
    std::size_t at = 13;
    if ((file[10] & 0x80) != 0) {
        at += 3u << ((file[10] & 7) + 1);
    }
    while (at < file.size() && file[at] == 0x21) {
        at += 2;
        while (at < file.size() && file[at] != 0) {
            at += file[at] + 1u;
        }
        ++at;
    }
    return at;
}

Bytes Slice(const Bytes& bytes, std::size_t at, std::size_t count) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(at),
            bytes.begin() + static_cast<std::ptrdiff_t>(at + count)};
}

class GifWriterTest : public ::testing::Test {
protected:
    // The file written for `frames` over a screen of the first frame's size.
    Bytes Write(YKWriteGif::SGlobalInfo global, std::vector<Frame> frames) {
        if (global.width == 0) {
            global.width = frames[0].info.width;
            global.height = frames[0].info.height;
        }
        const std::string path = mDir.PathOf("out.gif");
        EXPECT_TRUE(gif_test::WriteGif(path, global, std::move(frames)));
        return ReadByteValues(path);
    }

    YKWriteGif::SGlobalInfo TwoColors() {
        YKWriteGif::SGlobalInfo global;
        global.colorCount = 2;
        global.colorMap = mTwoColors;
        return global;
    }

    TempDir mDir;
    const uint8 mTwoColors[6] = {0, 0, 0, 255, 255, 255};
};

TEST_F(GifWriterTest, OnePixelOfTwoColoursIsBitExact) {
    const Bytes file = Write(TwoColors(), {MakeFrame(1, 1, {1})});
    const Bytes expected = {
        'G',  'I',  'F',  '8', '9', 'a', 1, 0, 1, 0,    0xF0, 0, 0,  // screen, b = 1, global table
        0,    0,    0,    255, 255, 255,                             // two entries
        0x2C, 0,    0,    0,   0,   1,   0, 1, 0, 0x00,              // image, no local table
        2,                                                           // minimum code size
        2,    0x4C, 0x01,  // clear (4), index 1, end (5) in 3-bit codes: 100 001 101
        0,    ';'};
    EXPECT_EQ(file, expected);
}

TEST_F(GifWriterTest, LocalTableIsPaddedToAPowerOfTwo) {
    const Bytes map = {10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42, 50, 51, 52};
    for (const bool interlaced : {false, true}) {
        Frame frame = MakeFrame(2, 2, {0, 1, 2, 4});
        frame.map = map;
        frame.info.flags = interlaced ? YKWriteGif::kInterlaced : 0;
        const Bytes file = Write(TwoColors(), {frame});
        const std::size_t image = FirstImageOffset(file);
        ASSERT_EQ(file[image], 0x2C);
        EXPECT_EQ(file[image + 9], interlaced ? 0xC2 : 0x82);
        Bytes table = map;
        table.resize(8 * 3, 0);
        EXPECT_EQ(Slice(file, image + 10, 24), table);
        EXPECT_EQ(file[image + 34], 3) << "minimum code size of eight entries";
    }
}

TEST_F(GifWriterTest, GlobalTableSizeAndFlags) {
    const Bytes five = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    YKWriteGif::SGlobalInfo global;
    global.colorCount = 5;
    global.colorMap = five.data();
    global.backgroundIndex = 4;
    Bytes file = Write(global, {MakeFrame(1, 1, {0})});
    EXPECT_EQ(file[10], 0xF2);
    EXPECT_EQ(file[11], 4);
    Bytes table = five;
    table.resize(24, 0);
    EXPECT_EQ(Slice(file, 13, 24), table);

    // No global table: only its size bits remain in the packed byte, from the local table.
    Frame local = MakeFrame(1, 1, {0});
    local.map = five;
    file = Write({.width = 1, .height = 1}, {local});
    EXPECT_EQ(file[10], 0x72);
    EXPECT_EQ(file[13], 0x2C);
}

TEST_F(GifWriterTest, GlobalTableKeepsItsSizeWhenTheFirstFrameHasASmallerLocalOne) {
    Bytes palette(256 * 3);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        palette[i] = static_cast<uint8>(i);
    }
    YKWriteGif::SGlobalInfo global;
    global.colorCount = 256;
    global.colorMap = palette.data();
    Frame first = MakeFrame(1, 1, {0});
    first.map = {1, 2, 3, 4, 5, 6};
    const Bytes file = Write(global, {first, MakeFrame(1, 1, {200})});
    EXPECT_EQ(file[10], 0xF7);
    EXPECT_EQ(Slice(file, 13, 768), palette);
}

TEST_F(GifWriterTest, LoopBlockOnlyForCountsThatFitSixteenBits) {
    const Bytes netscape = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S',  'C',
                            'A',  'P',  'E',  '2', '.', '0', 0x03, 0x01};
    for (const int32 loop : {0, 7, 65535}) {
        YKWriteGif::SGlobalInfo global = TwoColors();
        global.loopCount = loop;
        const Bytes file = Write(global, {MakeFrame(1, 1, {0})});
        ASSERT_GT(file.size(), 19u + 19u);
        Bytes expected = netscape;
        expected.insert(expected.end(),
                        {static_cast<uint8>(loop), static_cast<uint8>(loop >> 8), 0});
        EXPECT_EQ(Slice(file, 19, 19), expected) << "loop " << loop;
    }
    for (const int32 loop : {-1, 65536}) {
        YKWriteGif::SGlobalInfo global = TwoColors();
        global.loopCount = loop;
        const Bytes file = Write(global, {MakeFrame(1, 1, {0})});
        EXPECT_EQ(file[19], 0x2C) << "loop " << loop;
    }
}

TEST_F(GifWriterTest, GraphicControlPackedByte) {
    struct Case {
        int32 flags;
        int32 transparent;
        uint8 packed;
    };
    const Case cases[] = {
        {YKWriteGif::kDisposePrevious, 3, 0x0D},
        {YKWriteGif::kDisposeNone, -1, 0x04},
        {YKWriteGif::kDisposeBackground, 1, 0x09},
        {YKWriteGif::kInterlaced, -1, 0x00},
        {0, 0, 0x01},
    };
    for (const Case& c : cases) {
        Frame frame = MakeFrame(1, 1, {0});
        frame.info.flags = c.flags;
        frame.info.transparentIndex = c.transparent;
        frame.info.delay = 0x1234;
        const Bytes file = Write(TwoColors(), {frame});
        const Bytes expected = {0x21,
                                0xF9,
                                4,
                                c.packed,
                                0x34,
                                0x12,
                                static_cast<uint8>(c.transparent < 0 ? 0 : c.transparent),
                                0};
        EXPECT_EQ(Slice(file, 19, 8), expected) << "flags " << c.flags;
    }
    // Neither flags nor transparency: no extension, so the delay is not written.
    Frame plain = MakeFrame(1, 1, {0});
    plain.info.delay = 50;
    EXPECT_EQ(Write(TwoColors(), {plain})[19], 0x2C);
}

TEST_F(GifWriterTest, UnopenedFilesAreRefusedAndClosingWritesTheTrailerOnce) {
    YKWriteGif writer;
    const uint8 index = 0;
    YKWriteGif::SLocalInfo local;
    local.width = 1;
    local.height = 1;
    EXPECT_FALSE(writer.AddFrame8(&index, local));
    EXPECT_FALSE(writer.CreateFile(mDir.PathOf("missing/dir/a.gif").c_str(), TwoColors(), nullptr));

    const std::string path = mDir.PathOf("b.gif");
    {
        YKWriteGif scoped;
        ASSERT_TRUE(scoped.CreateFile(path.c_str(), TwoColors(), nullptr));
        scoped.AddFrame8(&index, local);
        scoped.CloseFile();
        scoped.CloseFile();
    }
    const Bytes file = ReadByteValues(path);
    EXPECT_EQ(file.back(), ';');
    EXPECT_NE(file[file.size() - 2], ';');
}

}  // namespace
