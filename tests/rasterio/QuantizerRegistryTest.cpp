#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "InverseQuantizer.h"
#include "NeuralNetQuantizer.h"
#include "OctreeQuantizer.h"
#include "YKRasterFilters.h"

namespace {

// Only the registry makes infos in this program, so their ids are those of a real start-up.
TEST(QuantizerRegistryTest, ThreeKindsInOrderWithIdsFromZero) {
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    ASSERT_EQ(filters, YKRasterFilters::Instantiate());
    ASSERT_EQ(filters->CountQuantizers(), 3);
    struct Expected {
        const char* name;
        uint32 flags;
        bool adaptative, fixed;
        const std::type_info& kind;
    };
    const Expected expected[3] = {
        {"Adaptive Reduction", 3, true, true, typeid(OctreeQuantizer)},
        {"Fixed Palette Reduction", 2, false, true, typeid(InverseQuantizer)},
        {"Neural Network", 1, true, false, typeid(NeuralNetQuantizer)},
    };
    for (int32 i = 0; i < 3; ++i) {
        const QuantizerInfo* info = filters->QuantizerInfoAt(i);
        ASSERT_NE(info, nullptr);
        EXPECT_STREQ(info->Name(), expected[i].name);
        EXPECT_EQ(info->Flags(), expected[i].flags);
        EXPECT_EQ(info->DoesAdaptative(), expected[i].adaptative);
        EXPECT_EQ(info->DoesFixed(), expected[i].fixed);
        EXPECT_EQ(info->Id(), i);
        EXPECT_EQ(filters->QuantizerInfoForId(i), info);
        const std::unique_ptr<Quantizer> quantizer = info->CreateQuantizer(16, 8, 8, 1);
        const Quantizer& made = *quantizer;
        EXPECT_EQ(typeid(made), expected[i].kind);
    }
    EXPECT_EQ(filters->QuantizerInfoAt(3), nullptr);
    EXPECT_EQ(filters->QuantizerInfoForId(3), nullptr);
    EXPECT_EQ(filters->QuantizerInfoForId(-1), nullptr);
}

}  // namespace
