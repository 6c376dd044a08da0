#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>

#include "../raster/GifTestFiles.h"
#include "FileBytes.h"
#include "PngTestFiles.h"
#include "ReferenceImage.h"
#include "TempDir.h"
#include "YKMessage.h"
#include "YKMsgFile.h"
#include "YKPngIO.h"
#include "YKRasterAnimFile.h"
#include "YKRasterFile.h"
#include "YKRasterFilters.h"

namespace {

using namespace png_test;

class RasterFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Past 262144 pixels the writer flushes rows as it goes.
        mRaster = RandomRaster(701, 401, 9);
        ASSERT_TRUE(YKPngIO::Write(*mRaster, Path("a.png").c_str(), nullptr));
        // 2 x 1 pixels: black and red, then red on the left, then black on the right.
        gif_test::GifBuilder gif;
        gif.Screen(2, 1, 0x80, 0, {0, 0, 0, 255, 0, 0});
        gif.GraphicControl(4, 10, 0).Image(0, 0, 2, 1, 0, {}, 2,
                                           gif_test::PackCodes({{4, 3}, {0, 3}, {1, 3}, {5, 3}}));
        for (const int32 index : {1, 0}) {
            gif.GraphicControl(4, 30 - 10 * index, 0)
                .Image(1 - index, 0, 1, 1, 0, {}, 2,
                       gif_test::PackCodes({{4, 3}, {index, 3}, {5, 3}}));
        }
        WriteBytes(Path("a.gif"), gif.Byte(0x3B).Bytes());
        WriteBytes(Path("a.txt"), std::string("hello"));
        Bytes cut = ReadByteValues(Path("a.png"));
        cut.resize(40);
        WriteBytes(Path("cut.png"), cut);
    }
    std::string Path(const char* name) const { return mDir.PathOf(name); }

    TempDir mDir;
    std::unique_ptr<YKRaster> mRaster;
    const Pixels mGifFrames[3] = {
        {0xFF000000, 0xFFFF0000}, {0xFFFF0000, 0xFFFF0000}, {0xFFFF0000, 0xFF000000}};
};

TEST_F(RasterFileTest, RoundTripsThroughTheFirstAcceptingFormatAndTheWriterOfTheId) {
    YKRasterFile png(Path("a.png").c_str());
    ASSERT_TRUE(png.InitCheck()) << png.ErrorText();
    EXPECT_EQ(ImageOf(*png.Raster()).pixels, ImageOf(*mRaster).pixels);
    EXPECT_EQ(png.DetachRaster()->Width(), 701);
    EXPECT_FALSE(png.InitCheck());
    for (const auto& [name, reason] :
         {std::pair{"a.txt", "no reader"}, {"none", "cannot open"}, {"cut.png", "truncated"}}) {
        YKRasterFile bad(Path(name).c_str());
        EXPECT_FALSE(bad.InitCheck());
        EXPECT_NE(bad.ErrorText().find(reason), std::string::npos) << bad.ErrorText();
    }
    // The GIF still is its first frame; it goes out as PNG and as GIF, not as an animation.
    YKRasterFile gif(Path("a.gif").c_str());
    ASSERT_TRUE(gif.InitCheck()) << gif.ErrorText();
    EXPECT_EQ(ImageOf(*gif.Raster()).pixels, mGifFrames[0]);
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    std::string error;
    int32 pngId = -1;
    ASSERT_TRUE(filters->FilterIdForExtension(".png", &pngId));
    ASSERT_TRUE(gif.WriteToFile(pngId, Path("b.png").c_str(), nullptr, &error));
    EXPECT_EQ(ImageOf(*YKRasterFile(Path("b.png").c_str()).Raster()).pixels, mGifFrames[0]);
    ASSERT_TRUE(
        gif.WriteToFile(filters->FilterAt(1)->Id(), Path("b.gif").c_str(), nullptr, &error));
    EXPECT_EQ(ImageOf(*YKRasterFile(Path("b.gif").c_str()).Raster()).pixels, mGifFrames[0]);
    EXPECT_FALSE(
        gif.WriteToFile(filters->FilterAt(0)->Id(), Path("c.gif").c_str(), nullptr, &error));
    EXPECT_NE(error.find("no image writer"), std::string::npos);
}

TEST_F(RasterFileTest, EveryWrittenFormatOpensAgainThroughTheRegistry) {
    YKRasterFile png(Path("a.png").c_str());
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    // Each by its extension; Targa, without a signature, must not be mistaken for another. Each
    // file carries its type for file managers.
    for (const char* extension : {".jpeg", ".JPG", ".tga", ".png", ".gif"}) {
        int32 id = -1;
        ASSERT_TRUE(filters->WriterIdForExtension(extension, YKRasterIO::kWritesStills, &id))
            << extension;
        const std::string path = Path("b") + extension;
        std::string error;
        ASSERT_TRUE(png.WriteToFile(id, path.c_str(), nullptr, &error)) << extension << error;
        char type[32] = {};
        EXPECT_GT(getxattr(path.c_str(), "user.mime_type", type, sizeof type - 1), 0);
        EXPECT_STREQ(type, filters->FilterForId(id)->MimeType());
        YKRasterFile back(path.c_str());
        ASSERT_TRUE(back.InitCheck()) << extension << back.ErrorText();
        EXPECT_EQ(back.Raster()->Width(), 701);
        if (std::string(extension) == ".tga") {  // 24 bits: the alpha is gone
            Pixels opaque = ImageOf(*mRaster).pixels;
            for (uint32& p : opaque) {
                p |= 0xFF000000;
            }
            EXPECT_EQ(ImageOf(*back.Raster()).pixels, opaque);
        }
    }
}

TEST_F(RasterFileTest, AnimationsGiveEveryFrameAndStillsOne) {
    YKRasterAnimFile gif(Path("a.gif").c_str());
    ASSERT_EQ(gif.CountFrames(), 3) << gif.ErrorText();
    for (int32 i = 0; i < 3; ++i) {
        EXPECT_EQ(ImageOf(*gif.DuplicateRaster(i)).pixels, mGifFrames[i]) << i;
        int32 delay = 0;
        EXPECT_TRUE(gif.Info().FindInt32("gce_delay", i, &delay));
        EXPECT_EQ(delay, 10 * (i + 1));
    }
    EXPECT_EQ(gif.DuplicateRaster(3), nullptr);
    EXPECT_EQ(gif.DetachList()->CountItems(), 3);
    EXPECT_FALSE(gif.IsValid());

    YKRasterAnimFile png(Path("a.png").c_str());
    ASSERT_EQ(png.CountFrames(), 1);
    EXPECT_EQ(ImageOf(*png.DuplicateRaster(0)).pixels, ImageOf(*mRaster).pixels);
    EXPECT_FALSE(png.loadAnim(Path("a.txt").c_str()));
    EXPECT_EQ(png.CountFrames(), 0);
    EXPECT_NE(png.ErrorText().find("no reader"), std::string::npos);
}

// A FIFO nobody writes to would block a reader that opened it plainly, for good.
TEST_F(RasterFileTest, FifosAndFoldersAreRefusedWithoutWaiting) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(Path("folder"));
    for (const auto& [name, reason] :
         {std::pair{"fifo", "a FIFO, not a regular file"}, std::pair{"folder", "a folder"}}) {
        const std::string path = Path(name);
        EXPECT_FALSE(YKRasterFile(path.c_str()).InitCheck()) << name;
        EXPECT_EQ(YKRasterAnimFile(path.c_str()).CountFrames(), 0) << name;
        std::string error;
        EXPECT_EQ(std::unique_ptr<YKRaster>(YKPngIO::Read(path.c_str(), &error)), nullptr);
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_FALSE(YKMsgFile().Open(path.c_str(), YK_BIN_READ_ONLY)) << name;
    }
}

}  // namespace
