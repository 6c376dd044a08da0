#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "RecordingRootLayer.h"
#include "YKCacheLayer.h"
#include "YKEnvelopManager.h"
#include "YKGenericFilter.h"
#include "YKMessage.h"
#include "YKRecordingTimelineSink.h"

namespace {

// A filter's archive as a file may hold it: fields this build does not interpret.
YKMessage FilterArchive(int32 n) {
    YKMessage filter('Filt');
    filter.AddString("Class", "SomeFilter");
    filter.AddInt32("radius", n);
    return filter;
}

// A live filter that leaves pixels alone and archives as FilterArchive(tag).
class TaggedFilter : public YKGenericFilter {
public:
    explicit TaggedFilter(int32 tag) : mTag(tag) {}
    void PerformFilterThread(YKBitmap*, YKBitmap*, YKBitmap*, YKRect<int32>, YKRect<int32>,
                             bool) override {}
    void Archive(YKMessage* message) const override { *message = FilterArchive(mTag); }

private:
    int32 mTag;
};

// The tags of a layer's archived "YKCL:Filter" messages, first to last.
std::vector<int32> FilterOrder(const YKCacheLayer& layer) {
    YKMessage archive;
    layer.Archive(&archive, false);
    std::vector<int32> tags;
    YKMessage filter;
    for (int32 i = 0; archive.FindMessage("YKCL:Filter", i, &filter); ++i) {
        int32 tag = -1;
        filter.FindInt32("radius", &tag);
        tags.push_back(tag);
    }
    return tags;
}

YKMessage Command(uint32 what, const char* name = nullptr, int32 value = 0) {
    YKMessage message(what);
    if (name != nullptr) {
        message.AddInt32(name, value);
    }
    return message;
}

TEST(CacheLayerTest, ArchiveRoundTripKeepsOpacityMethodAndFiltersVerbatim) {
    YKCacheLayer layer(7, "cache");
    layer.OpacityEnvelop()->SetValue(40, 3);
    YKMessage archive;
    layer.Archive(&archive, false);
    // The "Filter" method with its filter, and filters, come only from files.
    archive.ReplaceInt8("YKCL:MergeMethod", YKCacheLayer::kFilterMergeMethod);
    archive.RemoveName("YKCL:Name");
    const YKMessage mergeFilter = FilterArchive(0);
    archive.AddMessage("YKCL:MergeFilter", &mergeFilter);
    for (int32 i = 1; i <= 3; ++i) {
        const YKMessage filter = FilterArchive(i);
        archive.AddMessage("YKCL:Filter", &filter);
    }
    archive.AddString("YKCL:Name", "cache");

    YKCacheLayer loaded(&archive);
    EXPECT_EQ(loaded.ID(), 7);
    EXPECT_EQ(loaded.MergeMethod(), YKCacheLayer::kFilterMergeMethod);
    EXPECT_TRUE(loaded.FiltersActive());
    EXPECT_EQ(loaded.OpacityEnvelop()->Value(3), 40);
    YKMessage again;
    loaded.Archive(&again, false);
    EXPECT_EQ(again.Flatten(), archive.Flatten());

    // Another method leaves the merge filter out.
    ASSERT_TRUE(loaded.SetMergeMethod(4, nullptr));
    YKMessage normal;
    loaded.Archive(&normal, false);
    EXPECT_FALSE(normal.HasMessage("YKCL:MergeFilter"));
}

TEST(CacheLayerTest, LiveAndArchivedFiltersKeepTheirOrderThroughSaves) {
    YKMessage archive;
    YKCacheLayer(3, "group").Archive(&archive, false);
    for (int32 tag : {1, 2}) {
        const YKMessage filter = FilterArchive(tag);
        archive.AddMessage("YKCL:Filter", &filter);
    }
    YKCacheLayer loaded(&archive);
    loaded.AddFilter(new TaggedFilter(3));
    EXPECT_EQ(FilterOrder(loaded), (std::vector<int32>{1, 2, 3}));
    loaded.AddFilter(new TaggedFilter(4), 0);
    loaded.AddFilter(new TaggedFilter(5));
    EXPECT_EQ(FilterOrder(loaded), (std::vector<int32>{1, 2, 4, 3, 5}));
    ASSERT_TRUE(loaded.DeleteFilter(1));
    EXPECT_EQ(FilterOrder(loaded), (std::vector<int32>{1, 2, 4, 5}));

    YKMessage saved;
    loaded.Archive(&saved, false);
    EXPECT_EQ(FilterOrder(YKCacheLayer(&saved)), (std::vector<int32>{1, 2, 4, 5}));
}

TEST(CacheLayerTest, MissingMistypedOrForeignKeysKeepDefaults) {
    std::vector<YKMessage> archives(5);
    for (YKMessage& archive : archives) {
        archive.AddString("Class", "YKCacheLayer");
    }
    archives[1].AddInt32("YKCL:GlobalAlpha", 12);
    archives[1].AddInt32("YKCL:MergeMethod", 5);
    archives[1].AddString("YKCL:Filter", "blur");
    archives[2].AddInt8("YKCL:MergeMethod", 40);
    YKMessage noKeys;
    noKeys.AddString("Class", "YKEnvelop");
    archives[3].AddMessage("YKCL:GlobalAlpha", &noKeys);
    archives[4].ReplaceString("Class", "YKViewerLayer");
    archives[4].AddInt32("YKL:ID", 9);
    for (std::size_t i = 0; i < archives.size(); ++i) {
        SCOPED_TRACE(i);
        YKCacheLayer layer(&archives[i]);
        EXPECT_EQ(layer.ID(), 0);
        EXPECT_EQ(layer.GlobalAlpha(), 255);
        EXPECT_EQ(layer.MergeMethod(), 0);
        EXPECT_FALSE(layer.FiltersActive());
    }
    auto opacity = std::make_unique<YKEnvelopInt32>(3, "Opacity");
    opacity->SetValue(90, 1);
    EXPECT_EQ(YKCacheLayer(8, std::move(opacity)).GlobalAlpha(), 90);
}

TEST(CacheLayerTest, MessagesAndSettersRefuseWhatTheLayerCannotDo) {
    YKCacheLayer layer(3, nullptr);
    for (YKMessage message : {Command('lOPA', "opacity", 40), Command('lMRG', "merge_method", 7),
                              Command('lMRG', "merge_method", 19), Command('lFxf')}) {
        layer.MessageReceived(&message);
    }
    EXPECT_EQ(layer.GlobalAlpha(), 40);
    EXPECT_EQ(layer.MergeMethod(), 7);
    EXPECT_FALSE(layer.IsFxEnabled());
    EXPECT_FALSE(layer.SetMergeMethod(21, nullptr));
    EXPECT_FALSE(layer.SetMergeMethod(-1, nullptr));
    EXPECT_EQ(layer.MergeMethod(), 7);
    EXPECT_FALSE(layer.SetFiltersOff(true));
    EXPECT_FALSE(layer.FiltersActive());

    YKMessage archive;
    layer.Archive(&archive, false);
    const YKMessage filter = FilterArchive(1);
    archive.AddMessage("YKCL:Filter", &filter);
    YKCacheLayer filtered(&archive);
    EXPECT_TRUE(filtered.SetFiltersOff(true));
    EXPECT_FALSE(filtered.FiltersActive());
    EXPECT_TRUE(filtered.SetFiltersOn());
    EXPECT_TRUE(filtered.FiltersActive());
}

TEST(CacheLayerTest, OpacityEnvelopIsRegisteredWhileInTheTreeAndAnimates) {
    YKEnvelopManager manager;
    YKRecordingTimelineSink timeline;
    YKTimelineSink::SetCurrent(&timeline);
    struct Detach {
        ~Detach() { YKTimelineSink::SetCurrent(nullptr); }
    } detach;
    RecordingRootLayer root;
    root.manager = &manager;
    auto* layer = new YKCacheLayer(5, "c");
    ASSERT_TRUE(root.AddChild(layer, false));
    EXPECT_TRUE(manager.HasEnvelop(layer->OpacityEnvelop()));
    int32 owner = 0;
    EXPECT_TRUE(timeline.Messages().back().FindInt32("object_id", &owner) && owner == 5);
    EXPECT_EQ(timeline.Codes().back(), uint32{YKTimelineSink::kObjectAdded});

    manager.SetMaxFrame(5, false);
    manager.SetCurrentFrame(5);
    layer->SetGlobalAlpha(55);
    manager.SetCurrentFrame(3);
    EXPECT_EQ(layer->GlobalAlpha(), 155);
    manager.SetCurrentFrame(1);
    EXPECT_EQ(layer->GlobalAlpha(), 255);
    layer->SetGlobalAlpha(-4);
    EXPECT_EQ(layer->OpacityEnvelop()->Value(), 0);
    EXPECT_EQ(root.codes, (std::vector<uint32>{'oOPA', 'oOPA'}));
    EXPECT_TRUE(root.notifications.back().underLock);
    EXPECT_EQ(root.invalidations.back().source, YKLayer::kRemovedMarker);

    std::unique_ptr<YKLayer> removed(root.RemoveChild(layer, false));
    EXPECT_FALSE(manager.HasEnvelop(layer->OpacityEnvelop()));
    EXPECT_EQ(layer->OpacityEnvelop()->EnvelopManager(), nullptr);
    EXPECT_EQ(timeline.Codes().back(), uint32{YKTimelineSink::kObjectRemoved});
    ASSERT_TRUE(root.AddChild(removed.release(), false));
    EXPECT_EQ(manager.CountEnvelops(), 1);
}

}  // namespace
