#include <gtest/gtest.h>

#include <tuple>

#include "FileBytes.h"
#include "PngTestFiles.h"
#include "RecordingProgress.h"
#include "ReferenceImage.h"
#include "TempDir.h"
#include "YKAlphaBlend.h"
#include "YKMessage.h"
#include "YKTarga.h"
#include "YKTargaIO.h"

namespace {

using png_test::Bytes;
using png_test::Pixels;

// An 18-byte header followed by `payload`.
Bytes TargaFile(uint8 type, uint16 width, uint16 height, uint8 depth, uint8 descriptor,
                const Bytes& payload) {
    Bytes bytes = {0,
                   0,
                   type,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   uint8(width),
                   uint8(width >> 8),
                   uint8(height),
                   uint8(height >> 8),
                   depth,
                   descriptor};
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

Pixels Decode(const Bytes& bytes, std::string* error = nullptr) {
    std::string reason;
    const auto raster = YKTarga::ReadMemory(bytes.data(), bytes.size(), false, &reason);
    if (error != nullptr) {
        *error = reason;
    }
    return raster != nullptr ? ImageOf(*raster).pixels : Pixels{};
}

// Runs, short literal stretches and every alpha: each packet kind and length comes up, and runs
// reach past 128 pixels and across the ends of rows.
std::unique_ptr<YKRaster> PatchyRaster(int32 width, int32 height, uint32 seed) {
    auto raster = std::make_unique<YKRaster>(YKRect<int32>{0, 0, width - 1, height - 1});
    std::mt19937 random(seed);
    auto* pixels = reinterpret_cast<uint32*>(raster->Bits());
    for (int32 i = 0; i < width * height;) {
        const int32 length =
            std::min<int32>(width * height - i, random() % 3 ? random() % 4 + 1 : random() % 300);
        const uint32 color = random();
        for (int32 j = 0; j < length; ++j, ++i) {
            // Within a run of a 24-bit file only the alpha changes: still one run there.
            pixels[i] = random() % 2 ? color : color ^ (random() & 0xFF000000);
        }
    }
    return raster;
}

// --- Writing and reading back ---

class TargaWriteTest : public ::testing::TestWithParam<std::tuple<bool, bool>> {
protected:
    std::string Path(const char* name) const { return mDir.PathOf(name); }
    TempDir mDir;
};

TEST_P(TargaWriteTest, ReadsBackWhatWasWritten) {
    const auto [saveAlpha, rle] = GetParam();
    // Past the reader's 256 KiB buffer, so that reading a file refills it.
    const auto raster = PatchyRaster(301, 257, saveAlpha * 2 + rle);
    YKMessage options;
    options.AddBool("targa_save_alpha", saveAlpha);
    options.AddBool("targa_rle_compress", rle);
    std::string error;
    ASSERT_TRUE(YKTargaIO().Write(Path("a.tga").c_str(), *raster, &options, nullptr, &error))
        << error;
    const Bytes file = ReadByteValues(Path("a.tga"));
    EXPECT_EQ(file[2], rle ? 10 : 2);
    EXPECT_EQ(file[16], saveAlpha ? 32 : 24);
    EXPECT_EQ(file[17], saveAlpha ? 0x28 : 0x20);
    Pixels expected = ImageOf(*raster).pixels;
    for (uint32& p : expected) {
        p |= saveAlpha ? 0 : 0xFF000000;
    }
    const auto fromFile = YKTargaIO().Read(Path("a.tga").c_str(), nullptr, false, &error);
    ASSERT_NE(fromFile, nullptr) << error;
    EXPECT_EQ(ImageOf(*fromFile).pixels, expected);
    EXPECT_EQ(Decode(file), expected);
    if (!rle) {
        EXPECT_EQ(file.size(), 18 + 301 * 257 * (saveAlpha ? 4u : 3u));
    }
}

INSTANTIATE_TEST_SUITE_P(DepthAndPacking, TargaWriteTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST(TargaRleTest, PacketsStopAtRowEndsAndAt128Pixels) {
    // One colour over two rows of 300: 128 + 128 + 44 per row, one run packet each.
    YKRaster raster({0, 0, 299, 1});
    std::fill_n(reinterpret_cast<uint32*>(raster.Bits()), 600, 0xFF102030);
    TempDir dir;
    ASSERT_TRUE(YKTarga::WriteFile(dir.PathOf("a.tga").c_str(), raster, 24, true, nullptr));
    const Bytes file = ReadByteValues(dir.PathOf("a.tga"));
    const Bytes packets = {0xFF, 0x30, 0x20, 0x10, 0xFF, 0x30, 0x20, 0x10, 0xAB, 0x30, 0x20, 0x10};
    Bytes expected = packets;
    expected.insert(expected.end(), packets.begin(), packets.end());
    EXPECT_EQ(Bytes(file.begin() + 18, file.end()), expected);
}

TEST(TargaExportTest, BackgroundIsComposedAndProgressShowsEachStep) {
    YKRaster raster({0, 0, 2, 0});
    auto* pixels = reinterpret_cast<uint32*>(raster.Bits());
    pixels[0] = 0x00123456;  // transparent
    pixels[1] = 0x80FF0000;  // half red
    pixels[2] = 0xFF00FF00;
    TempDir dir;
    const std::string path = dir.PathOf("a.tga");
    for (const bool saveAlpha : {false, true}) {
        YKMessage options;
        options.AddBool("ra_hasbackcol", true);
        options.AddInt32("ra_back_col", 0x400000FF);  // blue, mostly transparent
        options.AddBool("targa_save_alpha", saveAlpha);
        RecordingProgress progress;
        ASSERT_TRUE(YKTargaIO().Write(path.c_str(), raster, &options, &progress, nullptr));
        EXPECT_EQ(progress.lines,
                  (std::vector<std::string>{"steps 3", "1 Gathering Raster Info…",
                                            "2 Composing Alpha Layer…", "3 Saving TARGA file…",
                                            "Done !", "finish"}));
        // Saving alpha, the background keeps its own; otherwise it is made opaque.
        const uint32 under = saveAlpha ? 0x400000FF : 0xFF0000FF;
        EXPECT_EQ(Decode(ReadByteValues(path)),
                  (Pixels{under, YKAlphaBlend::Compose(0x80FF0000, under), 0xFF00FF00}));
        EXPECT_EQ(raster.Bits()[3], 0x00) << "the raster itself is left alone";
    }
    RecordingProgress cancelling(2);
    EXPECT_FALSE(YKTargaIO().Write(path.c_str(), raster, nullptr, &cancelling, nullptr));
    EXPECT_EQ(cancelling.lines,
              (std::vector<std::string>{"steps 2", "1 Gathering Raster Info…", "finish"}));
}

// --- Reading what other writers make ---

TEST(TargaReadTest, RunsCrossRowEndsAndRowsGoUpFromTheBottom) {
    // 3 x 2, bottom-left origin: a run of 4 red covers the bottom row and the top row's start.
    const Bytes file = TargaFile(10, 3, 2, 24, 0x00,
                                 {0x83, 0, 0, 255,                       // 4 x red
                                  0x01, 255, 0, 0, 0, 255, 0});          // blue, green
    EXPECT_EQ(Decode(file), (Pixels{0xFFFF0000, 0xFF0000FF, 0xFF00FF00,  //
                                    0xFFFF0000, 0xFFFF0000, 0xFFFF0000}));
}

TEST(TargaReadTest, EachOriginPutsTheFirstPixelInItsCorner) {
    // Pixels 1..6 in file order, 3 x 2, 32-bit with alpha 255.
    Bytes payload;
    for (uint8 i = 1; i <= 6; ++i) {
        payload.insert(payload.end(), {i, 0, 0, 255});
    }
    const struct {
        uint8 origin;
        Pixels order;
    } origins[] = {{0x00, {4, 5, 6, 1, 2, 3}},
                   {0x10, {6, 5, 4, 3, 2, 1}},
                   {0x20, {1, 2, 3, 4, 5, 6}},
                   {0x30, {3, 2, 1, 6, 5, 4}}};
    for (const auto& [origin, order] : origins) {
        Pixels expected;
        for (const uint32 i : order) {
            expected.push_back(0xFF000000 | i);
        }
        EXPECT_EQ(Decode(TargaFile(2, 3, 2, 32, uint8(origin | 8), payload)), expected)
            << int(origin);
    }
}

TEST(TargaReadTest, AlphaAllZeroMeansOpaqueWhereAlphaIsStored) {
    const auto sixteen = [](uint8 attributes, Bytes words) {
        return Decode(TargaFile(2, 2, 1, 16, uint8(0x20 | attributes), words));
    };
    // 0x7FFF: white at 248, no alpha bit. Opaque only when an attribute bit is declared.
    EXPECT_EQ(sixteen(1, {0xFF, 0x7F, 0x1F, 0x00}), (Pixels{0xFFF8F8F8, 0xFF0000F8}));
    EXPECT_EQ(sixteen(0, {0xFF, 0x7F, 0x1F, 0x00}), (Pixels{0x00F8F8F8, 0x000000F8}));
    // One pixel with the bit: the alpha stands as stored. Red 1, green 2, blue 3 are shifted by 3.
    EXPECT_EQ(sixteen(1, {0xFF, 0x7F, 0x43, 0x84}), (Pixels{0x00F8F8F8, 0xFF081018}));
    EXPECT_EQ(Decode(TargaFile(2, 2, 1, 32, 0x28, {1, 2, 3, 0, 4, 5, 6, 0})),
              (Pixels{0xFF030201, 0xFF060504}));
    EXPECT_EQ(Decode(TargaFile(2, 2, 1, 32, 0x28, {1, 2, 3, 0, 4, 5, 6, 9})),
              (Pixels{0x00030201, 0x09060504}));
}

TEST(TargaReadTest, IdAndColourMapArePassedOver) {
    Bytes file = TargaFile(2, 1, 1, 24, 0x20, {'i', 'd', '!', 1, 2, 3, 4, 5, 6, 7, 8, 9});
    file[0] = 3;  // id length
    file[1] = 1;  // a colour map of 2 entries
    file[5] = 2;
    EXPECT_EQ(Decode(file), (Pixels{0xFF090807}));
}

TEST(TargaReadTest, UnsupportedKindsAndDamageAreRefusedWithTheReason) {
    const Bytes pixel = {1, 2, 3, 4};
    // The first kinds are turned away by the header alone, so that Accept leaves such files
    // (and others whose bytes happen to look alike) to the formats after this one.
    const struct {
        Bytes file;
        const char* reason;
        bool goodHeader;
    } cases[] = {
        {TargaFile(1, 1, 1, 8, 0, pixel), "colour-mapped", false},
        {TargaFile(9, 1, 1, 8, 0, pixel), "colour-mapped", false},
        {TargaFile(3, 1, 1, 8, 0, pixel), "greyscale", false},
        {TargaFile(11, 1, 1, 8, 0, pixel), "greyscale", false},
        {TargaFile(0, 1, 1, 24, 0, pixel), "unknown Targa image type", false},
        {TargaFile(2, 1, 1, 24, 8, pixel), "attribute bits", false},
        {TargaFile(2, 1, 1, 32, 4, pixel), "attribute bits", false},
        {TargaFile(2, 1, 1, 15, 0, pixel), "pixel depth", false},
        {TargaFile(2, 0, 1, 24, 0, pixel), "without pixels", false},
        {TargaFile(2, 40000, 40000, 24, 0, pixel), "too large", true},
        {TargaFile(10, 16000, 16000, 32, 0, Bytes(1000, 0xFF)), "too little image data", true},
        {TargaFile(2, 2, 1, 24, 0, {1, 2, 3, 4, 5}), "too little image data", true},
        // Enough bytes for runs, but the literal packets take more than there is.
        {TargaFile(10, 2, 2, 24, 0, {0x01, 1, 2, 3, 4, 5, 6, 0x01, 1, 2}), "ends early, in row 2",
         true},
        {Bytes(17, 0), "shorter than a header", false},
    };
    for (const auto& [file, reason, goodHeader] : cases) {
        std::string error;
        EXPECT_TRUE(Decode(file, &error).empty());
        EXPECT_NE(error.find(reason), std::string::npos) << reason << ": " << error;
        EXPECT_EQ(YKTarga::IsReadable(file.data(), file.size()), goodHeader) << reason;
    }
}

TEST(TargaReadTest, EveryTruncationIsRefused) {
    TempDir dir;
    const auto raster = PatchyRaster(23, 11, 7);
    for (const bool rle : {false, true}) {
        ASSERT_TRUE(YKTarga::WriteFile(dir.PathOf("a.tga").c_str(), *raster, 32, rle, nullptr));
        const Bytes good = ReadByteValues(dir.PathOf("a.tga"));
        for (size_t length = 0; length < good.size(); ++length) {
            std::string error;
            EXPECT_TRUE(Decode(Bytes(good.begin(), good.begin() + length), &error).empty());
            EXPECT_FALSE(error.empty()) << length;
        }
    }
}

}  // namespace
