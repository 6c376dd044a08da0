#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FileBytes.h"
#include "TempDir.h"
#include "YKBinFile.h"

namespace {

class BinFileTest : public ::testing::Test {
protected:
    std::string Contents() const { return ReadBytes(mPath); }

    TempDir mDir;
    std::string mPath = mDir.PathOf("data");
};

TEST_F(BinFileTest, TypedAccessorsKeepTheirByteOrderAndShortReadsFail) {
    // A signalling NaN must come back bit for bit, not quietened on the way through a float.
    const float nan = std::bit_cast<float>(0x7F800001u);
    YKBinFile file;
    ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_WRITE_ONLY));
    EXPECT_TRUE(file.Write8(0xA5) && file.Write16LE(0x1234) && file.Write16BE(0x1234) &&
                file.Write32LE(0x11223344) && file.Write32BE(0x11223344) &&
                file.WriteFloatLE(1.0f) && file.WriteFloatBE(nan) && file.Write16BE(0x0102));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(Contents(), std::string("\xA5\x34\x12\x12\x34\x44\x33\x22\x11\x11\x22\x33\x44"
                                      "\x00\x00\x80\x3F\x7F\x80\x00\x01\x01\x02",
                                      23));

    ASSERT_TRUE(file.Open(std::filesystem::path(mPath), YK_BIN_READ_ONLY));
    uint16 s = 0;
    uint32 w = 0;
    float f = 0.0f;
    EXPECT_EQ(file.Read8(), 0xA5);
    EXPECT_EQ(file.Read16LE(), 0x1234);
    EXPECT_TRUE(file.ReadCheck16BE(s) && s == 0x1234);
    EXPECT_EQ(file.Read32LE(), 0x11223344u);
    EXPECT_TRUE(file.ReadCheck32BE(w) && w == 0x11223344u);
    EXPECT_EQ(file.ReadFloatLE(), 1.0f);
    EXPECT_TRUE(file.ReadCheckFloatBE(f));
    EXPECT_EQ(std::bit_cast<uint32>(f), 0x7F800001u);

    // Two bytes left: wider reads fail, give zero and leave checked values alone.
    const int64 tail = file.Tell();
    EXPECT_FALSE(file.ReadCheck32LE(w));
    EXPECT_EQ(w, 0x11223344u);
    EXPECT_TRUE(file.Seek(static_cast<int32>(tail), YK_BIN_SEEK_SET));
    EXPECT_EQ(file.ReadFloatBE(), 0.0f);
    EXPECT_TRUE(file.Seek(-2, YK_BIN_SEEK_END));
    EXPECT_EQ(file.Read16BE(), 0x0102);
    uint8 b = 9;
    EXPECT_FALSE(file.ReadCheck8(b));  // the single-byte path
    EXPECT_EQ(b, 9);
    EXPECT_EQ(file.Read32BE(), 0u);
    EXPECT_TRUE(file.Eof());
}

TEST_F(BinFileTest, ModesDecideWhatMayBeDoneAndClosedFilesRefuseEverything) {
    WriteBytes(mPath, "0123456789");
    YKBinFile file;
    char c = 0;
    ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_READ_ONLY));
    EXPECT_FALSE(file.Write8('x'));
    EXPECT_TRUE(file.Seek(3, YK_BIN_SEEK_SET));
    EXPECT_EQ(file.Size(), 10);
    EXPECT_EQ(file.Tell(), 3);  // Size keeps the position
    EXPECT_FALSE(file.Read(nullptr, 2));
    EXPECT_FALSE(file.Read(&c, -1));

    ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_WRITE_ONLY));
    EXPECT_EQ(file.Size(), 0);
    EXPECT_FALSE(file.Read(&c, 1));
    ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_READ_WRITE));
    EXPECT_TRUE(file.Write16LE(0xBEEF));
    EXPECT_TRUE(file.Seek(-2, YK_BIN_SEEK_CUR));
    EXPECT_EQ(file.Read16LE(), 0xBEEF);

    EXPECT_FALSE(file.Open(mPath.c_str(), YK_BIN_CLOSED));
    EXPECT_FALSE(file.Open(static_cast<const char*>(nullptr), YK_BIN_READ_ONLY));
    EXPECT_FALSE(file.Open(mDir.PathOf("missing").c_str(), YK_BIN_READ_ONLY));
    EXPECT_EQ(file.OpenMode(), YK_BIN_CLOSED);
    EXPECT_EQ(file.Size(), -1);
    EXPECT_EQ(file.Tell(), -1);
    EXPECT_FALSE(file.Seek(0, YK_BIN_SEEK_SET));
    EXPECT_TRUE(file.Eof());
    EXPECT_FALSE(file.Write(&c, 1));
    EXPECT_EQ(Contents(), std::string("\xEF\xBE", 2));
}

}  // namespace
