// The sample banner renders as its reference frames, and saving and loading it changes no pixel
// of any frame.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ReferenceImage.h"
#include "SampleBanner.h"
#include "TempDir.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKRaster.h"

namespace {

PixelImage Frame(YKDocument* document, int32 frame) {
    std::string error;
    std::unique_ptr<YKRaster> raster(document->RenderFrame(frame, &error));
    EXPECT_NE(raster, nullptr) << error;
    return raster != nullptr ? ImageOf(*raster) : PixelImage{};
}

class SampleBannerTest : public ::testing::Test {
protected:
    // `other` (a loaded copy) draws every frame as the sample does.
    void ExpectSameFrames(YKDocument* other) {
        for (int32 frame = 1; frame <= 20; ++frame) {
            EXPECT_EQ(Frame(other, frame).pixels, Frame(banner, frame).pixels) << "frame " << frame;
        }
    }

    YKDispatcher dispatcher;
    YKDocument* banner = YKBuildSampleBanner(&dispatcher);
};

TEST_F(SampleBannerTest, FramesMatchTheirReferences) {
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->EnvelopManager()->MaxFrame(), 20);
    for (int32 frame : {1, 10, 20}) {
        const PixelImage image = Frame(banner, frame);
        EXPECT_EQ(image.width, 468);
        EXPECT_EQ(image.height, 60);
        EXPECT_EQ(CompareWithReference("examples/banner_" + std::to_string(frame), image, 2), "");
    }
}

TEST_F(SampleBannerTest, SavedAndLoadedItRendersTheSame) {
    ASSERT_NE(banner, nullptr);
    const TempDir dir;
    const std::string path = dir.PathOf("banner.gr");
    std::string error;
    ASSERT_TRUE(banner->SaveInto(path.c_str(), false, &error)) << error;
    YKDocument* loaded = YKDocument::Load(path.c_str(), "banner", false, &dispatcher, &error);
    ASSERT_NE(loaded, nullptr) << error;
    ExpectSameFrames(loaded);
}

TEST_F(SampleBannerTest, ShippedFileIsThisSample) {
    ASSERT_NE(banner, nullptr);
    const std::string path = std::string(GRAVIK_EXAMPLES) + "/banner.gr";
    std::string error;
    YKDocument* shipped = YKDocument::Load(path.c_str(), "banner.gr", false, &dispatcher, &error);
    ASSERT_NE(shipped, nullptr) << error;
    ASSERT_EQ(shipped->EnvelopManager()->MaxFrame(), 20) << "regenerate it with gravik-samples";
    ExpectSameFrames(shipped);
}

}  // namespace
