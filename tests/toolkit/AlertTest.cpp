#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "ScriptedAlerts.h"
#include "YKAlert.h"
#include "YKHeadlessAlertPresenter.h"

namespace {

class AlertTest : public ::testing::Test {
protected:
    ScriptedAlerts mPresenter;
};

}  // namespace

TEST_F(AlertTest, ScriptedAnswersThenLastButton) {
    mPresenter.ScriptAnswers({1, 7, -1});
    const YKAlert alert("Replace?", "Replace", "Keep", "Cancel");
    testing::internal::CaptureStdout();
    EXPECT_EQ(alert.Go(), 1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Replace?"), std::string::npos);
    EXPECT_EQ(alert.Go(), 2);  // answers outside the buttons mean the last one
    EXPECT_EQ(alert.Go(), 2);
    EXPECT_EQ(YKAlert("Done", "OK", nullptr, "Ignored").Go(), 0);
    EXPECT_EQ(alert.Go(), 2);
    const auto shown = mPresenter.Shown();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].buttons, (std::vector<std::string>{"Replace", "Keep", "Cancel"}));
    EXPECT_EQ(shown[3].text, "Done");
    EXPECT_EQ(shown[3].buttons, std::vector<std::string>{"OK"});
}

TEST_F(AlertTest, AlertsFromManyThreadsConsumeTheScriptInOrder) {
    std::vector<int32> script(200);
    std::generate(script.begin(), script.end(), [n = 0]() mutable { return n++ % 3; });
    mPresenter.ScriptAnswers(script);
    std::vector<std::thread> threads;
    testing::internal::CaptureStdout();  // 200 alerts' worth of lines
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 50; ++i) {
                YKAlert("Busy", "A", "B", "C").Go();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    testing::internal::GetCapturedStdout();
    std::vector<int32> answers;
    for (const auto& record : mPresenter.Shown()) {
        answers.push_back(record.answer);
    }
    EXPECT_EQ(answers, script);
}

TEST(AlertDeathTest, AlertWithoutButtonsIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(YKAlert("Stuck", nullptr).Go(), "CountButtons\\(\\) > 0");
}
