// Files ImageMagick writes in the formats Qt's image I/O reads: each must read here to exactly
// the pixels ImageMagick decodes from it, and open in gravik-cli as a document of its size.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

#include "FileBytes.h"
#include "ReferenceImage.h"
#include "TempDir.h"
#include "YKRasterFile.h"
#include "YKTranslatorIO.h"

namespace {

using Pixels = std::vector<uint32>;

class TranslatorInteropTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (access(kMagick, X_OK) != 0) {
            GTEST_SKIP() << "ImageMagick is not installed";
        }
        YKTranslatorIO::RegisterAll();
    }

    int Run(const std::string& command) const {
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    // ImageMagick's 8-bit RGBA decoding of a file in `format`, as 32-bit pixels.
    Pixels Decode(const std::string& format, const std::string& path) const {
        EXPECT_EQ(Run(std::string(kMagick) + " " + format + ":'" + path + "' -depth 8 RGBA:'" +
                      Path("decoded.rgba") + "'"),
                  0);
        const std::vector<uint8> rgba = ReadByteValues(Path("decoded.rgba"));
        Pixels pixels(rgba.size() / 4);
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint8* p = &rgba[i * 4];
            pixels[i] = uint32{p[3]} << 24 | p[0] << 16 | p[1] << 8 | p[2];
        }
        return pixels;
    }

    std::string Path(const std::string& name) const { return mDir.PathOf(name); }

    static constexpr const char* kMagick = "/usr/bin/convert-im6.q16";
    TempDir mDir;
};

TEST_F(TranslatorInteropTest, ImageMagickFilesReadToItsPixelsAndOpenInTheCli) {
    // Noise over the whole range of each channel; a formats that holds alpha gets the
    // extremes of it (translucent levels go through premultiplied pixels in Qt's readers).
    std::mt19937 random(11);
    std::vector<uint8> rgba;
    for (int32 i = 0; i < 29 * 13; ++i) {
        for (int channel = 0; channel < 3; ++channel) {
            rgba.push_back(static_cast<uint8>(random()));
        }
        rgba.push_back(random() % 5 == 0 ? 0 : 255);
    }
    WriteBytes(Path("source.rgba"), rgba);
    const std::string source =
        std::string(kMagick) + " -size 29x13 -depth 8 RGBA:'" + Path("source.rgba") + "' ";
    const struct {
        const char* name;
        const char* args;
        const char* format;
    } kinds[] = {{"bmp", "-alpha off BMP3", "BMP"},
                 {"bmp32", "BMP", "BMP"},
                 {"tiff", "TIFF", "TIFF"},
                 {"webp", "-define webp:lossless=true WEBP", "WEBP"},
                 {"ppm", "PPM", "PPM"},
                 {"pgm", "-colorspace Gray PGM", "PGM"},
                 {"ico", "ICO", "ICO"}};
    for (const auto& kind : kinds) {
        // No suffix: the readers go by content alone.
        const std::string file = Path(kind.name);
        ASSERT_EQ(Run(source + kind.args + ":'" + file + "' 2>/dev/null"), 0) << kind.args;
        const YKRasterFile image(file.c_str());
        ASSERT_TRUE(image.InitCheck()) << kind.name << ": " << image.ErrorText();
        const Pixels theirs = Decode(kind.format, file);
        const Pixels ours = ImageOf(*image.Raster()).pixels;
        ASSERT_EQ(ours.size(), theirs.size()) << kind.name;
        for (size_t i = 0; i < ours.size(); ++i) {
            // The colour under alpha 0 is not kept by every reader: only the alpha counts there.
            const bool clear = theirs[i] >> 24 == 0;
            ASSERT_EQ(clear ? ours[i] >> 24 : ours[i], clear ? 0 : theirs[i])
                << kind.name << " pixel " << i;
        }

        const std::string document = Path(std::string(kind.name) + ".gr");
        const std::string info = Path("info.json");
        ASSERT_EQ(Run(std::string(GRAVIK_CLI) + " convert '" + file + "' -o '" + document +
                      "' >/dev/null"),
                  0)
            << kind.name;
        ASSERT_EQ(Run(std::string(GRAVIK_CLI) + " info --json '" + document + "' >'" + info + "'"),
                  0);
        EXPECT_NE(ReadBytes(info).find("\"width\":29,\"height\":13"), std::string::npos)
            << ReadBytes(info);
    }
}

}  // namespace
