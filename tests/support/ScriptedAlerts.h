#pragma once

#include <string>
#include <vector>

#include "YKHeadlessAlertPresenter.h"

// The headless alert presenter, current for as long as the object lives: tests script its
// answers (ScriptAnswers) and read what the user would have seen.
class ScriptedAlerts : public YKHeadlessAlertPresenter {
public:
    ScriptedAlerts();
    ~ScriptedAlerts() override;

    // The texts of the alerts shown so far, oldest first.
    std::vector<std::string> Texts() const;
};
