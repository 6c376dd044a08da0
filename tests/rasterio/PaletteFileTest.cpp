// Colour maps, palette files, the exporter's palette list and writers using loaded palettes.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "FileBytes.h"
#include "GifExportFiles.h"
#include "GifPeers.h"
#include "TempDir.h"
#include "YKDocumentExport.h"
#include "YKMessage.h"
#include "YKPaletteFile.h"
#include "YKSimpleGifIO.h"

namespace {

// The writers' fixed palette of that name, or -1.
int32 CmapIndex(const std::string& name) {
    for (int32 i = 0; i < Quantizer::Cmap::NumCmaps(); ++i) {
        if (name == Quantizer::Cmap::GetCmapName(i)) {
            return i;
        }
    }
    return -1;
}

// A map of the given colours, the last repeated to the end, with its inverse map.
YKColorMap MapOf(const std::string& name, const std::vector<uint32>& argb) {
    YKColorMap map;
    map.name = name;
    for (int32 i = 0; i < YKColorMap::kColorCount; ++i) {
        const uint32 c = argb[std::min<std::size_t>(std::size_t(i), argb.size() - 1)];
        map.colors[i] = {uint8(c >> 16), uint8(c >> 8), uint8(c), uint8(c >> 24)};
    }
    map.BuildInverseMap();
    return map;
}

TEST(ColorMapTest, InverseMapHoldsTheFirstNearestOpaqueEntryOfEveryCell) {
    std::mt19937 random(3);
    YKColorMap map;
    for (rgb_color& c : map.colors) {
        // Few levels, so that equal distances (and equal entries) are common.
        c = {uint8(random() % 5 * 60), uint8(random() % 5 * 60), uint8(random() % 5 * 60),
             uint8(random() % 8 == 0 ? 0 : 255)};
    }
    map.BuildInverseMap();
    for (int32 cell = 0; cell < YKColorMap::kInverseSize; ++cell) {
        // A cell stands for its 5-bit levels spread over 0..255.
        const auto level = [&](int32 shift) {
            return (cell >> shift & 31) << 3 | (cell >> shift & 31) >> 2;
        };
        int32 best = -1, bestDistance = 0;
        for (int32 i = 0; i < YKColorMap::kColorCount; ++i) {
            const rgb_color& c = map.colors[i];
            const int32 d =
                Quantizer::RGBDistance(level(10), level(5), level(0), c.red, c.green, c.blue);
            if (c.alpha != 0 && (best < 0 || d < bestDistance)) {
                best = i;
                bestDistance = d;
            }
        }
        ASSERT_EQ(map.inverse[cell], best) << "cell " << cell;
    }
}

TEST(ColorMapTest, CmapDropsTrailingRepeatsAndTakesTheFirstClearEntry) {
    const Quantizer::Cmap three =
        MapOf("", {0xFF000000, 0x00FFFFFF, 0x00FFFFFF, 0xFF808080}).ToCmap();
    EXPECT_EQ(three.count, 4);
    EXPECT_EQ(three.transparent, 1);
    const Quantizer::Cmap one = MapOf("", {0xFF102030}).ToCmap();
    EXPECT_EQ(one.count, 1);
    EXPECT_EQ(one.transparent, -1);
    EXPECT_EQ(one.colors[0], (Quantizer::Cmap::Color{0x10, 0x20, 0x30}));
}

// --- Palette files ---

class PaletteFileTest : public ::testing::Test {
protected:
    // A palette file's bytes with the name length field set to `length`.
    static std::string Bytes(const std::string& name, int32 length) {
        std::string bytes(4, '\0');
        for (int32 i = 0; i < 4; ++i) {
            bytes[std::size_t(i)] = char(uint32(length) >> (8 * i));
        }
        return bytes + name + std::string(YKPaletteFile::kFixedBytes - 4, '\x11');
    }

    bool Read(const std::string& bytes, int32 number = 1) {
        WriteBytes(mDir.PathOf("palette"), bytes);
        mError.clear();
        return YKPaletteFile::Read(mDir.PathOf("palette").c_str(), number, &mMap, &mError);
    }

    TempDir mDir;
    YKColorMap mMap;
    std::string mError;
};

TEST_F(PaletteFileTest, WhatIsWrittenReadsBack) {
    const YKColorMap written = MapOf("Warm", {0xFF301000, 0x00000000, 0xFFFFE0C0, 0x80A0B0C0});
    std::string error;
    ASSERT_TRUE(YKPaletteFile::Write(mDir.PathOf("warm").c_str(), written, &error)) << error;
    EXPECT_EQ(std::filesystem::file_size(mDir.PathOf("warm")), 4u + 33796u);
    ASSERT_TRUE(YKPaletteFile::Read(mDir.PathOf("warm").c_str(), 1, &mMap, &error)) << error;
    EXPECT_EQ(mMap.name, "Warm");
    for (int32 i = 0; i < YKColorMap::kColorCount; ++i) {
        const rgb_color a = written.colors[i], b = mMap.colors[i];
        EXPECT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha)
            << i;
    }
    EXPECT_TRUE(
        std::equal(written.inverse, written.inverse + YKColorMap::kInverseSize, mMap.inverse));
}

TEST_F(PaletteFileTest, FilesOfAnyOtherSizeAreRefusedAndLeaveTheMapAlone) {
    mMap.name = "untouched";
    const std::string good = Bytes("abc", 3);
    const struct {
        const char* why;
        std::string bytes;
    } cases[] = {{"empty", ""},
                 {"5 bytes", std::string(5, '\0')},
                 {"one byte short", good.substr(0, good.size() - 1)},
                 {"one byte over", good + "x"},
                 {"negative length matching the size", Bytes("", -3).substr(0, 33793)},
                 {"length past the end", Bytes("abc", 0x7FFFFFFF)}};
    for (const auto& c : cases) {
        EXPECT_FALSE(Read(c.bytes)) << c.why;
        EXPECT_NE(mError, "") << c.why;
        EXPECT_EQ(mMap.name, "untouched") << c.why;
    }
    ASSERT_TRUE(Read(good)) << mError;
    EXPECT_EQ(mMap.name, "abc");
    EXPECT_EQ(mMap.colors[7].alpha, 0x11);
}

TEST_F(PaletteFileTest, LongNamesAreCutAndEmptyOnesNumbered) {
    const std::string long_name = std::string(256, 'a') + std::string(44, 'b');
    ASSERT_TRUE(Read(Bytes(long_name, 300))) << mError;
    EXPECT_EQ(mMap.name, std::string(256, 'a'));
    EXPECT_EQ(mMap.colors[0].red, 0x11);  // the colours come after the whole name
    ASSERT_TRUE(Read(Bytes("", 0), 7)) << mError;
    EXPECT_EQ(mMap.name, "Palette 7");
}

// --- The exporter's list ---

TEST(DocumentExportTest, LoadsEachFolderByNameOnceAndOffersThePalettesToWriters) {
    TempDir beside, installed;
    const auto write = [](const TempDir& dir, const char* file, const YKColorMap& map) {
        std::string error;
        ASSERT_TRUE(YKPaletteFile::Write(dir.PathOf(file).c_str(), map, &error)) << error;
    };
    write(beside, "b", MapOf("List Two", {0xFF00FF00}));
    write(beside, "a", MapOf("List One", {0xFFFF0000, 0xFF0000FF}));
    WriteBytes(beside.PathOf("0-notes.txt"), std::string("not a palette"));
    std::filesystem::create_directory(beside.PathOf("folder"));
    write(installed, "a", MapOf("List One", {0xFF123456}));      // found beside already
    write(installed, "b", MapOf("Windows", {0xFF000000}));       // a built-in's name
    write(installed, "c", MapOf("", {0xFFFFFFFF, 0xFF000000}));  // the third palette file

    std::vector<std::string> said;
    YKDocumentExport exporter([&](const char* text) { said.push_back(text); });
    exporter.LoadPalettes(
        {beside.Path().string(), installed.PathOf("missing"), installed.Path().string()});
    EXPECT_EQ(said, (std::vector<std::string>{
                        "Palette loaded : (BeOS 8bit color map)", "Palettes : 'List One' loaded",
                        "Palettes : 'List Two' loaded", "Palettes : 'Palette 3' loaded"}));
    ASSERT_EQ(exporter.CountColorMaps(), 4);
    EXPECT_EQ(exporter.ColorMapAt(0)->IndexOf(0, 0, 255), 32);  // the screen's pure blue
    EXPECT_EQ(exporter.ColorMapAt(1)->colors[1].blue, 255);
    EXPECT_EQ(exporter.ColorMapAt(4), nullptr);

    // Offered after the built-in palettes, in the same order; loading again adds nothing.
    const int32 count = Quantizer::Cmap::NumCmaps();
    YKDocumentExport().LoadPalettes({beside.Path().string(), installed.Path().string()});
    EXPECT_EQ(Quantizer::Cmap::NumCmaps(), count);
    const int32 one = CmapIndex("List One");
    EXPECT_GE(one, 4);
    EXPECT_EQ(CmapIndex("List Two"), one + 1);
    EXPECT_EQ(CmapIndex("Palette 3"), one + 2);
    EXPECT_EQ(Quantizer::Cmap::GetCmap(one)->count, 2);
    EXPECT_EQ(Quantizer::Cmap::GetCmap(one + 1)->count, 1);
    EXPECT_EQ(Quantizer::Cmap::GetCmap(CmapIndex("Windows"))->count, 256);
}

// A GIF made with a loaded palette holds only its colours, and its clear entry where the
// image is clear.
TEST(DocumentExportTest, GifWithALoadedPaletteUsesOnlyItsColours) {
    TempDir dir;
    const std::vector<uint32> colours = {0xFF000000, 0xFFC0392B, 0x00FF00FF,
                                         0xFF2980B9, 0xFFF1C40F, 0xFFFFFFFF};
    std::string error;
    ASSERT_TRUE(
        YKPaletteFile::Write(dir.PathOf("p").c_str(), MapOf("Gif Test Six", colours), &error));
    YKDocumentExport().LoadPalettes({dir.Path().string()});
    const int32 index = CmapIndex("Gif Test Six");
    ASSERT_GE(index, 0);

    std::mt19937 random(9);
    const auto raster = gif_export_test::MakeRaster(
        24, 16, [&](int32 x, int32) { return x < 2 ? 0u : 0xFF000000u | (random() & 0xFFFFFF); });
    for (const bool dither : {false, true}) {
        YKMessage options;
        options.AddInt32("ra_back_col", 0x00FFFFFF);
        options.AddBool("24to8_isfixedpal", true);
        options.AddInt32("24to8_fix_palette", index + 1);
        options.AddInt32("24to8_quant_id", 1);
        options.AddBool("24to8_dithering", dither);
        const std::string path = dir.PathOf("out.gif");
        ASSERT_TRUE(YKSimpleGifIO().Write(path.c_str(), *raster, &options, nullptr, &error))
            << error;
        const auto frames = gif_peers::OurFrames(path);
        ASSERT_EQ(frames.size(), 1u);
        std::set<uint32> used;
        for (std::size_t i = 0; i < frames[0].size(); ++i) {
            const bool clear = i % 24 < 2;
            EXPECT_EQ(frames[0][i] >> 24, clear ? 0u : 255u) << i;
            if (!clear) {
                used.insert(frames[0][i]);
            }
        }
        // Opaque pixels never take the clear entry, whose colour is not among them.
        for (const uint32 c : used) {
            EXPECT_NE(std::find(colours.begin(), colours.end(), c), colours.end()) << std::hex << c;
        }
        EXPECT_GE(used.size(), 4u) << "dither " << dither;
    }
}

}  // namespace
