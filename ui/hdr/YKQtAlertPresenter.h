#pragma once

// YKQtAlertPresenter: shows alerts as message boxes of the application's GUI thread, whichever
// thread asks; the asking thread waits for the answer.

#include "YKAlertPresenter.h"

class YKQtAlertPresenter : public YKAlertPresenter {
public:
    // The index of the button clicked; the last button when the box was closed otherwise.
    int32 Present(const YKAlert& alert) override;
};
