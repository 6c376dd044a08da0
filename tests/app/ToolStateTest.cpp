// The tool state: the layers the containers build.

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "YKEnvelopManager.h"
#include "YKLayerFactory.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKRasterLayer.h"
#include "YKToolState.h"

namespace {

TEST(ToolStateTest, LayersAreArchivedUnderTheirToolsTypeAndLoadBack) {
    YKToolState tools;
    YKEnvelopManager manager;
    for (int32 id = 6; id <= 15; ++id) {
        tools.SetSelectedTool(id);
        const char* type = tools.ToolSelectedType();
        std::unique_ptr<YKObjectLayer> layer(tools.InstantiateLayerForTool(id, type));
        ASSERT_NE(layer, nullptr) << type;
        const bool vector = layer->InheritsFrom("YKRasterLayer");
        if (vector) {
            EXPECT_STREQ(layer->Type(), type);
        }
        YKMessage archive;
        layer->Archive(&archive, true);
        const char* className = nullptr;
        ASSERT_TRUE(archive.FindString("Class", &className)) << type;
        EXPECT_STREQ(className, type);
        // The document's loader and the tool state both build it back from that name.
        std::unique_ptr<YKLayer> built(YKLayerFactory::Default().Build(&archive, &manager));
        ASSERT_NE(built, nullptr) << type;
        EXPECT_EQ(built->InheritsFrom("YKRasterLayer"), vector) << type;
        std::unique_ptr<YKObjectLayer> loaded(
            tools.InstantiateLayerForType(className, &archive, &manager));
        ASSERT_NE(loaded, nullptr) << type;
        if (vector) {
            EXPECT_STREQ(static_cast<YKObjectLayer*>(built.get())->Type(), type);
            EXPECT_STREQ(loaded->Type(), type);
        }
    }
    tools.SetSelectedTool(tools.Type2ID("Ellipse"));
    EXPECT_EQ(tools.InstantiateLayerForTool(8, nullptr), nullptr);
    YKMessage archive;
    EXPECT_EQ(tools.InstantiateLayerForType("Spiral", &archive, &manager), nullptr);
    EXPECT_EQ(tools.InstantiateLayerForType("Ellipse", nullptr, &manager), nullptr);
}

TEST(ToolStateTest, BehavioursNamesAndThePreviousToolRule) {
    YKToolState tools;
    const std::pair<int32, int32> behaviours[] = {{0, 0}, {3, 0}, {4, 3}, {12, 2}, {99, 5}};
    for (const auto& [id, behaviour] : behaviours) {
        tools.SetSelectedTool(id);
        EXPECT_EQ(tools.ToolBehavior(), behaviour) << id;
    }
    EXPECT_EQ(tools.Type2ID("Rectangle"), 12);
    EXPECT_EQ(tools.Type2ID("rectangle"), -1);
    EXPECT_EQ(YKToolState::ToolIDForName("  circle bitmap selection"), 3);
    EXPECT_EQ(YKToolState::ToolIDForName("Round Rectangle"), 13);
    EXPECT_EQ(tools.ToolIDFor(2, 3), 9);
    EXPECT_EQ(tools.ToolIDFor(0, 7), 0);
    EXPECT_EQ(tools.IconIndexFor(2, 3), 7);
    EXPECT_EQ(tools.IconIndexFor(3, 1), 15);
    EXPECT_EQ(tools.IconIndexFor(2, 10), -1);

    int32 shown = -1;
    tools.SetOptionsHook([&shown](int32 id) { shown = id; });
    tools.SetSelectedTool(5, false);
    tools.SetSelectedTool(12, true);
    EXPECT_EQ(shown, 12);
    EXPECT_STREQ(tools.OptionPanel(), "YKOptionControlVectorRectangle");
    EXPECT_EQ(tools.SetCursor(false), YKToolState::kCursorCrosshair);
    EXPECT_EQ(tools.GetOptionMessage()->CountNames(), 0);
    // Drawing locks the tool; the previous one comes back afterwards, and back again.
    tools.SetSwapAuthorized(false);
    EXPECT_FALSE(tools.SetSelectedTool(0));
    EXPECT_FALSE(tools.SetPreviousSelectedTool());
    tools.SetSwapAuthorized(true);
    ASSERT_TRUE(tools.SetPreviousSelectedTool());
    EXPECT_EQ(tools.ToolSelected(), 5);
    tools.SetZoomIn(false);
    EXPECT_EQ(tools.SetCursor(false), YKToolState::kCursorZoomOut);
    EXPECT_EQ(tools.SetCursor(true), YKToolState::kCursorLocked);
    tools.SetPreviousSelectedTool();
    EXPECT_EQ(tools.ToolSelected(), 12);
    tools.SetSelectedTool(2);
    int32 feather = -1;
    EXPECT_TRUE(tools.GetOptionMessage()->FindInt32("feather", &feather));
    EXPECT_EQ(feather, 0);
}

}  // namespace
