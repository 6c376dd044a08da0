// The animated WebP and APNG writers on their own: the registry finds them, a cancel leaves no
// file, and the APNG chunks carry the CRCs and sequence numbers no peer we run checks.

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "FileBytes.h"
#include "GifExportFiles.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "YKApngIO.h"
#include "YKRasterFilters.h"
#include "YKRasterList.h"
#include "YKRasterListSource.h"
#include "YKWebpAnimIO.h"

namespace {

using gif_export_test::MakeRaster;

class AnimExportTest : public ::testing::Test {
protected:
    // Three frames: a first, one with a changed corner, and the same again.
    AnimExportTest() {
        for (const uint32 corner : {0xFF0000FFu, 0x80FF0000u, 0x80FF0000u}) {
            mFrames.AddItem(MakeRaster(9, 7, [corner](int32 x, int32 y) {
                                return x < 3 && y < 2 ? corner : 0xFF00FF00u + uint32(x);
                            }).release());
        }
    }

    YKRasterList mFrames;
    YKRasterListSource mSource{mFrames, {}};
    TempDir mDir;
};

TEST_F(AnimExportTest, RegistryFindsAnimationsBesideStills) {
    YKRasterFilters* filters = YKRasterFilters::Instantiate();
    int32 id = -1;
    const auto name = [&] { return std::string(filters->FilterForId(id)->MenuName()); };
    ASSERT_TRUE(filters->WriterIdForExtension(".png", YKRasterIO::kWritesAnimations, &id));
    EXPECT_EQ(name(), "APNG");
    ASSERT_TRUE(filters->WriterIdForExtension(".APNG", YKRasterIO::kWritesAnimations, &id));
    EXPECT_EQ(name(), "APNG");
    ASSERT_TRUE(filters->WriterIdForExtension(".png", YKRasterIO::kWritesStills, &id));
    EXPECT_EQ(name(), "PNG");
    ASSERT_TRUE(filters->WriterIdForExtension(".webp", YKRasterIO::kWritesAnimations, &id));
    EXPECT_EQ(name(), "Animated WebP");
}

// Cancelled before any step, the old file stays and no temporary is left.
TEST_F(AnimExportTest, CancellingLeavesTheOldFileOrNone) {
    const YKWebpAnimIO webp;
    const YKApngIO apng;
    for (const YKRasterAnimIO* writer :
         {static_cast<const YKRasterAnimIO*>(&webp), static_cast<const YKRasterAnimIO*>(&apng)}) {
        for (const bool oldFile : {false, true}) {
            for (int32 step = 1; step <= 4; ++step) {
                SCOPED_TRACE(std::string(writer->MenuName()) + ", step " + std::to_string(step) +
                             (oldFile ? ", old file" : ""));
                const std::string path = mDir.PathOf("anim");
                std::filesystem::remove(path);
                if (oldFile) {
                    WriteBytes(path, std::string("old"));
                }
                RecordingProgress progress(step);
                std::string error;
                EXPECT_FALSE(writer->Write(path.c_str(), mSource, nullptr, &progress, &error));
                EXPECT_EQ(error, "cancelled");
                EXPECT_EQ(progress.lines.back(), "finish");
                EXPECT_EQ(ReadBytes(path), oldFile ? "old" : "");
                EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mDir.Path()), {}),
                          oldFile ? 1 : 0);
            }
        }
    }
}

// Every chunk's CRC holds, and fcTL and fdAT chunks are numbered 0, 1, 2... in file order.
TEST_F(AnimExportTest, ApngChunksAreCheckedAndNumbered) {
    const std::string path = mDir.PathOf("anim.png");
    std::string error;
    ASSERT_TRUE(YKApngIO().Write(path.c_str(), mSource, nullptr, nullptr, &error)) << error;
    const std::vector<uint8> b = ReadByteValues(path);
    const auto big = [&](size_t at) {
        return uint32(b[at]) << 24 | uint32(b[at + 1]) << 16 | uint32(b[at + 2]) << 8 | b[at + 3];
    };
    std::string order;
    uint32 sequence = 0;
    for (size_t at = 8; at + 12 <= b.size();) {
        const uint32 length = big(at);
        ASSERT_LE(at + 12 + length, b.size());
        const std::string type(b.begin() + std::ptrdiff_t(at + 4),
                               b.begin() + std::ptrdiff_t(at + 8));
        EXPECT_EQ(crc32(0, &b[at + 4], length + 4), big(at + 8 + length)) << type;
        if (type == "fcTL" || type == "fdAT") {
            EXPECT_EQ(big(at + 8), sequence++) << type;
        }
        order += (order.empty() ? "" : " ") + type;
        at += 12 + length;
    }
    EXPECT_EQ(order, "IHDR acTL fcTL IDAT fcTL fdAT fcTL fdAT IEND");
}

}  // namespace
