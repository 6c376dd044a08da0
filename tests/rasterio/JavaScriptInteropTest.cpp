// Our roll-over page run by headless Chromium: it loads cleanly and swaps the images as the
// pointer enters and leaves.

#include <gtest/gtest.h>

#include <cstdio>

#include "GifExportFiles.h"
#include "PeerPrograms.h"
#include "YKJavaScriptIO.h"
#include "YKRasterList.h"
#include "YKRasterListSource.h"

class JavaScriptInteropTest : public PeerTest {};

TEST_F(JavaScriptInteropTest, ChromiumSwapsTheImagesUnderThePointer) {
    Require({"/usr/bin/chromium", "/usr/bin/chromedriver", "/usr/bin/python3", kMagick});
    if (std::system("/usr/bin/python3 -c 'import selenium' 2>/dev/null") != 0) {
        GTEST_SKIP() << "python3-selenium is not installed";
    }
    // Flat, far-apart colours: any mix-up of frames shows at every pixel.
    YKRasterList list(true);
    for (const uint32 colour : {0xFFE01010u, 0xFF10E010u, 0xFF1010E0u}) {
        list.AddItem(gif_export_test::MakeRaster(48, 32, [colour](int32, int32) {
                         return colour;
                     }).release());
    }
    YKRasterListSource source(list, {});
    std::string error;
    ASSERT_TRUE(YKJavaScriptIO().Write(Path("page.html").c_str(), source, nullptr, nullptr, &error))
        << error;
    const std::string command = std::string("/usr/bin/python3 ") + GRAVIK_ROLLOVER_CHECK + " '" +
                                Path("page.html") + "' '" + Path("Image_onMouseOut.gif") + "' '" +
                                Path("Image_onMouseOver.gif") + "' 2>&1";
    // The script's own words say what the browser did wrong.
    std::string said;
    FILE* script = popen(command.c_str(), "r");
    ASSERT_NE(script, nullptr);
    char buffer[4096];
    while (const size_t got = std::fread(buffer, 1, sizeof buffer, script)) {
        said.append(buffer, got);
    }
    EXPECT_EQ(pclose(script), 0) << said;
}
