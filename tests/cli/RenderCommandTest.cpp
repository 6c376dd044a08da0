// gravik-cli render and convert, run as a user runs them.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "CliTest.h"
#include "IndexedGif.h"
#include "PixelAt.h"
#include "YKPngIO.h"
#include "YKRaster.h"

namespace {

using RenderCommands = CliTest;

std::unique_ptr<YKRaster> ReadPng(const std::filesystem::path& path) {
    std::string error;
    std::unique_ptr<YKRaster> raster(YKPngIO::Read(path.c_str(), &error));
    EXPECT_NE(raster, nullptr) << path << ": " << error;
    return raster;
}

// An animation of 16 x 16 frames of noise in four colours, the frames timed by `delays`.
void WriteNoiseGif(const std::filesystem::path& path, const std::vector<int32>& delays) {
    std::mt19937 random(11);
    WriteIndexedGif(path.string(), 16, 16, delays, [&random](int32, size_t) { return random(); });
}

TEST_F(RenderCommands, RendersAFrameOrEveryFrameAsPng) {
    const std::string doc = (mDir / "blue.gr").string();
    ASSERT_EQ(Run("new --width 20 --height 10 --background 3366CCFF -o " + doc).status, 0);
    const CliResult one = Run("render " + doc + " -o " + (mDir / "one.png").string());
    ASSERT_EQ(one.status, 0) << one.err;
    const auto raster = ReadPng(mDir / "one.png");
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(raster->Width(), 20);
    EXPECT_EQ(raster->Height(), 10);
    EXPECT_EQ(PixelAt(*raster, 19, 9), 0xFF3366CCu);

    const CliResult all = Run("render " + doc + " --all -o " + (mDir / "frame.png").string());
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_TRUE(std::filesystem::exists(mDir / "frame_001.png"));
    EXPECT_FALSE(std::filesystem::exists(mDir / "frame_002.png"));
}

TEST_F(RenderCommands, RefusesBadArgumentsAndFrames) {
    const std::string doc = (mDir / "doc.gr").string();
    ASSERT_EQ(Run("new --width 8 --height 8 -o " + doc).status, 0);
    const std::string out = " -o " + (mDir / "x.png").string();
    EXPECT_EQ(Run("render " + doc + " --frame 0" + out).status, 2);
    EXPECT_EQ(Run("render " + doc + " --frame 2 --all" + out).status, 2);
    EXPECT_EQ(Run("render " + doc).status, 2);
    const CliResult beyond = Run("render " + doc + " --frame 5" + out);
    EXPECT_EQ(beyond.status, 1);
    EXPECT_NE(beyond.err.find("frame 5"), std::string::npos) << beyond.err;
    EXPECT_FALSE(std::filesystem::exists(mDir / "x.png"));
}

TEST_F(RenderCommands, ConvertedImageRendersAsTheImage) {
    YKRaster image(YKRect<int32>{0, 0, 6, 4});
    for (int32 y = 0; y < 5; ++y) {
        for (int32 x = 0; x < 7; ++x) {
            reinterpret_cast<uint32*>(image.Bits() + y * image.BytesPerRow())[x] =
                (static_cast<uint32>(40 * x + 15) << 24) | (static_cast<uint32>(50 * y) << 8) |
                0x90u;
        }
    }
    std::string error;
    ASSERT_TRUE(YKPngIO::Write(image, (mDir / "in.png").c_str(), &error)) << error;
    const std::string doc = (mDir / "in.gr").string();
    const CliResult converted = Run("convert " + (mDir / "in.png").string() + " -o " + doc);
    ASSERT_EQ(converted.status, 0) << converted.err;
    EXPECT_NE(Run("info " + doc).out.find("canvas: -3, -2, 3, 2 (7 x 5)"), std::string::npos);
    ASSERT_EQ(Run("render " + doc + " -o " + (mDir / "out.png").string()).status, 0);
    const auto rendered = ReadPng(mDir / "out.png");
    ASSERT_NE(rendered, nullptr);
    for (int32 y = 0; y < 5; ++y) {
        for (int32 x = 0; x < 7; ++x) {
            EXPECT_EQ(PixelAt(*rendered, x, y), PixelAt(image, x, y)) << x << "," << y;
        }
    }
}

TEST_F(RenderCommands, ConvertedAnimatedGifKeepsItsFramesAndWarnsOfDamage) {
    const std::filesystem::path gif = mDir / "anim.gif";
    WriteNoiseGif(gif, {10, 30, 4});
    const std::string doc = (mDir / "anim.gr").string();
    CliResult r = Run("convert " + gif.string() + " -o " + doc);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    r = Run("info " + doc);
    EXPECT_NE(r.out.find("frames: 3\n  frame 1: 10/100 s\n  frame 2: 30/100 s\n"
                         "  frame 3: 4/100 s\n"),
              std::string::npos)
        << r.out;

    // The last frame's data cut short: the frames still open, with one line that says so.
    std::string bytes = ReadBytes(gif);
    bytes.resize(bytes.size() - 12);
    WriteBytes(gif, bytes);
    r = Run("convert " + gif.string() + " -o " + doc);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "gravik-cli: " + gif.string() +
                         ": warning: GIF image 3: its data ends before the image is complete\n");
    EXPECT_NE(Run("info " + doc).out.find("frames: 3\n"), std::string::npos);

    // A code size no image can have is an error.
    WriteNoiseGif(gif, {0});
    bytes = ReadBytes(gif);
    ASSERT_EQ(bytes[33], ',') << "the image after the 4-colour table and graphic control";
    bytes[43] = 12;
    WriteBytes(gif, bytes);
    r = Run("convert " + gif.string() + " -o " + doc);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("GIF image 1: LZW code size 12 is impossible"), std::string::npos)
        << r.err;
}

TEST_F(RenderCommands, ConvertedLightWaveObjectIsA3DLayerThatDraws) {
    const std::string model = "/usr/share/assimp/models/LWO/LWO2/hierarchy.lwo";
    const std::string doc = (mDir / "model.gr").string();
    CliResult r = Run("convert " + model + " -o " + doc);
    ASSERT_EQ(r.status, 0) << r.err;
    r = Run("info " + doc);
    EXPECT_NE(r.out.find("canvas: -128, -128, 127, 127 (256 x 256)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("YK3DLayer id"), std::string::npos) << r.out;
    ASSERT_EQ(Run("render " + doc + " -o " + (mDir / "model.png").string()).status, 0);
    const auto rendered = ReadPng(mDir / "model.png");
    ASSERT_NE(rendered, nullptr);
    EXPECT_NE(PixelAt(*rendered, 128, 128) >> 24, 0u) << "the model covers the canvas centre";

    // A damaged model is refused with one line that says why.
    std::string bytes = ReadBytes(model);
    bytes.resize(40);
    WriteBytes(mDir / "cut.lwo", bytes);
    r = Run("convert " + (mDir / "cut.lwo").string() + " -o " + doc);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

}  // namespace
