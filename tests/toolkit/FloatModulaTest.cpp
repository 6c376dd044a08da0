#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "YK_FloatModula.h"

// Halves away from zero; steps that are not positive finite numbers leave the value alone.
TEST(FloatModulaTest, SnapsToNearestMultiple) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const double cases[][3] = {{7.3, 0.5, 7.5},  {7.2, 0.5, 7.0},        {-7.3, 0.5, -7.5},
                               {0.25, 0.5, 0.5}, {-0.25, 0.5, -0.5},     {12.5, 5.0, 15.0},
                               {3.0, 0.0, 3.0},  {3.0, -2.0, 3.0},       {3.0, kInf, 3.0},
                               {3.0, kNaN, 3.0}, {1e308, 1e-308, 1e308}, {kInf, 2.0, kInf}};
    for (const auto& [value, step, expected] : cases) {
        EXPECT_DOUBLE_EQ(YK_FloatModula(value, step), expected) << value << " by " << step;
    }
    EXPECT_TRUE(std::isnan(YK_FloatModula(kNaN, 1.0)));
}
