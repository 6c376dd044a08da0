#include <filesystem>
#include <fstream>

#include "CliTest.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDejaVu = "/usr/share/fonts/truetype/dejavu";

// gravik-cli with a settings folder of its own and, unless a test says otherwise, fontconfig
// pointed at a font folder holding two faces of DejaVu Sans.
class FontsCommand : public CliTest {
protected:
    void SetUp() override {
        fs::create_directories(mDir / "fonts");
        for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
            fs::copy_file(kDejaVu / file, mDir / "fonts" / file);
        }
        std::ofstream(mDir / "fonts.conf")
            << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << (mDir / "fonts").string()
            << "</dir><cachedir>" << (mDir / "fc-cache").string() << "</cachedir></fontconfig>\n";
        UseConfig(mDir / "config", "FONTCONFIG_FILE=" + (mDir / "fonts.conf").string());
    }
    void UseConfig(const fs::path& settings, const std::string& fontconfig) {
        mProgram = "env " + fontconfig + " XDG_CONFIG_HOME=" + settings.string() + " " + GRAVIK_CLI;
    }
};

TEST_F(FontsCommand, ListsFamiliesWithTheirStylesAndKeepsTheCache) {
    const CliResult text = Run("fonts");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "DejaVu Sans: Bold, Book\n");
    EXPECT_TRUE(fs::is_regular_file(mDir / "config/Tavernix/Gravik/fontcache"));

    const CliResult json = Run("fonts --json");
    EXPECT_EQ(json.status, 0);
    const std::string fonts = (mDir / "fonts").string();
    EXPECT_EQ(json.out, "[{\"family\":\"DejaVu Sans\",\"styles\":[{\"style\":\"Bold\",\"path\":\"" +
                            fonts + "/DejaVuSans-Bold.ttf\"},{\"style\":\"Book\",\"path\":\"" +
                            fonts + "/DejaVuSans.ttf\"}]}]\n");

    // The installed fonts, through fontconfig's own configuration: a change of configuration
    // leaves no trace in the files' times, so the cache is made anew on request.
    UseConfig(mDir / "config", "-u FONTCONFIG_FILE");
    const CliResult installed = Run("fonts --rebuild");
    EXPECT_EQ(installed.status, 0);
    EXPECT_NE(installed.out.find("\nDejaVu Sans: Bold, Bold Oblique, Book, "), std::string::npos);
}

TEST_F(FontsCommand, ACacheThatCannotBeCreatedFailsWithTheAlertText) {
    WriteBytes(mDir / "file", "not a folder");
    UseConfig(mDir / "file", "");
    const CliResult result = Run("fonts");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "Sorry, Gravik is not able to create the missing font cache file.\n"
              "Your device may be read-only or full.\nThe text tool will not work.\n");
}

}  // namespace
