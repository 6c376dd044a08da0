// Targa files judged by ImageMagick. Ours, raw or run-length, of 24 or 32 bits, must decode
// there to exactly our pixels; theirs, of either origin, raw or run-length, must read here to
// exactly the pixels they were made from and that ImageMagick shows.
//
// ImageMagick keeps a bottom-left file's rows in file order and only notes the orientation:
// its pixels as shown are those after -auto-orient. It writes rows top first and marks them
// bottom-left unless told "-orient top-left"; "-flip" makes the file show the picture upright.

#include <random>

#include "PeerPrograms.h"
#include "PngTestFiles.h"
#include "ReferenceImage.h"
#include "YKTarga.h"

namespace {

using png_test::Pixels;

class TargaInteropTest : public PeerTest {
protected:
    void SetUp() override { Require({kMagick}); }
};

// Short runs among noise, so that run-length files hold both kinds of packet.
Pixels RunsAndNoise(int32 count, uint32 seed) {
    std::mt19937 random(seed);
    Pixels pixels;
    while (pixels.size() < size_t(count)) {
        pixels.insert(pixels.end(), random() % 4 == 0 ? random() % 9 + 2 : 1, random());
    }
    pixels.resize(count);
    return pixels;
}

TEST_F(TargaInteropTest, OursDecodeThereToOurPixels) {
    YKRaster raster({0, 0, 36, 22});
    const Pixels source = RunsAndNoise(37 * 23, 4);
    std::copy(source.begin(), source.end(), reinterpret_cast<uint32*>(raster.Bits()));
    for (const int32 depth : {24, 32}) {
        for (const bool rle : {false, true}) {
            const std::string path = Path("ours.tga");
            ASSERT_TRUE(YKTarga::WriteFile(path.c_str(), raster, depth, rle, nullptr));
            Pixels expected = source;
            for (uint32& p : expected) {
                p |= depth == 24 ? 0xFF000000 : 0;
            }
            EXPECT_EQ(MagickDecode(path), expected) << depth << (rle ? " RLE" : " raw");
        }
    }
}

TEST_F(TargaInteropTest, TheirsReadHereToTheirPixels) {
    const Pixels source = RunsAndNoise(29 * 17, 5);
    std::vector<uint8> rgba;
    for (const uint32 p : source) {
        rgba.insert(rgba.end(), {uint8(p >> 16), uint8(p >> 8), uint8(p), uint8(p >> 24)});
    }
    WriteBytes(Path("source.rgba"), rgba);
    const std::string input =
        std::string(kMagick) + " -size 29x17 -depth 8 RGBA:'" + Path("source.rgba") + "' ";
    for (const char* alpha : {"", "-alpha off "}) {
        for (const char* orient : {"-flip ", "-orient top-left "}) {
            for (const char* compress : {"", "-compress RLE "}) {
                const std::string options = std::string(alpha) + orient + compress;
                Run(input + options + "'" + Path("theirs.tga") + "'");
                std::string error;
                const auto raster = YKTarga::ReadFile(Path("theirs.tga").c_str(), false, &error);
                ASSERT_NE(raster, nullptr) << options << error;
                Pixels expected = source;
                for (uint32& p : expected) {
                    p |= *alpha != 0 ? 0xFF000000 : 0;
                }
                EXPECT_EQ(ImageOf(*raster).pixels, expected) << options;
                EXPECT_EQ(MagickDecode(Path("theirs.tga"), "-auto-orient"), expected) << options;
            }
        }
    }
}

}  // namespace
