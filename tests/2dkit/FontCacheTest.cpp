#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "TempDir.h"
#include "YKFontCacheFile.h"
#include "YKFontCacheFreetype.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDejaVu = "/usr/share/fonts/truetype/dejavu";

// fontconfig pointed at a font folder of the test's own, holding a copy of DejaVu Sans and an
// empty folder, for as long as the fixture lives.
class FontCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(mFonts / "more");
        fs::copy_file(kDejaVu / "DejaVuSans.ttf", mFonts / "DejaVuSans.ttf");
        std::ofstream(mTemp.PathOf("fonts.conf"))
            << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << mFonts.string() << "</dir><cachedir>"
            << mTemp.PathOf("fc-cache") << "</cachedir></fontconfig>\n";
        // Settled, as installed fonts are: a change made moments before a listing may call for
        // one more rebuild.
        for (const fs::path& path :
             {mFonts, mFonts / "more", fs::path(mTemp.PathOf("fonts.conf"))}) {
            fs::last_write_time(path, fs::last_write_time(path) - std::chrono::seconds(2));
        }
        if (const char* old = std::getenv("FONTCONFIG_FILE")) {
            mOldConfig = old;
        }
        setenv("FONTCONFIG_FILE", mTemp.PathOf("fonts.conf").c_str(), 1);
    }
    void TearDown() override {
        mOldConfig ? setenv("FONTCONFIG_FILE", mOldConfig->c_str(), 1)
                   : unsetenv("FONTCONFIG_FILE");
    }

    // A DejaVu Sans face at `relative` in the font folder.
    YKFontCacheEntry Font(const fs::path& relative, const std::string& style) const {
        return {(mFonts / relative).string(), relative.filename().string(), "DejaVu Sans", style};
    }
    std::string CachePath() const { return mTemp.PathOf("settings/fontcache"); }

    TempDir mTemp;
    const fs::path mFonts = mTemp.Path() / "fonts";
    const std::string mSettings = mTemp.PathOf("settings");
    std::optional<std::string> mOldConfig;
};

std::string Int32(uint32 value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

TEST_F(FontCacheTest, BytesReadBackAndAFreshCacheIsTrustedAsWritten) {
    const std::vector<YKFontCacheEntry> fonts = {
        {"/a/Ünïcode.ttf", "Ünïcode.ttf", "", ""},
        {"/b/c.otf", "c.otf", "Family", std::string(YKFontCacheFile::kMaxLineLength - 1, 's')}};
    const std::string bytes = YKFontCacheFile::Bytes(fonts);
    // Count, then each line's length counting its NUL.
    EXPECT_EQ(bytes.substr(0, 8), Int32(2) + Int32(17));
    std::vector<YKFontCacheEntry> read;
    ASSERT_TRUE(
        YKFontCacheFile::Parse(reinterpret_cast<const uint8*>(bytes.data()), bytes.size(), &read));
    EXPECT_EQ(read, fonts);

    // Newer than every font folder and sound: read as it stands, not listed again.
    fs::create_directories(mSettings);
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    ASSERT_TRUE(YKFontCacheFile::Write(CachePath(), fonts, now));
    YKFontCacheFreetype cache(mSettings, false);
    EXPECT_TRUE(cache.InitCheck());
    EXPECT_FALSE(cache.WasRebuilt());
    EXPECT_EQ(cache.Fonts(), fonts);
    std::string path, file, family, style;
    EXPECT_TRUE(cache.GetNextFont(&path, &file, &family, &style));
    EXPECT_TRUE(cache.GetNextFont(&path, &file, &family, &style));
    EXPECT_EQ(style, fonts[1].style);
    EXPECT_FALSE(cache.GetNextFont(&path, &file, &family, &style));

    // Asked for, it is made anew from the installed fonts.
    YKFontCacheFreetype rebuilt(mSettings, true);
    EXPECT_TRUE(rebuilt.WasRebuilt());
    EXPECT_EQ(rebuilt.Fonts(), std::vector{Font("DejaVuSans.ttf", "Book")});
}

TEST_F(FontCacheTest, ADamagedFileIsRebuiltNeverTrusted) {
    const std::string font = Int32(3) + "/a" + '\0' + Int32(2) + "a" + '\0' + Int32(2) + "F" +
                             '\0' + Int32(2) + "S" + '\0';
    const std::string tooLong = Int32(5121) + std::string(5120, 'x') + '\0';
    const struct {
        const char* name;
        std::string bytes;
    } kDamaged[] = {
        {"empty file", ""},
        {"truncated line", Int32(1) + font.substr(0, font.size() - 1)},
        {"absent path", Int32(1) + Int32(0) + font.substr(7)},
        {"line longer than 5120", Int32(1) + tooLong + font.substr(7)},
        {"count beyond the lines", Int32(2) + font},
        {"negative count", Int32(0x80000000u) + font},
        {"bytes after the last font", Int32(1) + font + '\0'},
        {"line without its NUL", Int32(1) + Int32(3) + "/ab" + font.substr(7)},
        {"NUL inside a line", Int32(1) + Int32(3) + std::string("/\0", 2) + '\0' + font.substr(7)},
    };
    fs::create_directories(mSettings);
    for (const auto& [name, bytes] : kDamaged) {
        SCOPED_TRACE(name);
        // Written after the fonts were: only the damage can call for a rebuild.
        WriteBytes(CachePath(), bytes);
        YKFontCacheFreetype cache(mSettings, false);
        EXPECT_TRUE(cache.WasRebuilt());
        EXPECT_EQ(cache.Fonts(), std::vector{Font("DejaVuSans.ttf", "Book")});
        std::vector<YKFontCacheEntry> read;
        EXPECT_TRUE(YKFontCacheFile::Read(CachePath(), &read));
    }
}

TEST_F(FontCacheTest, AFontAddedBelowAFontFolderRebuildsTheCacheOnce) {
    YKFontCacheFreetype first(mSettings, false);
    ASSERT_TRUE(first.InitCheck());
    EXPECT_TRUE(first.WasRebuilt());
    EXPECT_FALSE(first.NeedRebuildTest());

    // Only the folder below the configured one changes.
    fs::copy_file(kDejaVu / "DejaVuSans-Bold.ttf", mFonts / "more/DejaVuSans-Bold.ttf");
    EXPECT_TRUE(first.NeedRebuildTest());
    YKFontCacheFreetype second(mSettings, false);
    EXPECT_TRUE(second.WasRebuilt());
    EXPECT_EQ(second.Fonts(), (std::vector{Font("more/DejaVuSans-Bold.ttf", "Bold"),
                                           Font("DejaVuSans.ttf", "Book")}));

    YKFontCacheFreetype third(mSettings, false);
    EXPECT_FALSE(third.WasRebuilt());
    EXPECT_EQ(third.Fonts(), second.Fonts());
}

TEST_F(FontCacheTest, ACacheThatCannotBeWrittenLeavesNoFonts) {
    WriteBytes(mTemp.PathOf("file"), "not a folder");
    YKFontCacheFreetype cache(mTemp.PathOf("file/settings"), false);
    EXPECT_FALSE(cache.InitCheck());
    EXPECT_EQ(cache.CountFonts(), 0);
}

}  // namespace
