// The tool state: the layers the containers build.

#include <gtest/gtest.h>

#include <memory>

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

}  // namespace
