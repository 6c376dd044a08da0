#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "FileBytes.h"
#include "JpegTestFiles.h"
#include "RecordingProgress.h"
#include "ReferenceImage.h"
#include "TempDir.h"
#include "YKJpegIO.h"
#include "YKMessage.h"

namespace {

using namespace jpeg_test;

class JpegTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return mDir.PathOf(name); }

    // Writes with the options and returns the file's bytes; empty when the write failed.
    Bytes Write(const YKRaster& raster, const YKMessage* options, const char* name = "a.jpg") {
        std::string error;
        if (!YKJpegIO().Write(Path(name).c_str(), raster, options, nullptr, &error)) {
            ADD_FAILURE() << error;
            return {};
        }
        return ReadByteValues(Path(name));
    }

    TempDir mDir;
};

// Start-of-frame marker: 0xC0 baseline, 0xC2 progressive.
int FrameKind(const Bytes& file) {
    for (size_t i = 2; i + 4 < file.size(); i += 2 + (file[i + 2] << 8 | file[i + 3])) {
        if (file[i] != 0xFF) {
            return -1;
        }
        if (file[i + 1] >= 0xC0 && file[i + 1] <= 0xC2) {
            return file[i + 1];
        }
    }
    return -1;
}

TEST_F(JpegTest, QualityIsClampedAndInterlaceMakesItProgressive) {
    const auto photo = PhotoRaster(160, 96);
    const auto withQuality = [&](int32 quality, bool interlace) {
        YKMessage options;
        options.AddInt32("jpeg_quality", quality);
        options.AddBool("ra_interlace", interlace);
        return Write(*photo, &options);
    };
    const Bytes best = Write(*photo, nullptr);
    EXPECT_EQ(withQuality(500, false), best);
    EXPECT_EQ(withQuality(-7, false), withQuality(0, false));
    EXPECT_EQ(FrameKind(best), 0xC0);
    EXPECT_EQ(FrameKind(withQuality(90, true)), 0xC2);
    // Each quality reads back as well as its size promises, and opaque.
    double lastPsnr = 0;
    size_t lastSize = 0;
    for (const int32 quality : {0, 50, 90, 100}) {
        const Bytes file = withQuality(quality, quality == 50);
        std::string error;
        const auto back = YKJpegIO::ReadMemory(file.data(), file.size(), nullptr, &error);
        ASSERT_NE(back, nullptr) << error;
        const auto pixels = ImageOf(*back).pixels;
        const double psnr = Psnr(pixels, ImageOf(*photo).pixels);
        EXPECT_GT(psnr, lastPsnr) << quality;
        EXPECT_GT(file.size(), lastSize) << quality;
        EXPECT_TRUE(
            std::all_of(pixels.begin(), pixels.end(), [](uint32 p) { return p >> 24 == 255; }));
        lastPsnr = psnr;
        lastSize = file.size();
    }
    EXPECT_GT(lastPsnr, 35);  // chroma is subsampled even at 100
}

TEST_F(JpegTest, TransparencyIsComposedOverTheOpaqueBackground) {
    // 16 x 16 blocks: transparent, half-transparent red, opaque green; background blue with
    // alpha 0, which must not make it black.
    YKRaster raster({0, 0, 47, 15});
    for (int32 y = 0; y < 16; ++y) {
        auto* row = reinterpret_cast<uint32*>(raster.Bits() + y * raster.BytesPerRow());
        for (int32 x = 0; x < 48; ++x) {
            row[x] = x < 16 ? 0x00FFFFFF : x < 32 ? 0x80FF0000 : 0xFF00FF00;
        }
    }
    YKMessage options;
    options.AddInt32("ra_back_col", 0x000000FF);
    const Bytes file = Write(raster, &options);
    const auto back = ImageOf(*YKJpegIO::ReadMemory(file.data(), file.size(), nullptr, nullptr));
    const uint32 expected[3] = {0xFF0000FF, 0xFF80007F, 0xFF00FF00};
    // Block middles: chroma is subsampled and upsampled smoothly across the edges.
    for (int32 x = 0; x < 48; ++x) {
        if (x % 16 < 3 || x % 16 > 12) {
            continue;
        }
        for (const int shift : {0, 8, 16, 24}) {
            EXPECT_NEAR(back.pixels[8 * 48 + x] >> shift & 255, expected[x / 16] >> shift & 255, 3)
                << x;
        }
    }
    EXPECT_EQ(reinterpret_cast<uint32*>(raster.Bits())[0], 0x00FFFFFFu) << "raster left alone";
}

TEST_F(JpegTest, GreyCmykAndYcckReadAsRgb) {
    // 16 x 8: two flat halves, so that quality 100 gives the colours back within a step or two.
    const auto halves = [](std::vector<uint8> left, std::vector<uint8> right) {
        Bytes samples;
        for (int32 i = 0; i < 16 * 8; ++i) {
            const auto& c = i % 16 < 8 ? left : right;
            samples.insert(samples.end(), c.begin(), c.end());
        }
        return samples;
    };
    const Bytes cmyk = halves({0, 255, 255, 0}, {64, 0, 128, 32});
    Bytes inverted = cmyk;
    for (uint8& v : inverted) {
        v = 255 - v;
    }
    // Ink c of k gives 255 - c, then times 255 - k.
    const auto ink = [](uint32 c, uint32 m, uint32 y, uint32 k) {
        const auto ch = [k](uint32 v) { return (255 - v) * (255 - k) / 255; };
        return 0xFF000000 | ch(c) << 16 | ch(m) << 8 | ch(y);
    };
    const struct {
        const char* name;
        Bytes file;
        uint32 left, right;
    } cases[] = {
        {"grey", Encode(16, 8, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, false, halves({30}, {220})),
         0xFF1E1E1E, 0xFFDCDCDC},
        {"CMYK", Encode(16, 8, 4, JCS_CMYK, JCS_CMYK, false, cmyk), ink(0, 255, 255, 0),
         ink(64, 0, 128, 32)},
        // Adobe's files hold the inks inverted.
        {"Adobe CMYK", Encode(16, 8, 4, JCS_CMYK, JCS_CMYK, true, inverted), ink(0, 255, 255, 0),
         ink(64, 0, 128, 32)},
        {"Adobe YCCK", Encode(16, 8, 4, JCS_CMYK, JCS_YCCK, true, inverted), ink(0, 255, 255, 0),
         ink(64, 0, 128, 32)},
    };
    for (const auto& [name, file, left, right] : cases) {
        std::string error;
        const auto raster = YKJpegIO::ReadMemory(file.data(), file.size(), nullptr, &error);
        ASSERT_NE(raster, nullptr) << name << ": " << error;
        const auto pixels = ImageOf(*raster).pixels;
        for (int32 i = 0; i < 16 * 8; ++i) {
            if (i % 16 >= 6 && i % 16 < 10) {
                continue;  // next to the edge, where subsampled chroma blends
            }
            const uint32 expected = i % 16 < 8 ? left : right;
            for (const int shift : {0, 8, 16, 24}) {
                ASSERT_NEAR(pixels[i] >> shift & 255, expected >> shift & 255, 3)
                    << name << " pixel " << i << " shift " << shift;
            }
        }
    }
}

TEST_F(JpegTest, DamageIsAWarningOrAnErrorNeverACrash) {
    const Bytes good = Write(*PhotoRaster(64, 48), nullptr);
    // Cut inside the image data: what was decoded is kept, with a warning.
    YKMessage info;
    std::string error;
    const Bytes cut(good.begin(), good.begin() + good.size() * 2 / 3);
    const auto partial = YKJpegIO::ReadMemory(cut.data(), cut.size(), &info, &error);
    ASSERT_NE(partial, nullptr) << error;
    const char* warning = nullptr;
    ASSERT_TRUE(info.FindString(YKRasterIO::kWarningField, &warning));
    EXPECT_NE(std::string(warning).find("Premature end"), std::string::npos) << warning;
    // Every shorter cut and flipped bytes: an image (perhaps with a warning) or an error text.
    for (size_t length = 0; length < good.size(); length += 7) {
        const Bytes bytes(good.begin(), good.begin() + length);
        error.clear();
        if (YKJpegIO::ReadMemory(bytes.data(), bytes.size(), nullptr, &error) == nullptr) {
            EXPECT_FALSE(error.empty()) << length;
        }
    }
    // A header claiming more than the raster limit is refused before anything is decoded.
    Bytes huge = good;
    for (size_t i = 2; i + 8 < huge.size(); i += 2 + (huge[i + 2] << 8 | huge[i + 3])) {
        if (huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 7] = 0xF0;  // 61440 x 61440
        }
    }
    EXPECT_EQ(YKJpegIO::ReadMemory(huge.data(), huge.size(), nullptr, &error), nullptr);
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    const Bytes png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    EXPECT_EQ(YKJpegIO::ReadMemory(png.data(), png.size(), nullptr, &error), nullptr);
    EXPECT_NE(error.find("Not a JPEG file"), std::string::npos) << error;
}

TEST_F(JpegTest, FailedWriteLeavesTheOldFileAndSaysSo) {
    const Bytes before = Write(*PhotoRaster(16, 16), nullptr, "keep.jpg");
    // A large picture at quality 100 outgrows a 4 KiB file size limit on the way.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit low{4096, limit.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &low);
    RecordingProgress progress;
    std::string error;
    const bool written = YKJpegIO().Write(Path("keep.jpg").c_str(), *PhotoRaster(300, 200), nullptr,
                                          &progress, &error);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write the JPEG file"), std::string::npos) << error;
    EXPECT_EQ(ReadByteValues(Path("keep.jpg")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path(".")), {}), 1);
    EXPECT_EQ(progress.lines,
              (std::vector<std::string>{"steps 3", "1 Gathering Raster Info…",
                                        "2 Adjusting Transparency…", "3 Saving JPEG file...…",
                                        "Error while writing !", "finish"}));
}

}  // namespace
