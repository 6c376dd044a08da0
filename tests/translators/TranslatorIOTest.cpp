// The formats of Qt's image I/O in the registry: which there are, how files come and go
// through them, and what a hostile or failing file does.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/xattr.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <set>

#include "FileBytes.h"
#include "RecordingProgress.h"
#include "ReferenceImage.h"
#include "TempDir.h"
#include "YKAlphaBlend.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKRasterFile.h"
#include "YKRasterFilters.h"
#include "YKRasterProgress.h"
#include "YKTranslatorIO.h"

namespace {

using Bytes = std::vector<uint8>;
using Pixels = std::vector<uint32>;

const YKTranslatorIO* Translator(const char* name) {
    YKTranslatorIO::RegisterAll();
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    for (int32 i = 0; i < filters->CountFilters(); ++i) {
        const auto* io = dynamic_cast<const YKTranslatorIO*>(filters->FilterAt(i));
        if (io != nullptr && std::string(io->MenuName()) == name) {
            return io;
        }
    }
    return nullptr;
}

std::unique_ptr<YKRaster> Raster(int32 width, int32 height, uint32 seed, uint32 alphaMask) {
    auto raster = std::make_unique<YKRaster>(YKRect<int32>{0, 0, width - 1, height - 1});
    std::mt19937 random(seed);
    auto* pixels = reinterpret_cast<uint32*>(raster->Bits());
    for (int32 i = 0; i < width * height; ++i) {
        pixels[i] = random() | alphaMask;
    }
    return raster;
}

class TranslatorIOTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return mDir.PathOf(name); }
    TempDir mDir;
};

// --- Registration ---

TEST(TranslatorRegistryTest, FormatsJoinOnceAfterTheOwnCodersWithAliasesGrouped) {
    YKTranslatorIO::RegisterAll();
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    const int32 count = filters->CountFilters();
    YKTranslatorIO::RegisterAll();
    ASSERT_EQ(filters->CountFilters(), count);

    std::multiset<std::string> writerTypes;
    bool translatorSeen = false;
    for (int32 i = 0; i < count; ++i) {
        const YKRasterIO* io = filters->FilterAt(i);
        // The system's own coders come first, then only translators.
        translatorSeen |= !io->IsInternal();
        EXPECT_EQ(io->IsInternal(), !translatorSeen) << io->MenuName();
        EXPECT_EQ(dynamic_cast<const YKTranslatorIO*>(io) != nullptr, !io->IsInternal());
        EXPECT_NE(io->Capabilities(), 0u) << io->MenuName();
        if ((io->Capabilities() & YKRasterIO::kWritesStills) != 0) {
            writerTypes.insert(io->MimeType());
        }
    }
    EXPECT_EQ(writerTypes.count("image/png"), 1u);
    for (const char* type : {"image/gif", "image/jpeg", "image/x-tga"}) {
        EXPECT_LE(writerTypes.count(type), 1u) << type;
    }
    for (const char* name : {"BMP", "TIFF", "WebP", "PPM", "ICO"}) {
        const YKTranslatorIO* io = Translator(name);
        ASSERT_NE(io, nullptr) << name << ": is qt6-image-formats-plugins installed?";
        EXPECT_EQ(io->Capabilities(), YKRasterIO::kReadsStills | YKRasterIO::kWritesStills);
    }
    EXPECT_STREQ(Translator("TIFF")->Extension(), ".tif;.tiff");
    EXPECT_STREQ(Translator("TIFF")->MimeType(), "image/tiff");
    int32 id = -1;
    ASSERT_TRUE(filters->FilterIdForExtension(".tiff", &id));
    EXPECT_EQ(id, Translator("TIFF")->Id());
}

// --- Reading and writing ---

TEST_F(TranslatorIOTest, WrittenFilesReadBackByContentWithTheirMimeType) {
    // Opaque noise must come back exactly from every format; the name never tells the format.
    const auto raster = Raster(23, 17, 1, 0xFF000000);
    for (const char* name : {"BMP", "TIFF", "WebP", "PPM", "ICO"}) {
        const YKTranslatorIO* io = Translator(name);
        ASSERT_NE(io, nullptr) << name;
        const std::string path = Path("image.png");
        std::string error;
        ASSERT_TRUE(io->Write(path.c_str(), *raster, nullptr, nullptr, &error)) << name << error;
        char type[64] = {};
        ASSERT_GT(getxattr(path.c_str(), "user.mime_type", type, sizeof type - 1), 0) << name;
        EXPECT_STREQ(type, io->MimeType());

        YKRasterFile file(path.c_str());
        ASSERT_TRUE(file.InitCheck()) << name << ": " << file.ErrorText();
        EXPECT_EQ(ImageOf(*file.Raster()).pixels, ImageOf(*raster).pixels) << name;
        const Bytes bytes = ReadByteValues(path);
        const auto fromMemory = io->ReadMemory(bytes.data(), bytes.size(), false, &error);
        ASSERT_NE(fromMemory, nullptr) << name << error;
        EXPECT_EQ(ImageOf(*fromMemory).pixels, ImageOf(*raster).pixels) << name;
    }
}

TEST_F(TranslatorIOTest, TransparencyIsKeptOrComposedOverTheBackground) {
    // Half-transparent red, and a transparent pixel.
    YKRaster raster({0, 0, 1, 0});
    auto* pixels = reinterpret_cast<uint32*>(raster.Bits());
    pixels[0] = 0x80FF0000;
    pixels[1] = 0x00123456;
    // Where alpha stays 0, only the alpha is compared: WebP drops the colour under it.
    const uint32 blue = 0xFF0000FF;
    YKMessage withBack;
    withBack.AddInt32("ra_back_col", static_cast<int32>(blue));
    withBack.AddBool("ra_hasbackcol", true);
    YKMessage backUnused;
    backUnused.AddInt32("ra_back_col", static_cast<int32>(blue));
    const struct {
        const char* name;
        const YKMessage* options;
        uint32 halfRed, transparent;
    } cases[] = {
        // WebP keeps alpha unless asked to compose.
        {"WebP", &backUnused, 0x80FF0000, 0x00123456},
        {"WebP", &withBack, YKAlphaBlend::Compose(0x80FF0000, blue), blue},
        // BMP has no alpha: the background goes in even unasked, white by default.
        {"BMP", nullptr, YKAlphaBlend::Compose(0x80FF0000, 0xFFFFFFFF), 0xFFFFFFFF},
        {"BMP", &backUnused, YKAlphaBlend::Compose(0x80FF0000, blue), blue},
    };
    for (const auto& c : cases) {
        const std::string path = Path("x");
        std::string error;
        ASSERT_TRUE(Translator(c.name)->Write(path.c_str(), raster, c.options, nullptr, &error))
            << error;
        const auto back = Translator(c.name)->Read(path.c_str(), nullptr, false, &error);
        ASSERT_NE(back, nullptr) << error;
        const Pixels read = ImageOf(*back).pixels;
        EXPECT_EQ(read[0], c.halfRed) << c.name;
        const bool alphaOnly = c.transparent >> 24 == 0;
        EXPECT_EQ(alphaOnly ? read[1] >> 24 : read[1], alphaOnly ? 0 : c.transparent) << c.name;
    }
}

TEST_F(TranslatorIOTest, ProgressShowsTheStepsAndACancelWritesNothing) {
    const auto raster = Raster(4, 4, 2, 0xFF000000);
    YKMessage options;
    options.AddBool("ra_hasbackcol", true);
    RecordingProgress shown;
    ASSERT_TRUE(
        Translator("TIFF")->Write(Path("a.tif").c_str(), *raster, &options, &shown, nullptr));
    EXPECT_EQ(shown.lines, (std::vector<std::string>{
                               "steps 3", "1 Gathering Raster Info…", "2 Composing Alpha Layer…",
                               "3 Exporting with the Translator…", "Done !", "finish"}));

    RecordingProgress cancelled(2);
    std::string error;
    EXPECT_FALSE(
        Translator("TIFF")->Write(Path("b.tif").c_str(), *raster, nullptr, &cancelled, &error));
    EXPECT_EQ(error, "cancelled");
    EXPECT_EQ(cancelled.lines,
              (std::vector<std::string>{"steps 2", "1 Gathering Raster Info…", "finish"}));
    EXPECT_FALSE(std::filesystem::exists(Path("b.tif")));
}

TEST_F(TranslatorIOTest, FailedWriteLeavesTheOldFileAndNoTemporary) {
    std::string error;
    ASSERT_TRUE(Translator("BMP")->Write(Path("keep.bmp").c_str(), *Raster(4, 4, 3, 0xFF000000),
                                         nullptr, nullptr, &error));
    const Bytes before = ReadByteValues(Path("keep.bmp"));
    // The disk refuses past 4 KiB: 99 x 99 BMP pixels are 29 KiB.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit low{4096, limit.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &low);
    const bool written = Translator("BMP")->Write(
        Path("keep.bmp").c_str(), *Raster(99, 99, 4, 0xFF000000), nullptr, nullptr, &error);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    // A coder's own refusal (WebP sides end at 16383) leaves the file as well.
    EXPECT_FALSE(Translator("WebP")->Write(
        Path("keep.bmp").c_str(), *Raster(16384, 1, 5, 0xFF000000), nullptr, nullptr, &error));
    EXPECT_EQ(ReadByteValues(Path("keep.bmp")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mDir.Path()), {}), 1);
}

// --- Hostile input ---

TEST_F(TranslatorIOTest, OversizedOrTruncatedFilesGiveAClearError) {
    const struct {
        const char* content;
        const char* error;
    } cases[] = {
        // 20000 x 20000 is within the side limit but four times the pixel limit; the data
        // is two bytes, so only the header can have been looked at.
        {"P6\n20000 20000\n255\n\x01\x02",
         "PPM image of 20000 x 20000 pixels is too large (the limit is 32768 pixels a side and "
         "1024 MiB of pixels)"},
        {"P6\n4 4\n255\n\x01\x02\x03", "cannot read the PPM file"},
    };
    const YKTranslatorIO* ppm = Translator("PPM");
    for (const auto& c : cases) {
        WriteBytes(Path("hostile"), std::string(c.content));
        ASSERT_TRUE(ppm->Accept(Path("hostile").c_str())) << c.content;
        const YKRasterFile file(Path("hostile").c_str());
        EXPECT_TRUE(file.Recognised());
        EXPECT_FALSE(file.InitCheck());
        EXPECT_EQ(file.ErrorText().rfind(c.error, 0), 0u) << file.ErrorText();
        std::string error;
        const Bytes bytes = ReadByteValues(Path("hostile"));
        EXPECT_EQ(ppm->ReadMemory(bytes.data(), bytes.size(), false, &error), nullptr);
        EXPECT_EQ(error, file.ErrorText());
    }
    // Text is no image, whatever its name says.
    WriteBytes(Path("notes.bmp"), std::string("just some words\n"));
    EXPECT_FALSE(Translator("BMP")->Accept(Path("notes.bmp").c_str()));
    EXPECT_FALSE(YKRasterFile(Path("notes.bmp").c_str()).Recognised());
}

}  // namespace
