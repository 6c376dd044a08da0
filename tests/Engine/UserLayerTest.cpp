#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RecordingRootLayer.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKUserLayer.h"

namespace {

using Codes = std::vector<uint32>;
using Views = std::vector<bool>;

Views Flags(const YKUserLayer& layer, bool hidden) {
    Views flags;
    for (int32 view = 0; view < YKUserLayer::kViewCount; ++view) {
        flags.push_back(hidden ? layer.IsUserLayerHidden(view) : layer.IsUserLayerSelected(view));
    }
    return flags;
}

TEST(UserLayerTest, ArchiveRoundTripKeepsNameCopyNumberAndViewFlags) {
    YKUserLayer layer(4, "Layer 1");
    layer.SetCopyNumber(2);
    layer.SelectUserLayer(true, 3);
    layer.HideUserLayer(5);
    layer.SetGlobalAlpha(80);
    YKMessage archive;
    layer.Archive(&archive, false);
    YKUserLayer loaded(&archive);
    EXPECT_STREQ(loaded.Name(), "Layer 1");
    EXPECT_EQ(loaded.CopyNumber(), 2);
    EXPECT_EQ(Flags(loaded, false), Flags(layer, false));
    EXPECT_EQ(Flags(loaded, true), Flags(layer, true));
    EXPECT_EQ(loaded.GlobalAlpha(), 80);
    YKMessage again;
    loaded.Archive(&again, false);
    EXPECT_EQ(again.Flatten(), archive.Flatten());

    YKMessage unnamed;
    YKUserLayer(5, nullptr).Archive(&unnamed, false);
    EXPECT_FALSE(unnamed.HasString("YKUL:name"));
    EXPECT_EQ(YKUserLayer(&unnamed).Name(), nullptr);
}

TEST(UserLayerTest, MissingMistypedOrForeignValuesReadAsDefaults) {
    YKMessage archive;
    archive.AddString("Class", "YKUserLayer");
    for (int32 i = 0; i < 3; ++i) {
        archive.AddBool("YKUL:selected", true);
    }
    archive.AddInt32("YKUL:hidden", 1);
    archive.AddInt32("YKUL:name", 7);
    archive.AddString("YKUL:CopyNumber", "2");
    YKUserLayer layer(&archive);
    EXPECT_EQ(Flags(layer, false), (Views{true, true, true, false, false, false, false, false}));
    EXPECT_EQ(Flags(layer, true), Views(8, false));
    EXPECT_EQ(layer.Name(), nullptr);
    EXPECT_EQ(layer.CopyNumber(), 0);

    archive.ReplaceString("Class", "YKCacheLayer");
    archive.AddInt32("YKL:ID", 12);
    YKUserLayer foreign(&archive);
    EXPECT_EQ(foreign.ID(), 0);
    EXPECT_FALSE(foreign.IsUserLayerSelected(0));
}

class UserLayerTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        root.manager = &manager;
        root.AddChild(layer, false);
    }

    YKEnvelopManager manager;
    RecordingRootLayer root;
    YKUserLayer* layer = new YKUserLayer(2, "Layer 1");
};

TEST_F(UserLayerTreeTest, SelectingAHiddenLayerShowsItInThatViewOnly) {
    layer->HideUserLayer(YKUserLayer::kAllViews);
    layer->SelectUserLayer(false, 2);
    layer->SelectUserLayer(true, 2);
    Views hidden(8, true);
    hidden[2] = false;
    EXPECT_EQ(Flags(*layer, true), hidden);
    EXPECT_EQ(root.codes, (Codes{'lHID', 'lSHW'}));
    EXPECT_EQ(root.notifications.back().layer, layer);
    EXPECT_TRUE(root.notifications.back().underLock);

    // All views at once; a view that does not exist changes nothing and says nothing.
    layer->SelectUserLayer(true, YKUserLayer::kAllViews);
    EXPECT_EQ(Flags(*layer, false), Views(8, true));
    EXPECT_EQ(Flags(*layer, true), Views(8, false));
    layer->HideUserLayer(8);
    EXPECT_EQ(root.codes.size(), 3u);
}

TEST_F(UserLayerTreeTest, HiddenFollowsTheCurrentViewAndEnvelopsFollowTheTree) {
    auto* child = new YKCacheLayer(3, "child");
    layer->AddChild(child, false);
    EXPECT_EQ(manager.CountEnvelops(), 2);
    layer->HideUserLayer(3);
    root.viewer = 3;
    EXPECT_TRUE(layer->IsHidden());
    EXPECT_TRUE(child->IsUserLayerHidden(3));
    root.viewer = 2;
    EXPECT_FALSE(layer->IsHidden());
    delete root.RemoveChild(layer, false);
    EXPECT_EQ(manager.CountEnvelops(), 0);
}

TEST_F(UserLayerTreeTest, MessagesHideShowRenameOrReachTheCacheLayer) {
    YKMessage hide('lHID');
    hide.AddInt32("viewer", 4);
    YKMessage show('lSHW');
    YKMessage rename('sNAM');
    rename.AddString("name", "Sky");
    YKMessage opacity('lOPA');
    opacity.AddInt32("opacity", 30);
    YKMessage link('lLNK');
    layer->SetCopyNumber(3);
    layer->MessageReceived(&hide);
    EXPECT_EQ(Flags(*layer, true), (Views{false, false, false, false, true, false, false, false}));
    for (YKMessage* message : {&show, &link, &rename, &opacity}) {
        layer->MessageReceived(message);
    }
    EXPECT_EQ(Flags(*layer, true), Views(8, false));
    EXPECT_EQ(layer->GetFullName(), "Sky");
    EXPECT_EQ(layer->GlobalAlpha(), 30);
    EXPECT_EQ(root.codes, (Codes{'lHID', 'lSHW', 'lREN', 'lOPA'}));
}

TEST_F(UserLayerTreeTest, ReplicateCopiesFieldsAndChildrenDetached) {
    layer->SetCopyNumber(1);
    layer->SelectUserLayer(true, 6);
    auto* child = new YKCacheLayer(3, "child");
    child->SetMergeMethod(2, nullptr);
    layer->AddChild(child, false);
    std::unique_ptr<YKLayer> copy(layer->Replicate());
    ASSERT_TRUE(copy->InheritsFrom("YKUserLayer"));
    EXPECT_EQ(copy->Parent(), nullptr);
    ASSERT_EQ(copy->CountChildren(), 1);
    EXPECT_NE(copy->ChildAt(0), child);
    YKMessage original;
    YKMessage copied;
    layer->Archive(&original, true);
    copy->Archive(&copied, true);
    EXPECT_EQ(copied.Flatten(), original.Flatten());
    // The copy stays out of the document until it is added.
    EXPECT_EQ(manager.CountEnvelops(), 2);
}

}  // namespace
