#pragma once

// Starts the application the way the window tests need it: its alerts go to the test's presenter
// and no test ever waits on a save panel (a document that would ask for a path stays unsaved).

#include <string>

#include "YKAlertPresenter.h"
#include "YKDispatcher.h"
#include "YKGravik.h"

inline void StartForTest(YKGravik& gravik, YKAlertPresenter* alerts) {
    gravik.Start({});
    // After start-up, which installs the application's own message boxes.
    YKAlertPresenter::SetCurrent(alerts);
    gravik.Dispatcher().SetSavePathChooser(
        [](YKDocument*, const std::string&) { return std::string(); });
}
