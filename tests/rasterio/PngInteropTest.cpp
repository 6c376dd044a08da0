// PNG files judged by ImageMagick. Ours must decode there to exactly our pixels, colour under
// alpha 0 included; theirs, of every colour type it writes, must read here to the pixels it
// decodes from them itself, which for the lossless types are the pixels it was given.

#include "PeerPrograms.h"
#include "PngTestFiles.h"
#include "ReferenceImage.h"
#include "YKPngIO.h"

namespace {

using namespace png_test;

class PngInteropTest : public PeerTest {
protected:
    void SetUp() override { Require({kMagick}); }
};

TEST_F(PngInteropTest, OursDecodeThereToOurPixels) {
    const auto raster = RandomRaster(37, 23, 5);
    ASSERT_TRUE(YKPngIO::Write(*raster, Path("ours.png").c_str(), nullptr));
    EXPECT_EQ(MagickDecode(Path("ours.png")), ImageOf(*raster).pixels);
}

TEST_F(PngInteropTest, TheirsReadHereToTheirPixels) {
    // Forty colours, a fifth of the pixels transparent: the lossless types hold it exactly.
    std::mt19937 random(3);
    Pixels colors(40), source;
    for (uint32& color : colors) {
        color = 0xFF000000 | (random() & 0xFFFFFF);
    }
    Bytes rgba;
    for (int32 i = 0; i < 29 * 17; ++i) {
        source.push_back(colors[random() % 40] & (random() % 5 == 0 ? 0x00FFFFFF : ~0u));
        for (const int shift : {16, 8, 0, 24}) {
            rgba.push_back(static_cast<uint8>(source.back() >> shift));
        }
    }
    WriteBytes(Path("source.rgba"), rgba);
    const std::string input =
        std::string(kMagick) + " -size 29x17 -depth 8 RGBA:'" + Path("source.rgba") + "' ";
    const struct {
        const char* args;
        bool lossless;
    } kinds[] = {{"PNG32", true},
                 {"PNG64", true},
                 {"PNG8", true},
                 {"-interlace PNG PNG32", true},
                 {"-colorspace Gray -define png:color-type=4 PNG", false}};
    for (const auto& kind : kinds) {
        const std::string theirs = Path("theirs.png");
        Run(input + kind.args + ":'" + theirs + "'");
        std::string error;
        const std::unique_ptr<YKRaster> ours(YKPngIO::Read(theirs.c_str(), &error));
        ASSERT_NE(ours, nullptr) << kind.args << ": " << error;
        const Pixels pixels = ImageOf(*ours).pixels;
        EXPECT_EQ(pixels, MagickDecode(theirs)) << kind.args;
        for (size_t i = 0; kind.lossless && i < pixels.size(); ++i) {
            const uint32 mask = source[i] >> 24 == 0 ? 0xFF000000 : ~0u;
            ASSERT_EQ(pixels[i] & mask, source[i] & mask) << kind.args << " pixel " << i;
        }
    }
}

}  // namespace
