// The tool state: behaviours, lookups by id and type, and the layers the containers build.

#include <gtest/gtest.h>

#include <memory>

#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKRasterLayer.h"
#include "YKToolState.h"

namespace {

TEST(ToolStateTest, BehavioursAndLookups) {
    YKToolState tools;
    tools.SetSelectedTool(4);
    EXPECT_EQ(tools.ToolBehavior(), YKToolContainer::kViewer);
    EXPECT_EQ(tools.ToolSelectedType(), nullptr);
    tools.SetSelectedTool(12);
    EXPECT_EQ(tools.ToolBehavior(), YKToolContainer::kDrawing);
    EXPECT_STREQ(tools.ToolSelectedType(), "Rectangle");
    tools.SetSelectedTool(99);
    EXPECT_EQ(tools.ToolBehavior(), YKToolContainer::kNoBehavior);
    tools.SetPreviousSelectedTool();
    EXPECT_EQ(tools.ToolSelected(), 12);

    EXPECT_EQ(tools.Type2ID("Rectangle"), 12);
    EXPECT_EQ(tools.Type2ID("rectangle"), -1);
    EXPECT_EQ(tools.ToolIDFor(2, 3), 9);
    EXPECT_EQ(tools.ToolIDFor(0, 7), 0);
    EXPECT_EQ(tools.ToolIDFor(3, 1), 5);
    EXPECT_EQ(tools.ToolCountForBehavior(2), 10);
}

TEST(ToolStateTest, ContainersBuildTheirKindsOfLayer) {
    YKToolState tools;
    tools.SetSelectedTool(tools.Type2ID("Ellipse"));
    std::unique_ptr<YKObjectLayer> layer(tools.InstantiateLayerForTool(7, "Ellipse_1"));
    ASSERT_NE(layer, nullptr);
    EXPECT_STREQ(layer->Type(), "Ellipse");
    EXPECT_EQ(tools.InstantiateLayerForTool(8, nullptr), nullptr);

    YKMessage archive;
    layer->Archive(&archive, true);
    YKEnvelopManager manager;
    std::unique_ptr<YKObjectLayer> loaded(
        tools.InstantiateLayerForType("Ellipse", &archive, &manager));
    ASSERT_NE(loaded, nullptr);
    EXPECT_STREQ(loaded->Type(), "Ellipse");
    EXPECT_EQ(tools.InstantiateLayerForType("Spiral", &archive, &manager), nullptr);
    EXPECT_EQ(tools.InstantiateLayerForType("Ellipse", nullptr, &manager), nullptr);
}

}  // namespace
