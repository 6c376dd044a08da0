// Files that are not documents opening as new documents, and the canvas limit that every loaded
// document obeys.

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "IndexedGif.h"
#include "RecordingServices.h"
#include "TempDir.h"
#include "YKBitmapLayer.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKMsgFile.h"
#include "YKRaster.h"
#include "YKViewerLayer.h"

namespace {

class ImageOpeningTest : public ::testing::Test {
protected:
    // The services own what loads.
    YKDocument* Load(const std::string& path, std::string* error = nullptr) {
        return YKDocument::Load(path.c_str(), "opened", false, &mServices, error);
    }

    TempDir mDir;
    RecordingServices mServices;
};

TEST_F(ImageOpeningTest, AnimatedGifOpensAsAnImageSequenceTimedByItsDelays) {
    // Three 4 x 2 frames, red, green, blue; the green one has no delay.
    const std::string path = mDir.PathOf("anim.gif");
    WriteIndexedGif(path, 4, 2, {7, 0, 25}, [](int32 frame, size_t) { return frame; });

    std::string error;
    YKDocument* document = Load(path, &error);
    ASSERT_NE(document, nullptr) << error;
    EXPECT_EQ(document->Frame(), (YKRect<int32>{-2, -1, 1, 0}));
    EXPECT_TRUE(document->OpenWarnings().empty());
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(document->UndoManager()->UndoStackSize(), 0) << "opening is no action to undo";
    const YKEnvelopManager* frames = document->EnvelopManager();
    ASSERT_EQ(frames->MaxFrame(), 3);
    EXPECT_EQ(frames->FrameDuration(1), 7.0);
    EXPECT_EQ(frames->FrameDuration(2), 5.0) << "no delay keeps the default";
    EXPECT_EQ(frames->FrameDuration(3), 25.0);
    const auto* layer =
        dynamic_cast<YKBitmapLayer*>(document->ViewerLayer()->ChildAt(0)->ChildAt(0));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->CountImages(), 3);
    const uint32 shown[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (int32 f = 1; f <= 3; ++f) {
        const std::unique_ptr<YKRaster> frame(document->RenderFrame(f));
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(*reinterpret_cast<const uint32*>(frame->Bits()), shown[f - 1]) << "frame " << f;
    }
}

TEST_F(ImageOpeningTest, CanvasesNoRasterCanHoldAreRefusedBeforeAnythingIsBuilt) {
    const YKRect<int32> refused[] = {
        {0, 0, 10, INT32_MAX},               // a render loop up to it would never end
        {0, INT32_MAX - 10, 10, INT32_MAX},  // small, but ends on the largest int32
        {INT32_MIN, 0, INT32_MAX, 0},        // its width does not fit in 32 bits
        {-8192, -8192, 8192, 8191},          // one column more than 1 GiB of pixels
    };
    const std::string path = mDir.PathOf("canvas.gr");
    const auto write = [&](YKRect<int32> canvas) {
        YKMsgFile file;
        ASSERT_TRUE(file.Open(path.c_str(), YK_BIN_WRITE_ONLY));
        YKMessage version('grdv');
        version.AddInt32("vers", 101);
        YKMessage document('edoc');
        document.AddRect("YKD:Frame", canvas);
        ASSERT_TRUE(file.PutMessage(&version) && file.PutMessage(&document));
    };
    for (const YKRect<int32>& canvas : refused) {
        write(canvas);
        std::string error;
        EXPECT_EQ(Load(path, &error), nullptr);
        EXPECT_EQ(error,
                  "The canvas of this Gravik file is larger than an image can be.\n"
                  "File cannot be loaded. Unknown file format.\n");
    }
    // The largest canvas loads.
    write({-8192, -8192, 8191, 8191});
    YKDocument* largest = Load(path);
    ASSERT_NE(largest, nullptr);
    // Nor can one be made or set later, and rendering refuses one before it draws anything.
    EXPECT_FALSE(largest->SetFrame(refused[3], 0));
    EXPECT_EQ(largest->Frame(), (YKRect<int32>{-8192, -8192, 8191, 8191}));
    YKDispatcher dispatcher;
    EXPECT_EQ(dispatcher.CreateDocument(16385, 16384, "wide", yk_color()), nullptr);
    YKDocument edge("edge", refused[1], yk_color(), &mServices);
    std::string error;
    EXPECT_EQ(std::unique_ptr<YKRaster>(edge.RenderFrame(1, &error)), nullptr);
    EXPECT_EQ(error,
              "The canvas is larger than an image can be, or reaches the end of the coordinates");
}

}  // namespace
