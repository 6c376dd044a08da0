// The point operations against the ImageMagick commands that compute the same thing, on a
// photo-like picture (opaque, and with every alpha value where ImageMagick works on the straight
// colours and keeps alpha). Each case states its tolerance: the largest difference of a colour
// channel and the mean over all channels, with why they are not zero.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PointTestImage.h"
#include "TempDir.h"
#include "YKBrightnessContrastKernel.h"
#include "YKColorizeKernel.h"
#include "YKDesaturateKernel.h"
#include "YKHueSaturationKernel.h"
#include "YKInvertKernel.h"
#include "YKKernelRunner.h"
#include "YKPosterizeKernel.h"

namespace {

constexpr const char* kConvert = "/usr/bin/convert-im6.q16";

struct InteropCase {
    std::string name;
    MakeKernel make;
    std::string magick;  // convert options between the input and the output
    int32 maxDiff = 0;
    double meanDiff = 0;
    std::string why;         // of the tolerance
    bool withAlpha = false;  // the picture has every alpha value
    int32 levels = 0;        // posterize: the levels must also begin at the same inputs
};

// ImageMagick's -modulate takes the hue as a percentage of half a turn, 100 meaning none.
std::string Modulate(double lightness, double saturation, double degrees) {
    return "-modulate " + std::to_string(lightness) + "," + std::to_string(saturation) + "," +
           std::to_string(100 + degrees / 1.8);
}

// The luma grey turned into HSL, given the colour's hue and saturation there, back to RGB and
// blended over the original at the strength: the colourise formula in ImageMagick's steps.
std::string Colourise(const yk_color& color, double strength) {
    const int32 high = std::max({color.red, color.green, color.blue});
    const int32 low = std::min({color.red, color.green, color.blue});
    const double chroma = high - low, sum = high + low;
    double hue = color.red == high     ? (color.green - color.blue) / chroma
                 : color.green == high ? 2 + (color.blue - color.red) / chroma
                                       : 4 + (color.red - color.green) / chroma;
    hue += hue < 0 ? 6 : 0;
    const double saturation = chroma / (sum <= 255 ? sum : 510 - sum);
    return "( +clone -grayscale Rec601Luma -colorspace HSL -channel R -evaluate set " +
           std::to_string(hue / 6 * 100) + "% -channel G -evaluate set " +
           std::to_string(saturation * 100) +
           "% +channel -colorspace sRGB ) -define compose:args=" + std::to_string(strength) +
           " -compose blend -composite";
}

const char* const kTruncates = "ImageMagick truncates its Q16 result on the way to 8 bits";

std::vector<InteropCase> Cases() {
    const yk_color orange(255, 128, 0), teal(20, 140, 150);
    std::vector<InteropCase> cases = {
        {"Invert", Make<YKInvertKernel>(), "-channel RGB -negate", 0, 0, "exact"},
        {"Desaturate", Make<YKDesaturateKernel>(100.0), "-grayscale Rec601Luma", 1, 0.6,
         std::string(kTruncates) + "; its weights are 0.298839/0.586811/0.114350"},
        {"BrightnessContrast_m30x0", Make<YKBrightnessContrastKernel>(-30.0, 0.0),
         "-brightness-contrast -30x0", 1, 0.5, kTruncates},
        {"BrightnessContrast_0xm40", Make<YKBrightnessContrastKernel>(0.0, -40.0),
         "-brightness-contrast 0x-40", 1, 0.6, kTruncates},
        {"BrightnessContrast_25x60", Make<YKBrightnessContrastKernel>(25.0, 60.0),
         "-brightness-contrast 25x60", 1, 0.5, kTruncates},
        {"BrightnessContrast_m50xm70", Make<YKBrightnessContrastKernel>(-50.0, -70.0),
         "-brightness-contrast -50x-70", 1, 0.6, kTruncates},
        {"BrightnessContrast_10x100", Make<YKBrightnessContrastKernel>(10.0, 100.0),
         "-brightness-contrast 10x100", 0, 0, "a threshold: exact"},
        {"HueSaturation_hue90", Make<YKHueSaturationKernel>(100.0, 100.0, 90.0),
         Modulate(100, 100, 90), 1, 0.5, kTruncates},
        {"HueSaturation_huem140", Make<YKHueSaturationKernel>(100.0, 100.0, -140.0),
         Modulate(100, 100, -140), 1, 0.5, kTruncates},
        {"HueSaturation_light130", Make<YKHueSaturationKernel>(130.0, 100.0, 0.0),
         Modulate(130, 100, 0), 1, 0.6, kTruncates},
        {"HueSaturation_mix", Make<YKHueSaturationKernel>(70.0, 160.0, 35.0), Modulate(70, 160, 35),
         1, 0.6, kTruncates},
        {"HueSaturation_grey", Make<YKHueSaturationKernel>(100.0, 0.0, 0.0), Modulate(100, 0, 0), 1,
         0.6, kTruncates},
        {"HueSaturation_extreme", Make<YKHueSaturationKernel>(200.0, 200.0, -180.0),
         Modulate(200, 200, -180), 1, 0.6, kTruncates},
        {"Colorize_orange100", Make<YKColorizeKernel>(orange, 100.0), Colourise(orange, 100), 2,
         0.6, "ImageMagick truncates the grey and again after each colour-space step"},
        {"Colorize_teal60", Make<YKColorizeKernel>(teal, 60.0), Colourise(teal, 60), 2, 0.6,
         "ImageMagick truncates the grey and again after each colour-space step"},
    };
    for (const int32 levels : {2, 3, 4, 7, 41, 100, 255}) {
        // With 255 levels the picture keeps more colours than ImageMagick's colour map holds
        // (65536), and it reduces them further after posterizing.
        const bool reduced = levels == 255;
        cases.push_back({"Posterize" + std::to_string(levels), Make<YKPosterizeKernel>(levels),
                         "+dither -posterize " + std::to_string(levels), reduced ? 3 : 1, 0.6,
                         std::string("ImageMagick truncates a level's value at 16 bits (127 for "
                                     "0.5)") +
                             (reduced ? " and maps the result to at most 65536 colours" : ""),
                         false, levels});
    }
    // ImageMagick works on the straight colours here and keeps alpha, as we do.
    const InteropCase withAlpha[] = {
        {"InvertAlpha", Make<YKInvertKernel>(), "-channel RGB -negate", 0, 0, "exact"},
        {"DesaturateAlpha", Make<YKDesaturateKernel>(100.0), "-grayscale Rec601Luma", 1, 0.6,
         kTruncates},
        {"BrightnessContrastAlpha", Make<YKBrightnessContrastKernel>(25.0, 60.0),
         "-brightness-contrast 25x60", 1, 0.5, kTruncates},
        {"HueSaturationAlpha", Make<YKHueSaturationKernel>(70.0, 160.0, 35.0),
         Modulate(70, 160, 35), 1, 0.6, kTruncates},
    };
    for (InteropCase alphaCase : withAlpha) {
        alphaCase.withAlpha = true;
        cases.push_back(alphaCase);
    }
    return cases;
}

// Raw 8-bit RGBA bytes to and from our pixels.
std::string ToRgba(const Pixels& pixels) {
    std::string bytes;
    for (const uint32 pixel : pixels) {
        bytes += {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8),
                  static_cast<char>(pixel), static_cast<char>(pixel >> 24)};
    }
    return bytes;
}

Pixels FromRgba(const std::string& bytes) {
    Pixels pixels(bytes.size() / 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const auto byte = [&](size_t k) { return uint32{static_cast<uint8>(bytes[4 * i + k])}; };
        pixels[i] = byte(3) << 24 | byte(0) << 16 | byte(1) << 8 | byte(2);
    }
    return pixels;
}

class PointKernelInteropTest : public ::testing::TestWithParam<InteropCase> {
protected:
    void SetUp() override {
        if (access(kConvert, X_OK) != 0) {
            GTEST_SKIP() << "ImageMagick is not installed";
        }
    }

    Pixels Theirs(const PointTestImage& image, const std::string& options) {
        const std::string input = mDir.PathOf("in.rgba");
        std::ofstream(input, std::ios::binary) << ToRgba(image.pixels);
        const std::string size = std::to_string(image.width) + "x" + std::to_string(image.height);
        const std::string command = std::string(kConvert) + " -size " + size +
                                    " -depth 8 rgba:" + input + " " + options +
                                    " -depth 8 rgba:- 2>/dev/null";
        std::string out;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[65536];
        for (size_t got = 0; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            out.append(buffer, got);
        }
        EXPECT_TRUE(pipe && pclose(pipe) == 0) << command;
        return FromRgba(out);
    }

    // Up a grey ramp the output steps from level to level: both must step at the same inputs,
    // whatever each rounds a level's value to.
    void ExpectSameLevelBoundaries(const InteropCase& test) {
        PointTestImage ramp(256, 1, false);
        for (uint32 v = 0; v < 256; ++v) {
            ramp.pixels[v] = 0xFF000000u | v * 0x010101u;
        }
        const Pixels theirs = Theirs(ramp, test.magick);
        Pixels ours(256);
        const auto kernel = test.make();
        YKKernelRunner::Run(*kernel, ramp.Plane(), {ours.data(), 256, 1, 256}, 1);
        ASSERT_EQ(theirs.size(), ours.size());
        for (size_t v = 1; v < 256; ++v) {
            EXPECT_EQ(ours[v] != ours[v - 1], theirs[v] != theirs[v - 1]) << "input " << v;
        }
    }

    TempDir mDir;
};

TEST_P(PointKernelInteropTest, AgreesWithImageMagick) {
    const InteropCase& test = GetParam();
    PointTestImage image(320, 240, test.withAlpha);
    // Parentheses reach the shell escaped.
    std::string options;
    for (const char c : test.magick) {
        options += c == '(' || c == ')' ? std::string("\\") + c : std::string(1, c);
    }
    const Pixels theirs = Theirs(image, options);
    ASSERT_EQ(theirs.size(), image.pixels.size());
    Pixels ours(image.pixels.size());
    const auto kernel = test.make();
    YKKernelRunner::Run(*kernel, image.Plane(),
                        {ours.data(), image.width, image.height, image.width}, 2);

    int32 largest = 0;
    double total = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        ASSERT_EQ(ours[i] >> 24, theirs[i] >> 24) << "alpha of pixel " << i;
        for (int32 shift = 0; shift < 24; shift += 8) {
            const int32 a = static_cast<int32>((ours[i] >> shift) & 0xFF);
            const int32 b = static_cast<int32>((theirs[i] >> shift) & 0xFF);
            largest = std::max(largest, std::abs(a - b));
            total += std::abs(a - b);
        }
    }
    const double mean = total / (3.0 * static_cast<double>(ours.size()));
    std::printf("%-28s max %d (allowed %d), mean %.4f (allowed %.2f)\n", test.name.c_str(), largest,
                test.maxDiff, mean, test.meanDiff);
    EXPECT_LE(largest, test.maxDiff) << test.why;
    EXPECT_LE(mean, test.meanDiff) << test.why;
    if (test.levels > 0) {
        ExpectSameLevelBoundaries(test);
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, PointKernelInteropTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
