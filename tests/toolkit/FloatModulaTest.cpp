#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "YK_FloatModula.h"

namespace {

struct ModulaCase {
    double value, step, expected;
};
class FloatModulaTest : public ::testing::TestWithParam<ModulaCase> {};
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST_P(FloatModulaTest, SnapsToNearestMultiple) {
    const ModulaCase c = GetParam();
    EXPECT_DOUBLE_EQ(YK_FloatModula(c.value, c.step), c.expected) << c.value << " by " << c.step;
}

// Halves away from zero; steps that are not positive finite numbers leave the value alone.
INSTANTIATE_TEST_SUITE_P(Cases, FloatModulaTest,
                         ::testing::Values(ModulaCase{7.3, 0.5, 7.5}, ModulaCase{7.2, 0.5, 7.0},
                                           ModulaCase{-7.3, 0.5, -7.5}, ModulaCase{0.25, 0.5, 0.5},
                                           ModulaCase{-0.25, 0.5, -0.5},
                                           ModulaCase{12.5, 5.0, 15.0}, ModulaCase{3.0, 0.0, 3.0},
                                           ModulaCase{3.0, -2.0, 3.0}, ModulaCase{3.0, kInf, 3.0},
                                           ModulaCase{3.0, kNaN, 3.0},
                                           ModulaCase{1e308, 1e-308, 1e308},
                                           ModulaCase{kInf, 2.0, kInf}));

TEST(FloatModulaNaNTest, NotANumberStaysSo) {
    EXPECT_TRUE(std::isnan(YK_FloatModula(kNaN, 1.0)));
}
