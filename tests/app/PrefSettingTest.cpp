#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "FileBytes.h"
#include "TempDir.h"
#include "YKMsgFile.h"
#include "YKPrefSetting.h"
#include "YKSettingsFolder.h"

namespace {

namespace fs = std::filesystem;

// Each test gets its own settings folder through XDG_CONFIG_HOME.
class PrefSettingTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            mSaved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("XDG_CONFIG_HOME", (mDir.Path() / "config").c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : mSaved) {
            value ? setenv(name, value->c_str(), 1) : unsetenv(name);
        }
    }

    fs::path Folder() const { return mDir.Path() / "config/Tavernix/Gravik"; }
    size_t FilesInFolder() const {
        return std::distance(fs::directory_iterator(Folder()), fs::directory_iterator());
    }
    void WritePrefFile(const YKMessage& message) const {
        fs::create_directories(Folder());
        YKMsgFile file;
        ASSERT_TRUE(file.Open((Folder() / "gravik_pref").c_str(), YK_BIN_WRITE_ONLY));
        ASSERT_TRUE(file.PutMessage(&message));
    }

    TempDir mDir;
    std::vector<std::pair<const char*, std::optional<std::string>>> mSaved;
};

// Archives compare every value at once.
std::string Archived(const YKPrefSetting& p) {
    YKMessage m;
    EXPECT_TRUE(p.Archive(&m));
    return m.Flatten();
}

// Every value away from its default.
YKPrefSetting Configured() {
    YKPrefSetting p;
    p.SetPrefStartup(1);
    p.SetPrefView(2);
    p.SetPrefTranslatorsOnly(true);
    p.SetPrefFloatingLook(true);
    p.SetPrefFloatPanel(true);
    p.SetPrefCheckFileType(false);
    p.SetPrefFirstClick(false);
    YKMessage gamma('gama'), docTemplate('dtpl'), panel('panl'), panels;
    gamma.AddFloat("gamma", 1.8f);
    docTemplate.AddInt32("width", 640);
    panel.AddRect("YKGP:frame", YKRect<int32>{10, 20, 200, 300});
    panels.AddMessage("Layers", &panel);
    p.SetPrefGamma(gamma);
    p.SetPrefDocTemplate(docTemplate);
    p.SetPrefPanelSettings(panels);
    return p;
}

TEST_F(PrefSettingTest, ValuesOutsideTheirRangeOrOfTheWrongTypeKeepTheDefault) {
    struct Case {
        int32 startup, view, expectedStartup, expectedView;
    } cases[] = {{5, 2, 0, 2}, {1, 3, 1, 0}, {-1, -1, 0, 0}};
    for (const Case& c : cases) {
        YKMessage m('Pref');
        m.AddInt32("pref_version", 1);
        m.AddInt32("pref_startup", c.startup);
        m.AddInt32("pref_View", c.view);
        m.AddInt32("pref_look", 1);
        WritePrefFile(m);
        YKPrefSetting prefs;
        ASSERT_TRUE(prefs.Load());
        EXPECT_EQ(prefs.PrefStartup(), c.expectedStartup);
        EXPECT_EQ(prefs.PrefView(), c.expectedView);
        EXPECT_FALSE(prefs.PrefFloatingLook());
    }
}

TEST_F(PrefSettingTest, LaterOrMissingVersionIsIgnoredAsAWhole) {
    YKMessage later, unversioned, current;
    ASSERT_TRUE(Configured().Archive(&current));
    later = current;
    later.ReplaceInt32("pref_version", 2);
    unversioned = current;
    unversioned.RemoveName("pref_version");
    for (const YKMessage* m : {&later, &unversioned}) {
        WritePrefFile(*m);
        YKPrefSetting prefs;
        EXPECT_FALSE(prefs.Load());
        EXPECT_EQ(Archived(prefs), Archived(YKPrefSetting()));
        EXPECT_TRUE(prefs.IsEmpty());
        EXPECT_EQ(YKPrefSetting::Instantiate(m), nullptr);
    }
    const auto copy = YKPrefSetting::Instantiate(&current);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Archived(*copy), Archived(Configured()));
}

TEST_F(PrefSettingTest, SettingsFolderFollowsTheEnvironment) {
    std::string folder;
    for (const char* config : {"/x/conf/", "/x/conf"}) {
        setenv("XDG_CONFIG_HOME", config, 1);
        ASSERT_TRUE(YK_FindGravikSettingsFolder(&folder));
        EXPECT_EQ(folder, "/x/conf/Tavernix/Gravik/");
    }
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "relative/conf", 1);
    ASSERT_TRUE(YK_FindGravikSettingsFolder(&folder));
    EXPECT_EQ(folder, "/home/someone/.config/Tavernix/Gravik/");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_FALSE(YK_FindGravikSettingsFolder(&folder));
    EXPECT_FALSE(YKPrefSetting().Save());
}

TEST_F(PrefSettingTest, FailedSaveKeepsTheGoodFile) {
    ASSERT_TRUE(Configured().Save());
    // Past the file size limit the write fails half way through the record.
    std::string noise(200000, '\0');
    std::mt19937 random(3);
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    YKMessage gamma;
    gamma.AddData("noise", YK_RAW_TYPE, noise.data(), static_cast<ssize_t>(noise.size()));
    YKPrefSetting bigger;
    bigger.SetPrefGamma(gamma);
    rlimit old{}, small{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    small = old;
    small.rlim_cur = 65536;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = bigger.Save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    YKPrefSetting loaded;
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ(Archived(loaded), Archived(Configured()));
    EXPECT_EQ(FilesInFolder(), 1u);
}

// The preferences file in examples/ was written by this code; a change to the file format shows
// up here first. Run with GRAVIK_UPDATE_EXAMPLES=1 to write it again after a deliberate change.
TEST_F(PrefSettingTest, SavedFileMatchesTheExampleByteForByte) {
    EXPECT_FALSE(YKPrefSetting().Load());  // no file yet
    YKPrefSetting p = Configured();
    ASSERT_TRUE(p.Save());
    ASSERT_TRUE(p.Save());  // saving again replaces the file, leaving no temporary beside it
    EXPECT_EQ(FilesInFolder(), 1u);
    const fs::path example = fs::path(GRAVIK_EXAMPLES) / "gravik_pref";
    if (std::getenv("GRAVIK_UPDATE_EXAMPLES") != nullptr) {
        fs::copy_file(Folder() / "gravik_pref", example, fs::copy_options::overwrite_existing);
    }
    EXPECT_EQ(ReadBytes(Folder() / "gravik_pref"), ReadBytes(example));
    YKPrefSetting loaded;
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ(Archived(loaded), Archived(p));
}

}  // namespace
