#include "YKHeadlessAlertPresenter.h"

#include <cstdio>

#include "YKAlert.h"

int32 YKHeadlessAlertPresenter::Present(const YKAlert& alert) {
    Record record;
    record.text = alert.Text();
    for (int32 i = 0; i < alert.CountButtons(); ++i) {
        record.buttons.emplace_back(alert.ButtonLabel(i));
    }
    const int32 last = alert.CountButtons() - 1;

    // One lock over choosing, printing and recording keeps the script order, the printed lines
    // and the record list in step when alerts come from several threads.
    std::lock_guard<std::mutex> guard(mLock);
    int32 answer = last;
    if (!mScript.empty()) {
        answer = mScript.front();
        mScript.pop_front();
        if (answer < 0 || answer > last) {
            answer = last;
        }
    }
    record.answer = answer;

    std::printf("Alert: %s\n", record.text.c_str());
    for (std::size_t i = 0; i < record.buttons.size(); ++i) {
        std::printf("  [%zu] %s%s\n", i, record.buttons[i].c_str(),
                    static_cast<int32>(i) == answer ? "  <-" : "");
    }
    std::fflush(stdout);

    mShown.push_back(std::move(record));
    return answer;
}

void YKHeadlessAlertPresenter::ScriptAnswers(std::vector<int32> answers) {
    std::lock_guard<std::mutex> guard(mLock);
    mScript.assign(answers.begin(), answers.end());
}

int32 YKHeadlessAlertPresenter::CountScriptedAnswers() const {
    std::lock_guard<std::mutex> guard(mLock);
    return static_cast<int32>(mScript.size());
}

std::vector<YKHeadlessAlertPresenter::Record> YKHeadlessAlertPresenter::Shown() const {
    std::lock_guard<std::mutex> guard(mLock);
    return mShown;
}

void YKHeadlessAlertPresenter::ClearShown() {
    std::lock_guard<std::mutex> guard(mLock);
    mShown.clear();
}
