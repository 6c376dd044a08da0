#include <gtest/gtest.h>

#include <memory>

#include "YKRasterFilters.h"

namespace {

// Only the registry makes infos in this program, so their ids are those of a real start-up.
TEST(QuantizerRegistryTest, IdsCountFromZeroAndOthersFindNothing) {
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    ASSERT_EQ(filters, YKRasterFilters::Instantiate());
    ASSERT_EQ(filters->CountQuantizers(), 3);
    for (int32 i = 0; i < 3; ++i) {
        const QuantizerInfo* info = filters->QuantizerInfoAt(i);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->Id(), i);
        EXPECT_EQ(filters->QuantizerInfoForId(i), info);
        EXPECT_NE(info->CreateQuantizer(16, 8, 8, 1), nullptr);
    }
    EXPECT_EQ(filters->QuantizerInfoAt(3), nullptr);
    EXPECT_EQ(filters->QuantizerInfoForId(3), nullptr);
    EXPECT_EQ(filters->QuantizerInfoForId(-1), nullptr);
}

}  // namespace
