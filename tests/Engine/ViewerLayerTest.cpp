#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "RecordingLayerHost.h"
#include "RecordingView.h"
#include "YKEnvelopManager.h"
#include "YKLayerFactory.h"
#include "YKMessage.h"
#include "YKUndoItem.h"
#include "YKViewerLayer.h"

namespace {

using Rect = YKRect<int32>;
using Rects = std::vector<Rect>;

// A drawn object with a fixed frame that notes the view current when it switches frame.
class Leaf : public YKLayer {
public:
    Leaf(int32 id, Rect frame) : YKLayer(id), mFrame(frame) {}
    explicit Leaf(const YKMessage* archive) : YKLayer(archive) {}
    Rect Frame() const override { return mFrame; }
    void SwitchFrame() override { switchedIn.push_back(ViewerID()); }
    void MessageReceived(YKMessage* message) override { received.push_back(message->what); }

    std::vector<int32> switchedIn;
    std::vector<uint32> received;

private:
    Rect mFrame = Rect::None();
};

class Record : public YKUndoItem {
public:
    const char* Name() const override { return "Record"; }
};

class ViewerLayerTest : public testing::Test {
protected:
    void SetUp() override {
        viewer.SetWindow(&first, viewer.CreateViewer());
        viewer.SetWindow(&second, viewer.CreateViewer());
        viewer.AddChild(left, false);
        viewer.AddChild(right, false);
        first.rects.clear();
        second.rects.clear();
        host.codes.clear();
    }

    RecordingLayerHost host;
    YKViewerLayer viewer{&host, 1};
    RecordingView first;
    RecordingView second;
    Leaf* left = new Leaf(2, {0, 0, 40, 40});
    Leaf* right = new Leaf(3, {60, 0, 99, 40});
};

TEST(ViewerLayerSlotsTest, EightViewsAtMostAndFreedSlotsAreReused) {
    YKViewerLayer viewer(nullptr);
    for (int32 i = 0; i < YKViewerLayer::kMaxViewers; ++i) {
        EXPECT_EQ(viewer.CreateViewer(), i);
    }
    EXPECT_EQ(viewer.CreateViewer(), -1);
    EXPECT_TRUE(viewer.DeleteViewer(3));
    EXPECT_FALSE(viewer.DeleteViewer(3));
    EXPECT_FALSE(viewer.DeleteViewer(8));
    EXPECT_EQ(viewer.CountViewer(), 7);
    EXPECT_EQ(viewer.CreateViewer(), 3);
    EXPECT_FALSE(viewer.SetWindow(nullptr, 8));
    EXPECT_EQ(viewer.WindowAt(-1), nullptr);
}

TEST_F(ViewerLayerTest, NestedBracketsRedrawEachViewOnceWithTheUnion) {
    viewer.LockHirarchy();
    viewer.BeginInvalidate();
    viewer.BeginInvalidate();
    left->InvalidateLayer({0, 0, 10, 10}, false, nullptr);
    viewer.EndInvalidate();
    EXPECT_TRUE(first.rects.empty());
    right->InvalidateLayer({20, 20, 30, 30}, false, nullptr);
    right->InvalidateLayer(Rect::None(), false, nullptr);
    viewer.EndInvalidate();
    viewer.UnlockHirarchy();

    EXPECT_EQ(first.rects, (Rects{{0, 0, 30, 30}}));
    EXPECT_EQ(second.rects, (Rects{{0, 0, 30, 30}}));
    EXPECT_TRUE(first.allLocked);
    EXPECT_EQ(viewer.InvalidRect(), (Rect{0, 0, 30, 30}));
    EXPECT_TRUE(viewer.ContentsChanged());
    EXPECT_FALSE(viewer.SelectionChanged());
    EXPECT_EQ(host.codes, (std::vector<uint32>{'dBUS', 'dBUO'}));
    EXPECT_TRUE(left->LayerTouched());
}

TEST_F(ViewerLayerTest, OutsideABracketEachInvalidationRedrawsAtOnce) {
    left->InvalidateSelection({1, 1, 2, 2}, false, nullptr);
    EXPECT_EQ(first.rects, (Rects{{1, 1, 2, 2}}));
    EXPECT_TRUE(viewer.SelectionChanged());
    right->InvalidateLayer({70, 5, 80, 9}, false, nullptr);
    EXPECT_EQ(second.rects, (Rects{{1, 1, 2, 2}, {70, 5, 80, 9}}));
    EXPECT_EQ(host.codes, (std::vector<uint32>{'dBUS', 'dBUO', 'dBUS', 'dBUO'}));
}

TEST_F(ViewerLayerTest, FullRedrawsCoverTheirRectanglesOrElseTheFrame) {
    // An object's full redraw stays within what it invalidated.
    viewer.BeginInvalidate();
    left->InvalidateLayer({1, 1, 2, 2}, true, nullptr);
    viewer.EndInvalidate();
    EXPECT_EQ(first.rects, (Rects{{1, 1, 2, 2}}));
    // Without a rectangle it covers the whole frame.
    viewer.BeginInvalidate();
    left->InvalidateLayer(YKRect<int32>::None(), true, nullptr);
    viewer.EndInvalidate();
    EXPECT_EQ(first.rects, (Rects{{1, 1, 2, 2}, {0, 0, 99, 40}}));

    // Once removed, the left layer is no longer part of the frame, yet its place must clear.
    first.rects.clear();
    viewer.BeginInvalidate();
    delete viewer.RemoveChild(left, true);
    viewer.EndInvalidate();
    EXPECT_EQ(first.rects, (Rects{{0, 0, 40, 40}}));

    // A new window gets the whole frame, without a full redraw of the others.
    RecordingView third;
    viewer.SetWindow(&third, viewer.CreateViewer());
    EXPECT_EQ(viewer.ViewerID(), 2);
    EXPECT_EQ(third.rects, (Rects{{60, 0, 99, 40}}));
}

TEST_F(ViewerLayerTest, ObjectModeChangesAreAnnouncedOnceBetweenBusySignals) {
    YKLayer a(7);
    YKLayer b(8);
    viewer.BeginInvalidate();
    viewer.SendObjectModeNotification(&a);
    viewer.BeginInvalidate();
    viewer.SendObjectModeNotification(&b);
    viewer.SendObjectModeNotification(&a);
    viewer.EndInvalidate();
    EXPECT_EQ(host.codes, (std::vector<uint32>{'dBUS'}));
    viewer.EndInvalidate();
    EXPECT_EQ(host.codes, (std::vector<uint32>{'dBUS', 'oMDI', 'dBUO'}));
    EXPECT_EQ(host.modeObjects, (std::vector<void*>{&a, &b}));

    host.codes.clear();
    host.modeObjects.clear();
    viewer.SendObjectModeNotification(&b);
    EXPECT_EQ(host.codes, (std::vector<uint32>{'oMDI'}));
    EXPECT_EQ(host.modeObjects, (std::vector<void*>{&b}));
    EXPECT_TRUE(first.rects.empty());
}

TEST_F(ViewerLayerTest, SwitchToFramePassesTheTreeThroughEveryViewOnce) {
    viewer.SetViewerID(1);
    const Rect frame = viewer.Frame();
    EXPECT_EQ(viewer.PreviousFrame(), -1);
    viewer.SwitchToFrame(4);
    EXPECT_EQ(left->switchedIn, (std::vector<int32>{0, 1}));
    EXPECT_EQ(viewer.ViewerID(), 1);
    EXPECT_EQ(viewer.PreviousFrame(), 4);
    EXPECT_EQ(left->PreviousFrame(), 4);
    EXPECT_EQ(first.rects, (Rects{frame}));
    EXPECT_EQ(second.rects, (Rects{frame}));
    EXPECT_EQ(host.codes, (std::vector<uint32>{'dBUS', 'dBUO'}));
}

TEST_F(ViewerLayerTest, TreeServicesReachOnlyTheTreeAndTheHost) {
    auto* nested = new Leaf(4, Rect::None());
    left->AddChild(nested, false);
    Leaf stray(5, Rect::None());
    YKMessage message('sOPT');
    EXPECT_TRUE(viewer.SendMessage(nested, &message));
    EXPECT_EQ(nested->received, (std::vector<uint32>{'sOPT'}));
    EXPECT_FALSE(viewer.SendMessage(&stray, &message));
    EXPECT_TRUE(stray.received.empty());

    EXPECT_EQ(nested->TopParent(), &viewer);
    EXPECT_EQ(nested->EnvelopManager(), &host.manager);
    EXPECT_EQ(viewer.GetUniqueID(), 1001);
    viewer.AddUndoItem(new Record, true);
    EXPECT_EQ(host.undo.UndoStackSize(), 1);
    nested->BroadcastMessage('lUTN');
    EXPECT_EQ(host.codes.back(), 'lUTN');

    viewer.SetCurrentUserLayer(left);
    delete viewer.RemoveChild(left, false);
    EXPECT_EQ(viewer.CurrentUserLayer(), nullptr);
}

TEST_F(ViewerLayerTest, ArchivesAsTheRootAndRebuildsChildrenThroughTheFactory) {
    YKMessage archive;
    viewer.Archive(&archive, false);
    const char* className = nullptr;
    ASSERT_TRUE(archive.FindString("Class", &className));
    EXPECT_STREQ(className, "YKViewerLayer");
    EXPECT_TRUE(viewer.InheritsFrom("YKViewerLayer"));
    YKMessage child;
    ASSERT_TRUE(archive.FindMessage("YKL:Child", 1, &child));

    child.ReplaceString("Class", "NoSuchLayer");
    EXPECT_EQ(viewer.UnarchiveObject(&child, &host.manager), nullptr);
    YKMessage noClass;
    EXPECT_EQ(viewer.UnarchiveObject(&noClass, &host.manager), nullptr);

    YKEnvelopManager* seen = nullptr;
    child.ReplaceString("Class", "ViewerTestLeaf");
    ASSERT_TRUE(YKLayerFactory::Default().Register(
        "ViewerTestLeaf", [&seen](const YKMessage* archive, YKEnvelopManager* manager) {
            seen = manager;
            return new Leaf(archive);
        }));
    std::unique_ptr<YKLayer> built(viewer.UnarchiveObject(&child, &host.manager));
    EXPECT_TRUE(YKLayerFactory::Default().Unregister("ViewerTestLeaf"));
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->ID(), 3);
    EXPECT_EQ(seen, &host.manager);
}

TEST_F(ViewerLayerTest, TheHierarchyLockKeepsOtherThreadsOut) {
    ASSERT_TRUE(viewer.LockHirarchy());
    std::promise<bool> tried;
    std::atomic<bool> added{false};
    std::thread other([&] {
        tried.set_value(viewer.LockHirarchyWithTimeout(0));
        added = viewer.AddChild(new Leaf(9, Rect::None()), false);
    });
    EXPECT_FALSE(tried.get_future().get());
    // The other thread is on its way into AddChild, which cannot finish while the lock is held.
    EXPECT_FALSE(added);
    EXPECT_EQ(viewer.CountChildren(), 2);
    viewer.UnlockHirarchy();
    other.join();
    EXPECT_TRUE(added);
    EXPECT_EQ(viewer.CountChildren(), 3);
}

}  // namespace
