#pragma once

#include "yk_types.h"

class YKAlert;

// Shows alerts for YKAlert::Go(). One presenter is current for the whole process; the desktop
// application installs a dialog-based one, everything else uses the headless presenter.
class YKAlertPresenter {
public:
    virtual ~YKAlertPresenter() = default;

    // Shows `alert` until the user picks a button; returns its index in
    // [0, alert.CountButtons()). May be called from any thread.
    virtual int32 Present(const YKAlert& alert) = 0;

    // The presenter in use: the one installed last, or the process's headless presenter.
    static YKAlertPresenter* Current();
    // Installs `presenter` (not owned; it must outlive every alert shown through it).
    // Null goes back to the headless presenter.
    static void SetCurrent(YKAlertPresenter* presenter);
};
