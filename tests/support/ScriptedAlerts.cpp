#include "ScriptedAlerts.h"

ScriptedAlerts::ScriptedAlerts() {
    YKAlertPresenter::SetCurrent(this);
}

ScriptedAlerts::~ScriptedAlerts() {
    YKAlertPresenter::SetCurrent(nullptr);
}

std::vector<std::string> ScriptedAlerts::Texts() const {
    std::vector<std::string> texts;
    for (const Record& record : Shown()) {
        texts.push_back(record.text);
    }
    return texts;
}
