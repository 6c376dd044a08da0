#include <gtest/gtest.h>

#include <cstring>
#include <latch>
#include <memory>
#include <thread>
#include <vector>

#include "RecordingRootLayer.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKLayer.h"
#include "YKMessage.h"

namespace {

using Rect = YKRect<int32>;
using IDs = std::vector<int32>;

// A drawn object: a fixed frame, hit inside it; logs its id when composed, minus it when
// destroyed.
class LeafLayer : public YKLayer {
public:
    LeafLayer(int32 id, Rect frame, IDs* log = nullptr) : YKLayer(id), mFrame(frame), mLog(log) {}
    ~LeafLayer() override { Note(-ID()); }
    void Archive(YKMessage* message, bool deep) const override {
        YKLayer::Archive(message, deep);
        SetArchiveClass(message, "LeafLayer");
    }
    bool InheritsFrom(const char* name) const override {
        return (name != nullptr && std::strcmp(name, "LeafLayer") == 0) ||
               YKLayer::InheritsFrom(name);
    }
    void ComposeLayer(YKBitmap*, Rect) override { Note(ID()); }
    void MousePoint(YKPoint<double> p, YKList<YKLayer*>* hits) override {
        if (mFrame.Contains({static_cast<int32>(p.x), static_cast<int32>(p.y)})) {
            hits->AddItem(this);
        }
    }
    Rect Frame() const override { return mFrame; }
    void SelfAdded() override { ++added; }
    void SelfRemoved() override { ++removed; }
    YKLayer* Replicate() const override { return new LeafLayer(ID(), mFrame, mLog); }

    int added = 0;
    int removed = 0;

private:
    void Note(int32 value) {
        if (mLog != nullptr) {
            mLog->push_back(value);
        }
    }
    Rect mFrame;
    IDs* mLog;
};

template <typename Layer>
Layer* Add(YKLayer* parent, Layer* child) {
    parent->AddChild(child, false);
    return child;
}

IDs ChildIDs(const YKLayer* layer) {
    IDs ids;
    for (int32 i = 0; i < layer->CountChildren(); ++i) {
        ids.push_back(layer->ChildAt(i)->ID());
    }
    return ids;
}

// Rebuilds a tree from an archive the way the document's loader will: children one by one.
std::unique_ptr<YKLayer> Rebuild(const YKMessage& archive) {
    auto layer = std::make_unique<YKLayer>(&archive);
    YKMessage child;
    for (int32 i = 0; archive.FindMessage("YKL:Child", i, &child); ++i) {
        layer->AddChild(Rebuild(child).release(), false);
    }
    return layer;
}

TEST(LayerTest, AddChildInsertsWithinBoundsAndReportsOnlyTopInsertions) {
    RecordingRootLayer root;
    Add(&root, new YKLayer(2));
    ASSERT_TRUE(root.AddChild(new YKLayer(3), root.CountChildren(), false));
    auto* bottom = new LeafLayer(4, Rect::None());
    ASSERT_TRUE(root.AddChild(bottom, 0, false));
    EXPECT_EQ(ChildIDs(&root), (IDs{4, 2, 3}));
    EXPECT_EQ(root.objectsAdded, 2);
    EXPECT_EQ(bottom->Parent(), &root);
    EXPECT_EQ(bottom->added, 1);

    LeafLayer stray(9, Rect::None());
    EXPECT_FALSE(root.AddChild(&stray, root.CountChildren() + 1, true));
    EXPECT_FALSE(root.AddChild(&stray, -1, true));
    EXPECT_EQ(ChildIDs(&root), (IDs{4, 2, 3}));
    EXPECT_EQ(stray.Parent(), nullptr);
    EXPECT_EQ(stray.added, 0);
    EXPECT_TRUE(root.invalidations.empty());
    EXPECT_EQ(root.lock.CountLocks(), 0);
}

TEST(LayerTest, InvalidationTravelsUpWithTheRightSource) {
    RecordingRootLayer root;
    auto* group = new YKLayer(2);
    auto* leaf = new LeafLayer(3, {5, 5, 9, 9});
    root.AddChild(group, true);
    group->AddChild(leaf, true);
    ASSERT_EQ(root.invalidations.size(), 2u);
    EXPECT_EQ(root.invalidations[0].source, group);
    EXPECT_EQ(root.invalidations[1].rect, (Rect{5, 5, 9, 9}));
    EXPECT_TRUE(root.invalidations[1].flag);
    EXPECT_EQ(root.invalidations[1].source, leaf);
    EXPECT_TRUE(group->LayerTouched());

    group->SwitchFrame();
    EXPECT_EQ(root.invalidations.back().source, YKLayer::kRemovedMarker);

    std::unique_ptr<YKLayer> removed(group->RemoveChild(leaf, true));
    ASSERT_EQ(removed.get(), leaf);
    EXPECT_EQ(leaf->Parent(), nullptr);
    EXPECT_EQ(leaf->removed, 1);
    EXPECT_EQ(root.invalidations.back().rect, (Rect{5, 5, 9, 9}));
    EXPECT_EQ(root.invalidations.back().source, YKLayer::kRemovedMarker);
    EXPECT_EQ(group->RemoveChild(leaf, true), nullptr);
}

TEST(LayerTest, FramesCompositionAndHitsFollowChildOrder) {
    IDs log;
    YKLayer layer(1);
    Add(&layer, new LeafLayer(2, Rect::None(), &log));
    Add(&layer, new LeafLayer(3, {4, 4, 2, 8}, &log));
    EXPECT_EQ(layer.Frame(), Rect::None());
    Add(&layer, new LeafLayer(4, {5, 5, 30, 40}, &log));
    Add(&layer, new LeafLayer(5, {0, 0, 10, 10}, &log));
    EXPECT_EQ(layer.Frame(), (Rect{0, 0, 30, 40}));

    layer.ComposeLayer(nullptr, {0, 0, 10, 4});  // above child 4
    layer.ComposeLayer(nullptr, {0, 0, 40, 40});
    EXPECT_EQ(log, (IDs{5, 4, 5}));

    YKList<YKLayer*> hits;  // the top child under the point comes first
    layer.MousePoint({7, 7}, &hits);
    ASSERT_EQ(hits.CountItems(), 2);
    EXPECT_EQ(hits.ItemAt(0)->ID(), 5);
    EXPECT_EQ(hits.ItemAt(1)->ID(), 4);
}

TEST(LayerTest, PreOrderWalksStayInsideTheirRoot) {
    YKLayer root(1);
    YKLayer* a = Add(&root, new YKLayer(2));
    YKLayer* b = Add(&root, new LeafLayer(5, Rect::None()));
    YKLayer* a1 = Add(a, new LeafLayer(3, Rect::None()));
    YKLayer* a2 = Add(a, new LeafLayer(4, Rect::None()));

    std::vector<YKLayer*> walk;
    for (YKLayer* l = root.IterateHirarchyToNext(&root); l; l = l->IterateHirarchyToNext(&root)) {
        walk.push_back(l);
    }
    EXPECT_EQ(walk, (std::vector<YKLayer*>{a, a1, a2, b}));
    EXPECT_EQ(a2->IterateHirarchyToNext(a), nullptr);
    EXPECT_EQ(root.IterateHirarchyToNext("LeafLayer", &root), a1);
    EXPECT_EQ(a2->IterateHirarchyToNext("LeafLayer", &root), b);

    EXPECT_EQ(root.CountHirarchyItems(nullptr, &root), 5);
    EXPECT_EQ(root.CountHirarchyItems("LeafLayer", &root), 4);
    EXPECT_EQ(root.HirarchyItemAt(-1, "LeafLayer", &root), &root);
    EXPECT_EQ(root.HirarchyItemAt(2, "LeafLayer", &root), b);
    EXPECT_EQ(root.HirarchyItemAt(3, "LeafLayer", &root), nullptr);
    EXPECT_TRUE(a1->HirarchyHasItem(b, &root));
    EXPECT_FALSE(a1->HirarchyHasItem(b, a));
    EXPECT_FALSE(b->HirarchyHasItem(a1, &root));
    EXPECT_EQ(root.LayerByID(4), a2);
}

TEST(LayerTest, ArchiveRoundTripKeepsFlagsAndChildOrder) {
    YKLayer root(1);
    YKLayer* a = Add(&root, new YKLayer(2));
    YKLayer* b = Add(&root, new YKLayer(4));
    Add(a, new YKLayer(3));
    Add(b, new YKLayer(5));
    a->Hide(true);
    b->Lock(true);

    YKMessage archive;
    root.Archive(&archive, false);
    const char* className = nullptr;
    ASSERT_TRUE(archive.FindString("Class", &className));
    EXPECT_STREQ(className, "YKLayer");

    std::unique_ptr<YKLayer> copy = Rebuild(archive);
    EXPECT_EQ(copy->ID(), 1);
    EXPECT_EQ(ChildIDs(copy.get()), (IDs{2, 4}));
    EXPECT_EQ(ChildIDs(copy->ChildAt(0)), (IDs{3}));
    EXPECT_EQ(ChildIDs(copy->ChildAt(1)), (IDs{5}));
    EXPECT_TRUE(copy->ChildAt(0)->IsHidden());
    EXPECT_FALSE(copy->ChildAt(0)->ChildAt(0)->IsHidden());  // hiding is not inherited
    EXPECT_FALSE(copy->ChildAt(0)->IsLocked());
    EXPECT_TRUE(copy->ChildAt(1)->ChildAt(0)->IsLocked());  // locking is, from the parent
    std::unique_ptr<YKLayer> detached(copy->ChildAt(1)->RemoveChild(0, false));
    EXPECT_FALSE(detached->IsLocked());

    YKMessage leafArchive;  // a kind's class name replaces the base's
    LeafLayer(7, Rect::None()).Archive(&leafArchive, false);
    ASSERT_TRUE(leafArchive.FindString("Class", &className));
    EXPECT_STREQ(className, "LeafLayer");
}

TEST(LayerTest, OwnershipFollowsRemovalEmptyingAndDestruction) {
    IDs log;
    {
        YKLayer parent(1);
        for (int32 id = 10; id <= 13; ++id) {
            Add(&parent, new LeafLayer(id, Rect::None(), &log));
        }
        delete parent.RemoveChild(1, false);  // the caller owns what it took out
        EXPECT_EQ(log, (IDs{-11}));
    }
    EXPECT_EQ(log, (IDs{-11, -13, -12, -10}));

    RecordingRootLayer root;
    YKLayer* group = Add(&root, new YKLayer(2));
    Add(Add(group, new YKLayer(3)), new LeafLayer(20, {0, 0, 4, 4}, &log));
    Add(group, new LeafLayer(21, {2, 2, 8, 8}, &log));
    log.clear();
    group->EmptyLayer(true);
    EXPECT_EQ(group->CountChildren(), 0);
    EXPECT_EQ(log, (IDs{-21, -20}));
    ASSERT_EQ(root.invalidations.size(), 1u);
    EXPECT_EQ(root.invalidations[0].rect, (Rect{0, 0, 8, 8}));
}

TEST(LayerTest, AssignmentReplacesChildrenWithReplicas) {
    IDs log;
    YKLayer source(1);
    Add(&source, new LeafLayer(2, {0, 0, 3, 3}, &log));
    Add(&source, new YKLayer(3));  // no Replicate() of its own: skipped
    Add(&source, new LeafLayer(4, {1, 1, 5, 5}, &log));
    YKLayer target(5);
    Add(&target, new LeafLayer(6, Rect::None(), &log));

    target = source;
    EXPECT_EQ(log, (IDs{-6}));
    EXPECT_EQ(ChildIDs(&target), (IDs{2, 4}));
    EXPECT_NE(target.ChildAt(0), source.ChildAt(0));
    EXPECT_EQ(target.ChildAt(1)->Parent(), &target);
}

TEST(LayerTest, ChangeWithFrameAsksTheManagerForEveryLayer) {
    YKEnvelopManager manager;
    manager.SetMaxFrame(3, false);
    RecordingRootLayer root;
    root.manager = &manager;
    YKLayer* group = Add(&root, new YKLayer(2));
    YKLayer* moving = Add(group, new YKLayer(3));
    YKLayer* still = Add(&root, new YKLayer(4));

    YKEnvelopDouble envelope(moving->ID(), "x");
    manager.AddEnvelop(&envelope);
    envelope.SetValue(0.0, 1);
    envelope.SetValue(10.0, 3);
    manager.SetCurrentFrame(2);
    EXPECT_TRUE(moving->ChangeWithFrame());
    EXPECT_TRUE(group->ChangeWithFrame());
    EXPECT_FALSE(still->ChangeWithFrame());

    manager.SetCurrentFrame(2);
    EXPECT_FALSE(root.ChangeWithFrame());
    manager.RemoveEnvelop(&envelope);
}

TEST(LayerTest, StructuralChangesAndBroadcastsRunUnderTheHierarchyLock) {
    RecordingRootLayer root;
    YKLayer* child = Add(&root, new YKLayer(2));
    EXPECT_TRUE(child->BroadcastMessage('lBLT'));
    ASSERT_EQ(root.notifications.size(), 1u);
    EXPECT_EQ(root.notifications[0].source, child);
    EXPECT_EQ(root.notifications[0].what, static_cast<uint32>('lBLT'));
    EXPECT_TRUE(root.notifications[0].underLock);

    std::latch held(1);
    std::latch release(1);
    std::thread holder([&] {
        root.lock.Lock();
        held.count_down();
        release.wait();
        root.lock.Unlock();
    });
    held.wait();
    LeafLayer leaf(3, Rect::None());
    EXPECT_FALSE(child->AddChild(&leaf, false));
    EXPECT_EQ(root.RemoveChild(child, false), nullptr);
    EXPECT_FALSE(child->BroadcastMessage('lBLT'));
    release.count_down();
    holder.join();
    EXPECT_EQ(root.CountChildren(), 1);
    EXPECT_EQ(root.notifications.size(), 1u);
}

}  // namespace
