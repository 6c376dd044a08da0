#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

#include <csignal>
#include <filesystem>
#include <tuple>

#include "FileBytes.h"
#include "PngTestFiles.h"
#include "ReferenceImage.h"
#include "TempDir.h"
#include "YKMessage.h"
#include "YKPngIO.h"

namespace {

using namespace png_test;

std::unique_ptr<YKRaster> FromMemory(const Bytes& bytes, std::string* error) {
    return std::unique_ptr<YKRaster>(YKPngIO::ReadMemory(bytes.data(), bytes.size(), error));
}

// --- Every colour type and depth against a plain expansion of its samples ---

using Case = std::tuple<int, int, bool, bool>;  // colour type, depth, interlace, tRNS

class PngColorTypeTest : public ::testing::TestWithParam<Case> {};

TEST_P(PngColorTypeTest, DecodesLikeThePlainExpansion) {
    const auto [type, depth, interlace, trns] = GetParam();
    Encoding e{.colorType = type, .depth = depth, .interlace = interlace, .width = 13, .height = 7};
    const int channels =
        type == PNG_COLOR_TYPE_PALETTE ? 1 : (type & 2 ? 3 : 1) + (type & 4 ? 1 : 0);
    const uint32 top = (1u << depth) - 1;
    std::mt19937 random(type * 100 + depth * 2 + interlace);
    for (int i = 0; i < 13 * 7 * channels; ++i) {
        e.samples.push_back(static_cast<uint16>(random() & top));
    }
    for (uint32 i = 0; type == PNG_COLOR_TYPE_PALETTE && i <= top; ++i) {
        e.palette.push_back({uint8(random()), uint8(random()), uint8(random())});
        if (trns && i < top) {  // the last entry has no alpha: opaque
            e.paletteAlphas.push_back(uint8(random()));
        }
    }
    const uint16* key = &e.samples[3 * channels];  // with tRNS, pixel 3's colour is transparent
    e.hasTrns = trns && type != PNG_COLOR_TYPE_PALETTE;
    e.trns = channels == 1 ? png_color_16{0, 0, 0, 0, key[0]}
                           : png_color_16{0, key[0], key[1], key[2], 0};
    const auto level = [&](uint16 v) { return depth == 16 ? uint32{v} >> 8 : v * 255u / top; };
    Pixels expected;
    for (uint32 p = 0; p < 13 * 7; ++p) {
        const uint16* s = &e.samples[p * channels];
        if (type == PNG_COLOR_TYPE_PALETTE) {
            const png_color& c = e.palette[s[0]];
            const uint32 alpha = s[0] < e.paletteAlphas.size() ? e.paletteAlphas[s[0]] : 255;
            expected.push_back(alpha << 24 | c.red << 16 | c.green << 8 | c.blue);
            continue;
        }
        const int colors = channels < 3 ? 1 : 3;
        const bool keyed = e.hasTrns && std::equal(s, s + colors, key);
        const uint32 alpha = keyed ? 0 : channels % 2 == 0 ? level(s[channels - 1]) : 255;
        expected.push_back(alpha << 24 | level(s[0]) << 16 | level(s[colors / 2]) << 8 |
                           level(s[colors - 1]));
    }
    std::string error;
    const auto raster = FromMemory(Encode(e), &error);
    ASSERT_NE(raster, nullptr) << error;
    EXPECT_EQ(ImageOf(*raster).pixels, expected);
}

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const int type : {0, 2, 3, 4, 6}) {
        for (const int depth : {1, 2, 4, 8, 16}) {
            if (depth == 16 ? type == 3 : depth < 8 && type != 0 && type != 3) {
                continue;  // no such PNG
            }
            for (const int variant : {0, 1, 2, 3}) {  // with tRNS when the type has no alpha
                if (variant < 2 || (type & PNG_COLOR_MASK_ALPHA) == 0) {
                    cases.emplace_back(type, depth, variant % 2 == 1, variant >= 2);
                }
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(All, PngColorTypeTest, ::testing::ValuesIn(AllCases()));

// --- Writing ---

class PngWriteTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return mDir.PathOf(name); }
    TempDir mDir;
};

TEST_F(PngWriteTest, ExportOptionsPickBackgroundInterlaceAndColourType) {
    // Nine colours, every fourth pixel transparent, pixel 1 half-transparent red.
    YKRaster raster({0, 0, 19, 9});
    auto* pixels = reinterpret_cast<uint32*>(raster.Bits());
    for (int32 i = 0; i < 200; ++i) {
        pixels[i] = i == 1 ? 0x80FF0000 : i % 4 ? 0xFF000000 | (i % 12) * 0x151309 : 0x00123456;
    }
    // Type -1: no options, white behind. Only the alpha of a transparent result is compared.
    const struct {
        int32 colorType, back;
        uint32 transparent, halfRed;
    } exports[] = {{-1, 0, 0xFFFFFFFF, 0xFFFF7F7F},
                   {YKPngIO::kRGBA, 0, 0, 0xFF800000},
                   {YKPngIO::kPalette, 0x00FFFFFF, 0, 0xFFFF7F7F},
                   {YKPngIO::kGreyAlpha, 0, 0, 0xFF262626}};
    for (const auto& x : exports) {
        YKMessage options;
        options.AddInt32("png_color_type", x.colorType);
        options.AddInt32("ra_back_col", x.back);
        options.AddBool("ra_interlace", x.colorType >= 1);
        std::string error;
        ASSERT_TRUE(YKPngIO().Write(Path("x.png").c_str(), raster,
                                    x.colorType < 0 ? nullptr : &options, nullptr, &error));
        const Bytes file = ReadByteValues(Path("x.png"));
        EXPECT_EQ(file[25], (x.colorType < 0 ? 6 : Bytes{4, 3, 6}[x.colorType]));
        EXPECT_EQ(file[28], x.colorType >= 1 ? 1 : 0);
        const Pixels back = ImageOf(*FromMemory(file, &error)).pixels;
        for (int32 i = 0; i < 200; ++i) {
            const uint32 p = pixels[i];
            const uint32 luma =
                (299 * (p >> 16 & 255) + 587 * (p >> 8 & 255) + 114 * (p & 255) + 500) / 1000;
            const uint32 expected = i == 1       ? x.halfRed
                                    : i % 4 == 0 ? x.transparent
                                    : x.colorType == YKPngIO::kGreyAlpha
                                        ? 0xFF000000 | luma * 0x010101
                                        : p;
            EXPECT_EQ(expected >> 24 == 0 ? back[i] >> 24 : back[i], expected) << i;
        }
    }
}

TEST_F(PngWriteTest, FailedWriteLeavesTheOldFileAndNoTemporary) {
    const auto small = RandomRaster(4, 4, 1);
    std::string error;
    ASSERT_TRUE(YKPngIO::Write(*small, Path("keep.png").c_str(), &error));
    const Bytes before = ReadByteValues(Path("keep.png"));
    // Noise does not compress: the file outgrows a 4 KiB size limit on the way.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit low{4096, limit.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &low);
    const bool written = YKPngIO::Write(*RandomRaster(99, 99, 2), Path("keep.png").c_str(), &error);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(ReadByteValues(Path("keep.png")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path(".")), {}), 1);
}

// --- Hostile input ---

Bytes SmallPng() {
    Encoding e{.colorType = 6, .depth = 8, .interlace = true, .width = 9, .height = 5};
    for (uint16 i = 0; i < 9 * 5 * 4; ++i) {
        e.samples.push_back(i * 37 % 256);
    }
    return Encode(e);
}

TEST(PngHostileTest, EveryTruncationAndEverySingleByteChangeIsRefused) {
    const Bytes good = SmallPng();
    std::string error;
    ASSERT_NE(FromMemory(good, &error), nullptr) << error;
    for (size_t length = 0; length < good.size(); ++length) {
        error.clear();
        EXPECT_EQ(FromMemory(Bytes(good.begin(), good.begin() + length), &error), nullptr);
        EXPECT_FALSE(error.empty()) << length;
    }
    // CRCs guard every chunk, so no change after the signature may slip through.
    for (size_t at = 8; at < good.size(); ++at) {
        for (const uint8 flip : {0x01, 0x20, 0xFF}) {
            Bytes bad = good;
            bad[at] ^= flip;
            error.clear();
            EXPECT_EQ(FromMemory(bad, &error), nullptr) << "byte " << at << " ^ " << int(flip);
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(PngHostileTest, SizesBeyondTheLimitOrTheDataAreRefusedUpFront) {
    const auto padded = [](size_t padding) {
        Bytes bytes = SmallPng();
        if (padding == 0) {
            return bytes;
        }
        // A chunk of no interest before IEND: the file grows, its image data does not.
        Bytes chunk = {uint8(padding >> 24),
                       uint8(padding >> 16),
                       uint8(padding >> 8),
                       uint8(padding),
                       'p',
                       'r',
                       'V',
                       't'};
        chunk.resize(chunk.size() + padding + 4);
        bytes.insert(bytes.end() - 12, chunk.begin(), chunk.end());
        return bytes;
    };
    for (const auto& [side, reason, padding] : {std::tuple{100000u, "exceeds user limit", 0u},
                                                {32768u, "too large", 0u},
                                                {16000u, "too little image data", 0u},
                                                {16000u, "too little image data", 1200000u}}) {
        // A well-formed header of that size over the few bytes of data of a small image.
        Bytes bytes = padded(padding);
        const auto put = [&](size_t at, uint32 value) {
            for (int i = 0; i < 4; ++i) {
                bytes[at + i] = static_cast<uint8>(value >> (24 - 8 * i));
            }
        };
        put(16, side);
        put(20, side);
        put(29, static_cast<uint32>(crc32(0, bytes.data() + 12, 17)));
        std::string error;
        EXPECT_EQ(FromMemory(bytes, &error), nullptr);
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    std::string error;
    EXPECT_EQ(FromMemory({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}, &error), nullptr);
    EXPECT_EQ(error, "not a PNG file");
}

}  // namespace
