#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "TempDir.h"
#include "YKCacheLayer.h"
#include "YKEnvelopKinds.h"
#include "YKFilterManager.h"
#include "YKGenericFilter.h"
#include "YKKernelFilter.h"
#include "YKMessage.h"

namespace {

namespace fs = std::filesystem;

// A filter's archive with its "Amount" keyed at frames 1 and 3, its envelopes owned by `owner`.
YKMessage AnimatedRollArchive(const YKFilterManager& manager, int32 owner = 0) {
    std::unique_ptr<YKGenericFilter> filter(manager.FilterNamed("Test Roll")->Duplicate());
    filter->SetEnvelopOwner(owner, owner);
    auto* amount = static_cast<YKEnvelopDouble*>(
        static_cast<YKKernelFilter*>(filter.get())->ParameterEnvelop(0));
    amount->SetValue(0.0, 1);
    amount->SetValue(1.0, 3);
    filter->SetUserName("mine");
    YKMessage archive;
    filter->Archive(&archive);
    return archive;
}

TEST(FilterManagerTest, BrokenLibrariesAreSkippedWithOneLineEachAndTheGoodOneLoads) {
    TempDir dir;
    for (const char* name : {"no_entry_point.so", "null_filter.so"}) {
        fs::copy_file(fs::path(GRAVIK_BROKEN_ADDONS) / name, dir.Path() / name);
    }
    fs::copy_file(fs::path(GRAVIK_TEST_ADDONS) / "test_roll.so", dir.Path() / "test_roll.so");
    std::ofstream(dir.PathOf("x.so")) << "not a library\n";
    fs::create_directory(dir.Path() / "folder.so");

    YKFilterManager manager;
    testing::internal::CaptureStdout();
    manager.Load({dir.Path().string(), dir.PathOf("missing")});
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "get_image_symbol error for (" + dir.PathOf("no_entry_point.so") +
                           " filter)\n" + "no filter from (" + dir.PathOf("null_filter.so") +
                           ")\n" + "error loading filter (" + dir.PathOf("x.so") + ")\n");

    ASSERT_EQ(manager.CountFilterLists(), 14);
    // Type 13 is "Other", where the good plug-in lands and nothing else does.
    EXPECT_STREQ(manager.CategoryNameAt(13), "Other");
    for (int32 i = 0; i < 14; ++i) {
        EXPECT_EQ(manager.FilterListAt(i)->CountItems(), i == 13 ? 1 : 0) << i;
    }
    const YKGenericFilter* loaded = manager.FilterListAt(13)->ItemAt(0);
    EXPECT_STREQ(loaded->Name(), "Test Roll");
    EXPECT_EQ(loaded->LoadedName(), "Test Roll");
    EXPECT_STREQ(loaded->TypeString(), "Other");

    // The same plug-in again (an installation beside a build) is not listed twice.
    manager.Load({dir.Path().string()});
    EXPECT_EQ(manager.FilterListAt(13)->CountItems(), 1);
}

TEST(FilterManagerTest, ArchivesComeBackThroughTheFilterTheyName) {
    const YKFilterManager& manager = YKFilterManager::Default();
    ASSERT_NE(manager.FilterNamed("Test Roll"), nullptr);
    const YKMessage archive = AnimatedRollArchive(manager);

    std::unique_ptr<YKGenericFilter> copy(manager.InstantiateFilter(&archive));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->UserName(), "mine");
    YKMessage again;
    copy->Archive(&again);
    EXPECT_EQ(again.Flatten(), archive.Flatten());

    YKMessage unknown = archive;
    unknown.ReplaceString("YKGF:Name", "No Such Filter");
    EXPECT_EQ(manager.InstantiateFilter(&unknown), nullptr);
}

TEST(FilterManagerTest, CacheLayerBuildsKnownFiltersAndKeepsUnknownOnesAsArchives) {
    // Owned by the layer, as the layer will make its filters' envelopes.
    const YKMessage roll = AnimatedRollArchive(YKFilterManager::Default(), 5);
    YKMessage unknown('Filt');
    unknown.AddString("YKGF:Name", "Plug-in Not Here");
    unknown.AddInt32("radius", 3);

    YKCacheLayer original(5, "group");
    YKMessage layerArchive;
    original.Archive(&layerArchive, false);
    layerArchive.AddMessage("YKCL:Filter", &unknown);
    layerArchive.AddMessage("YKCL:Filter", &roll);

    YKCacheLayer loaded(&layerArchive);
    ASSERT_EQ(loaded.CountFilters(), 1);
    EXPECT_STREQ(loaded.FilterAt(0)->Name(), "Test Roll");
    EXPECT_TRUE(loaded.FiltersActive());
    YKMessage saved;
    loaded.Archive(&saved, false);
    YKMessage first;
    YKMessage second;
    ASSERT_TRUE(saved.FindMessage("YKCL:Filter", 0, &first));
    ASSERT_TRUE(saved.FindMessage("YKCL:Filter", 1, &second));
    EXPECT_EQ(first.Flatten(), unknown.Flatten());
    EXPECT_EQ(second.Flatten(), roll.Flatten());
}

}  // namespace
