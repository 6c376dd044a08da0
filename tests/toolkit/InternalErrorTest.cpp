#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedAlerts.h"
#include "YKInternalError.h"

namespace {

std::vector<int> gExits;

class InternalErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        YKInternalError::SetExitFunction([](int status) { gExits.push_back(status); });
        gExits.clear();
        testing::internal::CaptureStdout();
    }
    void TearDown() override {
        testing::internal::GetCapturedStdout();
        YKInternalError::SetExitFunction(nullptr);
    }
    ScriptedAlerts mPresenter;
};

}  // namespace

TEST_F(InternalErrorTest, OnlyTheFatalCodesOfferExitAndEndTheProgram) {
    for (int32 code : {100, 101, 102}) {
        YKInternalError::Show(code);
    }
    const auto shown = mPresenter.Shown();
    ASSERT_EQ(shown.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const std::string first = "Internal error: " + std::to_string(100 + i) + ".\n";
        EXPECT_EQ(shown[i].text.rfind(first, 0), 0u) << shown[i].text;
        EXPECT_GT(shown[i].text.size(), first.size());  // the support line
        EXPECT_EQ(shown[i].buttons, std::vector<std::string>{i == 0 ? "OK" : "Exit"});
    }
    EXPECT_EQ(gExits, (std::vector<int>{1, 1}));
}

TEST(InternalErrorDeathTest, FatalCodeExitsWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    YKInternalError::SetExitFunction(nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EXIT(YKInternalError::Show(101), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(YKInternalError::Show(102), ::testing::ExitedWithCode(1), "");
    testing::internal::GetCapturedStdout();
}
