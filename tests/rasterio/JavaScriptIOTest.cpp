// Roll-over pages: the files written, the page's text, the frames chosen and all-or-nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "FileBytes.h"
#include "GifExportFiles.h"
#include "PixelAt.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "YKAlphaBlend.h"
#include "YKJavaScriptIO.h"
#include "YKMessage.h"
#include "YKRasterList.h"
#include "YKRasterListSource.h"
#include "YKSimpleGifIO.h"

namespace {

using gif_export_test::MakeRaster;

// Frames of one flat colour each; the first is translucent, to show the background under it.
constexpr uint32 kColours[] = {0x80FF0000, 0xFF00FF00, 0xFF0000FF};
// A background with alpha 0: the frames still come out opaque.
constexpr uint32 kBack = 0x00FFFF00;

class JavaScriptIOTest : public ::testing::Test {
protected:
    // A source of `frameCount` frames, kept until the next call.
    YKRasterListSource& Frames(int32 frameCount) {
        mList.DeleteRasters();
        for (int32 i = 0; i < frameCount; ++i) {
            const uint32 colour = kColours[i % 3];
            mList.AddItem(MakeRaster(4, 3, [colour](int32, int32) { return colour; }).release());
        }
        return mSource;
    }

    bool Write(int32 frameCount, const YKMessage* options, YKRasterProgress* progress = nullptr,
               const std::string& page = "page.html") {
        mError.clear();
        return YKJavaScriptIO().Write(mDir.PathOf(page).c_str(), Frames(frameCount), options,
                                      progress, &mError);
    }

    std::string Page() const { return mDir.PathOf("page.html"); }

    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(mDir.Path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    // The colour of the image's first pixel, every pixel having to be the same.
    uint32 ImageColour(const char* name) const {
        std::string error;
        const auto raster = YKSimpleGifIO().Read(mDir.PathOf(name).c_str(), nullptr, false, &error);
        EXPECT_NE(raster, nullptr) << name << ": " << error;
        if (raster == nullptr) {
            return 0;
        }
        EXPECT_EQ(raster->Width(), 4);
        EXPECT_EQ(raster->Height(), 3);
        const uint32 first = PixelAt(*raster, 0, 0);
        for (int32 y = 0; y < raster->Height(); ++y) {
            for (int32 x = 0; x < raster->Width(); ++x) {
                EXPECT_EQ(PixelAt(*raster, x, y), first) << name << " at " << x << "," << y;
            }
        }
        return first;
    }

    TempDir mDir;
    std::string mError;
    YKRasterList mList{true};
    YKRasterListSource mSource{mList, {}};
};

const char kDefaultPage[] =
    R"page(<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>Gravik javascript output</title>

<script LANGUAGE="JavaScript">
<!-- Hide from Non JavaScript capable Browsers

browser = (((navigator.appName == "Netscape") && (parseInt(navigator.appVersion) >= 3 )) || ((navigator.appName == "Microsoft Internet Explorer") && (parseInt(navigator.appVersion) >= 4 )))
if (browser)
{
if (document.images) {
// Image definition
img1out = new Image();
img1out.src = "Image_onMouseOut.gif";
// Image definition
img1over = new Image();
img1over.src = "Image_onMouseOver.gif";
// Image definition
}
}

// Out event function code
function YK_imgOut(imgName) {
if (document.images) {
document[imgName].src = eval(imgName + "out.src");
}
}

// Over event function code
function YK_imgOver(imgName) {
if (document.images) {
document[imgName].src = eval(imgName + "over.src");
}
}

// Stop Hiding from non JavaScript Capable Browsers --> 
</script>
</head>

<body>

<!-- Http link, image declaration and default value. -->
<a onMouseOut="YK_imgOut('img1')" onMouseOver="YK_imgOver('img1')" href="#"> <img NAME="img1" src="Image_onMouseOut.gif" border="0"></a>

</body>
</html>
)page";

}  // namespace

TEST_F(JavaScriptIOTest, ThreeFramesMakeThreeImagesAndThePageThatSwapsThem) {
    YKMessage options;
    options.AddInt32("ra_back_col", static_cast<int32>(kBack));
    RecordingProgress progress;
    ASSERT_TRUE(Write(3, &options, &progress)) << mError;
    EXPECT_EQ(Files(), (std::set<std::string>{"page.html", "Image_onMouseOut.gif",
                                              "Image_onMouseOver.gif", "Image_onclick.gif"}));
    EXPECT_EQ(ReadBytes(Page()), kDefaultPage);
    // Each event shows its own frame, composed over the background made opaque.
    EXPECT_EQ(ImageColour("Image_onMouseOut.gif"),
              YKAlphaBlend::Compose(kColours[0], kBack | 0xFF000000));
    EXPECT_EQ(ImageColour("Image_onMouseOver.gif"), kColours[1]);
    EXPECT_EQ(ImageColour("Image_onclick.gif"), kColours[2]);
    EXPECT_EQ(progress.lines.front(), "steps 7");
    EXPECT_EQ(progress.lines.back(), "finish");
    EXPECT_EQ(progress.lines[progress.lines.size() - 2], "Done !");

    // What the export announces and estimates is what it wrote.
    int64 written = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mDir.Path())) {
        written += int64(entry.file_size());
    }
    EXPECT_EQ(YKJavaScriptIO().GuessSize(mSource, &options), written);
    std::set<std::string> announced;
    options.AddInt32("ra_1stframe", 1);
    options.AddInt32("ra_lastframe", 3);
    for (const std::string& path : YKJavaScriptIO().OutputFiles(Page().c_str(), &options)) {
        announced.insert(std::filesystem::path(path).filename().string());
    }
    EXPECT_EQ(announced, Files());
}

TEST_F(JavaScriptIOTest, OneFrameMakesOnlyTheOutImageAndHandler) {
    ASSERT_TRUE(Write(1, nullptr)) << mError;
    EXPECT_EQ(Files(), (std::set<std::string>{"page.html", "Image_onMouseOut.gif"}));
    const std::string page = ReadBytes(Page());
    EXPECT_NE(page.find("<a onMouseOut=\"YK_imgOut('img1')\" href=\"#\"> <img NAME=\"img1\" "
                        "src=\"Image_onMouseOut.gif\""),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("Over"), std::string::npos) << page;

    YKMessage range;
    range.AddInt32("ra_1stframe", 4);
    range.AddInt32("ra_lastframe", 4);
    EXPECT_EQ(YKJavaScriptIO().OutputFiles("out/page.html", &range),
              (std::vector<std::string>{"out/page.html", "out/Image_onMouseOut.gif"}));
}

// The images go beside the page with exactly one "/" between folder and name.
TEST_F(JavaScriptIOTest, ImagesGoBesideThePage) {
    EXPECT_EQ(YKJavaScriptIO::ImagePath("/a/b/", "onclick"), "/a/b/Image_onclick.gif");
    EXPECT_EQ(YKJavaScriptIO::ImagePath("/a/b", "onclick"), "/a/b/Image_onclick.gif");
    EXPECT_EQ(YKJavaScriptIO::ImagePath("/", "onclick"), "/Image_onclick.gif");
    EXPECT_EQ(YKJavaScriptIO::ImagePath("", "onclick"), "Image_onclick.gif");
    EXPECT_EQ(YKJavaScriptIO().OutputFiles("page.html", nullptr),
              (std::vector<std::string>{"page.html", "Image_onMouseOut.gif",
                                        "Image_onMouseOver.gif", "Image_onclick.gif"}));
    // A folder alone names no page, and a page named like an image would be lost.
    EXPECT_FALSE(Write(1, nullptr, nullptr, "sub/"));
    EXPECT_FALSE(Write(3, nullptr, nullptr, "Image_onclick.gif"));
    EXPECT_TRUE(Files().empty());
}

TEST_F(JavaScriptIOTest, ChosenFramesAndLink) {
    // A frame outside the range, or no image to show first, is refused and writes nothing.
    for (const auto& [field, frame] :
         {std::pair{"js_frame_onclick", 4}, std::pair{"js_frame_onMouseOver", -1},
          std::pair{"js_frame_onMouseOut", 0}}) {
        SCOPED_TRACE(field);
        YKMessage bad;
        bad.AddInt32(field, frame);
        EXPECT_FALSE(Write(3, &bad));
        EXPECT_NE(mError.find(field), std::string::npos) << mError;
        EXPECT_TRUE(Files().empty());
    }

    YKMessage options;
    options.AddInt32("js_frame_onMouseOut", 3);
    options.AddInt32("js_frame_onMouseOver", 3);
    options.AddInt32("js_frame_onclick", 0);
    options.AddString("ra_link_url", "https://example.org/?a=1&b=\"2\"");
    ASSERT_TRUE(Write(3, &options)) << mError;
    EXPECT_EQ(Files(), (std::set<std::string>{"page.html", "Image_onMouseOut.gif",
                                              "Image_onMouseOver.gif"}));
    EXPECT_EQ(ImageColour("Image_onMouseOut.gif"), kColours[2]);
    EXPECT_EQ(ImageColour("Image_onMouseOver.gif"), kColours[2]);
    EXPECT_NE(ReadBytes(Page()).find("href=\"https://example.org/?a=1&amp;b=&quot;2&quot;\">"),
              std::string::npos);
}

// A cancel at any step, or a file that cannot be written, leaves no new file and the old ones
// as they were.
TEST_F(JavaScriptIOTest, CancelOrFailureLeavesNothingNew) {
    const auto prepare = [&] {
        std::filesystem::remove_all(mDir.Path());
        std::filesystem::create_directory(mDir.Path());
        WriteBytes(Page(), std::string("old page"));
        WriteBytes(mDir.PathOf("Image_onMouseOver.gif"), std::string("old image"));
    };
    const auto unchanged = [&] {
        EXPECT_EQ(Files(), (std::set<std::string>{"page.html", "Image_onMouseOver.gif"}));
        EXPECT_EQ(ReadBytes(Page()), "old page");
        EXPECT_EQ(ReadBytes(mDir.PathOf("Image_onMouseOver.gif")), "old image");
    };
    for (int32 step = 1; step <= 7; ++step) {
        SCOPED_TRACE("cancelled at step " + std::to_string(step));
        prepare();
        RecordingProgress progress(step);
        EXPECT_FALSE(Write(3, nullptr, &progress));
        EXPECT_EQ(mError, "cancelled");
        EXPECT_EQ(progress.lines.back(), "finish");
        unchanged();
    }
    prepare();
    std::filesystem::create_directory(mDir.PathOf("Image_onclick.gif"));
    EXPECT_FALSE(Write(3, nullptr));
    EXPECT_NE(mError.find("Image_onclick.gif"), std::string::npos) << mError;
    std::filesystem::remove(mDir.PathOf("Image_onclick.gif"));
    unchanged();
}
