#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "CliTest.h"
#include "PixelAt.h"
#include "ReferenceImage.h"
#include "TestRollKernel.h"

namespace {

namespace fs = std::filesystem;

// gravik-cli copied into a folder of its own whose "add-ons" hold the tests' plug-in and a file
// that is no library, so the tool sees exactly those.
class FilterCommandsTest : public CliTest {
protected:
    void SetUp() override {
        const fs::path bin = mDir / "bin";
        fs::create_directories(bin / "add-ons");
        fs::copy_file(GRAVIK_CLI, bin / "gravik-cli");
        fs::copy_file(fs::path(GRAVIK_TEST_ADDONS) / "test_roll.so", bin / "add-ons/roll.so");
        std::ofstream(bin / "add-ons/x.so") << "not a library\n";
        mProgram = (bin / "gravik-cli").string();
    }
    // "filter IN OUT ..." with IN and OUT in the scratch folder.
    CliResult Filter(const std::string& in, const std::string& out, const std::string& rest) {
        return Run("filter " + (mDir / in).string() + " " + (mDir / out).string() + " " + rest);
    }
};

TEST_F(FilterCommandsTest, FiltersListsTheLoadedOnesByCategoryWithTheirParameters) {
    CliResult text = Run("filters");
    EXPECT_EQ(text.status, 0);
    // The loader's line about x.so is no part of the list.
    EXPECT_EQ(text.out.substr(text.out.find("Other")),
              "Other\n"
              "  \"Test Roll\"\n"
              "    Amount: number 0 to 1, default 1\n"
              "    Shift: integer 0 to 3 px, default 0\n");

    CliResult json = Run("filters --json");
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out,
              "{\"categories\":[{\"name\":\"Other\",\"filters\":[{\"name\":\"Test Roll\","
              "\"parameters\":[{\"name\":\"Amount\",\"type\":\"number\",\"minimum\":0,"
              "\"maximum\":1,\"default\":1,\"unit\":\"\"},{\"name\":\"Shift\",\"type\":"
              "\"integer\",\"minimum\":0,\"maximum\":3,\"default\":0,\"unit\":\"px\"}]}]}]}\n");
    EXPECT_NE(json.err.find("error loading filter ("), std::string::npos);
}

TEST_F(FilterCommandsTest, FilterRunsOverTheWholeImageWithTheEdgesRepeated) {
    PixelImage image{7, 5, {}};
    std::mt19937 random(3);
    for (int32 i = 0; i < image.width * image.height; ++i) {
        image.pixels.push_back(0xFF000000u | (random() & 0xFFFFFFu));
    }
    ASSERT_TRUE(WritePng((mDir / "in.png").string(), image));
    const CliResult result =
        Filter("in.png", "out.png", "--name 'Test Roll' --param Shift=1 --param Amount=0.5");
    ASSERT_EQ(result.status, 0) << result.err;
    PixelImage out;
    ASSERT_TRUE(ReadPng((mDir / "out.png").string(), &out));
    ASSERT_EQ(out.width, image.width);
    ASSERT_EQ(out.height, image.height);
    // The kernel reads one pixel up and left of where it writes, after rolling the rows of its
    // output (one row taller on each side) by half. Within one pixel of the image the edge
    // repeats; further out there is nothing.
    const int32 rolled = image.height + 2;
    int32 opaque = 0;
    for (int32 y = 0; y < image.height; ++y) {
        for (int32 x = 0; x < image.width; ++x) {
            const int32 from = -1 + (y + 1 + rolled / 2) % rolled - 1;
            const int32 column = x - 1;
            uint32 pixel = 0;
            if (from >= -1 && from <= image.height && column >= -1) {
                pixel = image.pixels[std::clamp(from, 0, image.height - 1) * image.width +
                                     std::max(column, 0)];
            }
            // Where nothing reaches, the file stays transparent (no background is put there).
            if (pixel == 0) {
                EXPECT_EQ(PixelAt(out, x, y) >> 24, 0u) << x << "," << y;
            } else {
                EXPECT_EQ(PixelAt(out, x, y), TestRollKernel::Turned(pixel, 0.5)) << x << "," << y;
                ++opaque;
            }
        }
    }
    // One row comes from beyond the margin.
    EXPECT_EQ(opaque, image.width * (image.height - 1));
}

TEST_F(FilterCommandsTest, BadFiltersAndParametersAreRefusedWithOneLine) {
    const PixelImage image{2, 2, std::vector<uint32>(4, 0xFF102030u)};
    ASSERT_TRUE(WritePng((mDir / "in.png").string(), image));
    for (const char* arguments :
         {"--name Nothing", "--name 'Test Roll' --param Radius=2",
          "--name 'Test Roll' --param Shift=4", "--name 'Test Roll' --param Shift=1.5",
          "--name 'Test Roll' --param Amount=-0.1", "--name 'Test Roll' --param Amount",
          "--name 'Test Roll' --frame 0", "", "--name"}) {
        const CliResult result = Filter("in.png", "out.png", arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        // One line of ours, whatever the plug-in loader said about x.so.
        EXPECT_NE(result.err.find("gravik-cli: "), std::string::npos) << arguments;
        EXPECT_EQ(result.err.find("gravik-cli: "), result.err.rfind("gravik-cli: ")) << result.err;
        EXPECT_FALSE(fs::exists(mDir / "out.png")) << arguments;
    }
    EXPECT_EQ(Filter("in.png", "out.xyz", "--name 'Test Roll'").status, 2);
    EXPECT_EQ(Filter("none.png", "out.png", "--name 'Test Roll'").status, 1);
}

// Channel `shift` (16 red, 8 green, 0 blue) of a pixel.
int32 Channel(uint32 pixel, int32 shift) {
    return static_cast<int32>((pixel >> shift) & 0xFF);
}

// How much neighbouring pixels differ, summed over the image: blurring lowers it, sharpening
// raises it.
int64 Roughness(const PixelImage& image) {
    int64 sum = 0;
    for (std::size_t i = 1; i < image.pixels.size(); ++i) {
        for (int32 shift : {0, 8, 16}) {
            sum += std::abs(Channel(image.pixels[i], shift) - Channel(image.pixels[i - 1], shift));
        }
    }
    return sum;
}

// Every shipped plug-in, run by the name documents store, over opaque noise. Each check holds
// only if the parameters reach the kernel as meant (the identity defaults catch swapped ones);
// alpha staying opaque shows the edges repeat rather than fade.
TEST_F(CliTest, EveryShippedFilterRunsByNameAndDoesWhatItsParametersSay) {
    using Check = std::function<bool(uint32 in, uint32 out)>;
    const auto grey = [](uint32, uint32 out) {
        return Channel(out, 16) == Channel(out, 8) && Channel(out, 8) == Channel(out, 0);
    };
    const auto extremes = [](uint32, uint32 out) {
        for (int32 shift : {0, 8, 16}) {
            if (Channel(out, shift) != 0 && Channel(out, shift) != 255) {
                return false;
            }
        }
        return true;
    };
    const auto same = [](uint32 in, uint32 out) { return in == out; };
    const struct {
        const char* arguments;
        Check pixel;  // must hold at every pixel (null: none)
        int32 rough;  // the sign the change in roughness must have (0: none asked)
    } cases[] = {
        {"--name Invert", [](uint32 in, uint32 out) { return out == (in ^ 0xFFFFFFu); }, 0},
        {"--name Desaturate", grey, 0},
        {"--name Posterize --param Levels=2", extremes, 0},
        {"--name Brightness/Contrast", same, 0},
        {"--name Brightness/Contrast --param Contrast=100", extremes, 0},
        {"--name Hue/Saturation", same, 0},
        {"--name Hue/Saturation --param Saturation=0", grey, 0},
        {"--name Colorize --param Color=808080FF", grey, 0},
        // Sepia, the default tint: red over green over blue everywhere.
        {"--name Colorize",
         [](uint32, uint32 out) {
             return Channel(out, 16) >= Channel(out, 8) && Channel(out, 8) >= Channel(out, 0);
         },
         0},
        {"--name 'Gaussian Blur'", nullptr, -1},
        {"--name 'Unsharp Mask' --param Amount=300", nullptr, 1},
        {"--name 'Motion Blur' --param Distance=4 --param Angle=30", nullptr, -1},
        {"--name Pixelate --param 'Cell Size'=4", nullptr, -1},
        {"--name 'Add Noise' --param Amount=40 --param Monochrome=1", nullptr, 1},
        // Relief on mid-grey: a flat image would be grey 128 everywhere.
        {"--name Emboss --param Strength=0",
         [](uint32, uint32 out) { return (out & 0xFFFFFFu) == 0x808080u; }, 0},
    };

    PixelImage image{24, 16, {}};
    std::mt19937 random(11);
    for (int32 i = 0; i < image.width * image.height; ++i) {
        image.pixels.push_back(0xFF000000u | (random() & 0xFFFFFFu));
    }
    ASSERT_TRUE(WritePng((mDir / "in.png").string(), image));
    for (const auto& test : cases) {
        const CliResult result = Run("filter " + (mDir / "in.png").string() + " " +
                                     (mDir / "out.png").string() + " " + test.arguments);
        ASSERT_EQ(result.status, 0) << test.arguments << ": " << result.err;
        PixelImage out;
        ASSERT_TRUE(ReadPng((mDir / "out.png").string(), &out)) << test.arguments;
        ASSERT_EQ(out.pixels.size(), image.pixels.size()) << test.arguments;
        int32 wrong = 0;
        for (std::size_t i = 0; i < out.pixels.size(); ++i) {
            wrong += (out.pixels[i] >> 24) != 0xFF ||
                     (test.pixel && !test.pixel(image.pixels[i], out.pixels[i]));
        }
        EXPECT_EQ(wrong, 0) << test.arguments;
        const int64 change = Roughness(out) - Roughness(image);
        EXPECT_TRUE(test.rough == 0 || (change > 0) == (test.rough > 0)) << test.arguments;
    }
}

}  // namespace
