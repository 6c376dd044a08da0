#include "CliTest.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

using DocumentCommands = CliTest;

TEST_F(DocumentCommands, NewThenInfoRoundTripsInTextAndJson) {
    const std::string file = (mDir / "banner.gr").string();
    const CliResult created =
        Run("new --width 468 --height 60 --background 336699C0 --name Banner -o " + file);
    ASSERT_EQ(created.status, 0) << created.err;

    const CliResult text = Run("info " + file);
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_TRUE(Contains(text.out, "name: \"banner.gr\"\n")) << text.out;
    EXPECT_TRUE(Contains(text.out, "canvas: -234, -30, 233, 29 (468 x 60)\n")) << text.out;
    EXPECT_TRUE(Contains(text.out, "background: 336699C0\nframes: 1\n  frame 1: "));
    EXPECT_TRUE(Contains(text.out, "layers:\n  YKUserLayer id 1 name \"Layer 1\"\n")) << text.out;

    const CliResult json = Run("info --json " + file);
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1) << "one object, one line";
    EXPECT_TRUE(Contains(json.out,
                         "\"left\":-234,\"top\":-30,\"right\":233,\"bottom\":29,"
                         "\"width\":468,\"height\":60"))
        << json.out;
    EXPECT_TRUE(Contains(json.out, "\"ids\":{\"object\":0,\"layer\":1,\"unique\":1}"));
    EXPECT_TRUE(Contains(json.out,
                         "{\"class\":\"YKUserLayer\",\"id\":1,\"hidden\":false,"
                         "\"locked\":false,\"name\":\"Layer 1\",\"children\":[]}"))
        << json.out;
}

TEST_F(DocumentCommands, InfoNamesEachLayersClassAndObjectKind) {
    const std::string banner = std::string(GRAVIK_EXAMPLES) + "/banner.gr";
    const CliResult text = Run("info " + banner);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_FALSE(Contains(text.out, "YKEffectLayer")) << text.out;
    for (const char* part : {" YKCacheLayer id ", " YKBitmapLayer id ", " YKPaintLayer id ",
                             "kind \"Round Rectangle\"", "kind \"Ellipse\"", "kind \"Bezier\"",
                             "kind \"Free Hand\""}) {
        EXPECT_TRUE(Contains(text.out, part)) << part << " in\n" << text.out;
    }
    EXPECT_TRUE(Contains(text.out, "  YKRasterLayer id ")) << text.out;

    const CliResult json = Run("info --json " + banner);
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_FALSE(Contains(json.out, "YKEffectLayer")) << json.out;
    EXPECT_TRUE(Contains(json.out, "\"class\":\"YKRasterLayer\",\"id\":")) << json.out;
    EXPECT_TRUE(Contains(json.out, "\"locked\":false,\"kind\":\"Arc\",\"children\":[]}"))
        << json.out;
    EXPECT_TRUE(Contains(json.out, "{\"class\":\"YKBitmapLayer\",")) << json.out;
}

// Qt's plug-in formats (TIFF, WebP) are found although the tool makes no Qt application.
TEST_F(DocumentCommands, FormatsListsTheRegistryInTextAndJson) {
    const CliResult json = Run("formats --json");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.front(), '[');
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1) << "one array, one line";
    EXPECT_TRUE(Contains(json.out,
                         "\"name\":\"PNG\",\"extensions\":[\".png\"],\"mime_type\":\"image/png\","
                         "\"capabilities\":[\"read still\",\"write still\"],\"kind\":\"internal\","
                         "\"options\":[\"ra_back_col\",\"ra_interlace\",\"png_color_type\","))
        << json.out;
    EXPECT_TRUE(Contains(json.out,
                         "\"name\":\"TIFF\",\"extensions\":[\".tif\",\".tiff\"],"
                         "\"mime_type\":\"image/tiff\",\"capabilities\":[\"read still\",\"write "
                         "still\"],\"kind\":\"translator\",\"options\":[\"ra_back_col\","
                         "\"ra_hasbackcol\"]}"))
        << json.out;
    EXPECT_TRUE(Contains(json.out, "\"name\":\"WebP\",\"extensions\":[\".webp\"]")) << json.out;
    EXPECT_TRUE(Contains(json.out, "\"capabilities\":[\"read animation\",\"write animation\"]")) << json.out;

    const CliResult text = Run("formats");
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.rfind("ID  NAME", 0), 0u) << text.out;
    EXPECT_TRUE(Contains(text.out, ".tif .tiff")) << text.out;
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'),
              std::count(json.out.begin(), json.out.end(), '{') + 1)
        << "a header and a row per format";
}

TEST_F(DocumentCommands, BadArgumentsExitTwoWithOneLine) {
    const std::string out = " -o " + (mDir / "bad.gr").string();
    const std::vector<std::string> bad = {"new --width 10" + out,
                                          "new --width ten --height 10" + out,
                                          "new --width 10 --height 32769" + out,
                                          // more pixels than one raster, which render needs
                                          "new --width 16385 --height 16384" + out,
                                          "new --width 1 --height 1 --background FFFFFF" + out,
                                          "new --width 1 --height 1 --frobnicate 1" + out,
                                          "info a.gr b.gr", "frobnicate", "dump", "formats --all"};
    for (const std::string& arguments : bad) {
        const CliResult r = Run(arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << arguments << ": " << r.err;
    }
    EXPECT_FALSE(fs::exists(mDir / "bad.gr"));
    EXPECT_EQ(Run("new --width 32768 --height 1 -o " + (mDir / "wide.gr").string()).status, 0);
    // Asking for help or the version is no error, and running without a command is.
    const CliResult help = Run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("render"), std::string::npos);
    EXPECT_EQ(Run("--version").status, 0);
    EXPECT_EQ(Run("").status, 2);
}

}  // namespace
