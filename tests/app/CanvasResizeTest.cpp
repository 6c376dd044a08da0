// The new canvas about each anchor, and its application to a document through the dispatcher.

#include <gtest/gtest.h>

#include "ScriptedAlerts.h"
#include "YKCanvasResize.h"
#include "YKDispatcher.h"
#include "YKDocument.h"

namespace {

struct AnchorCase {
    int32 anchor;
    YKRect<int32> grown;   // 100 × 100 at (0, 0) grown to 200 × 100
    YKRect<int32> shrunk;  // the same shrunk to 51 × 51
};

class CanvasAnchorTest : public testing::TestWithParam<AnchorCase> {};

TEST_P(CanvasAnchorTest, KeepsTheAnchoredPartOfTheOldCanvasInPlace) {
    const AnchorCase& c = GetParam();
    const YKRect<int32> square{0, 0, 99, 99};
    EXPECT_EQ(YKCanvasResize::NewFrame(square, 200, 100, c.anchor), c.grown);
    EXPECT_EQ(YKCanvasResize::NewFrame(square, 51, 51, c.anchor), c.shrunk);
    // The old canvas's corner moves along; an unchanged size is the canvas itself.
    const YKRect<int32> away{-7, 13, 92, 112};
    EXPECT_EQ(YKCanvasResize::NewFrame(away, 200, 100, c.anchor),
              (YKRect<int32>{c.grown.left - 7, c.grown.top + 13, c.grown.right - 7,
                             c.grown.bottom + 13}));
    EXPECT_EQ(YKCanvasResize::NewFrame(away, 100, 100, c.anchor), away);
}

// Halves of an odd difference go toward zero: 49 / 2 is 24 on both sides of the sign.
INSTANTIATE_TEST_SUITE_P(EveryAnchor, CanvasAnchorTest,
                         testing::Values(AnchorCase{0, {0, 0, 199, 99}, {0, 0, 50, 50}},
                                         AnchorCase{1, {-50, 0, 149, 99}, {24, 0, 74, 50}},
                                         AnchorCase{2, {-100, 0, 99, 99}, {49, 0, 99, 50}},
                                         AnchorCase{3, {0, 0, 199, 99}, {0, 24, 50, 74}},
                                         AnchorCase{4, {-50, 0, 149, 99}, {24, 24, 74, 74}},
                                         AnchorCase{5, {-100, 0, 99, 99}, {49, 24, 99, 74}},
                                         AnchorCase{6, {0, 0, 199, 99}, {0, 49, 50, 99}},
                                         AnchorCase{7, {-50, 0, 149, 99}, {24, 49, 74, 99}},
                                         AnchorCase{8, {-100, 0, 99, 99}, {49, 49, 99, 99}}));

TEST(CanvasResizeTest, SizesOutsideWhatARasterHoldsAreRefusedWithAReason) {
    EXPECT_TRUE(YKCanvasResize::CheckSize(1, 1).empty());
    EXPECT_TRUE(YKCanvasResize::CheckSize(32768, 8192).empty());
    for (auto [w, h] : {std::pair<int64, int64>{0, 10}, {10, -1}, {32769, 1}, {32768, 8193}}) {
        EXPECT_FALSE(YKCanvasResize::CheckSize(w, h).empty()) << w << " x " << h;
    }
}

TEST(CanvasResizeTest, TheDispatcherResizesUndoablySetsTheBackgroundAndRefusesBadRectangles) {
    ScriptedAlerts alerts;
    YKDispatcher dispatcher;
    YKDocument* document = dispatcher.CreateDocument(100, 60, "canvas", yk_color(1, 2, 3, 255));
    const YKRect<int32> before = document->Frame();
    const YKRect<int32> after = YKCanvasResize::NewFrame(before, 40, 30, 8);
    dispatcher.HandleMessage(YKCanvasResize::Message(document, after, yk_color(9, 8, 7, 255)));
    EXPECT_EQ(document->Frame(), after);
    EXPECT_EQ(document->BackgroundColor().blue, 7);
    document->UndoManager()->UndoLast();
    EXPECT_EQ(document->Frame(), before);

    // Edges so far apart that their difference overflows 32 bits, and an inverted one.
    const YKRect<int32> huge{INT32_MIN + 1, 0, INT32_MAX - 1, 10};
    const YKRect<int32> inverted{10, 10, 0, 20};
    for (const YKRect<int32>& bad : {huge, inverted}) {
        dispatcher.HandleMessage(YKCanvasResize::Message(document, bad, yk_color()));
    }
    EXPECT_EQ(document->Frame(), before);
    EXPECT_EQ(document->BackgroundColor().blue, 7);
    ASSERT_EQ(alerts.Texts().size(), 2u);
    EXPECT_NE(alerts.Texts()[0].find("32768"), std::string::npos);
}

}  // namespace
