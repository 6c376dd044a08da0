#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "YKAlertPresenter.h"

// Shows alerts on standard output and answers them without a user: from a script of button
// indices when one is set, otherwise with the last button (by habit the cautious one, such as
// "Cancel"). Every alert shown is recorded so that tests can check what the user would have
// seen. Safe to use from several threads at once.
class YKHeadlessAlertPresenter : public YKAlertPresenter {
public:
    // What one alert showed and which button answered it.
    struct Record {
        std::string text;
        std::vector<std::string> buttons;
        int32 answer = 0;
    };

    int32 Present(const YKAlert& alert) override;

    // Replaces the script: the next alerts are answered with these indices in order. An index
    // outside the alert's buttons answers with its last button.
    void ScriptAnswers(std::vector<int32> answers);
    // Scripted answers not used yet.
    int32 CountScriptedAnswers() const;

    // The alerts shown so far, oldest first.
    std::vector<Record> Shown() const;
    void ClearShown();

private:
    mutable std::mutex mLock;
    std::deque<int32> mScript;
    std::vector<Record> mShown;
};
