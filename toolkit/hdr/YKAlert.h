#pragma once

#include <string>
#include <vector>

#include "yk_types.h"

// A modal alert with a text and one to three buttons. How it is shown is up to the current
// YKAlertPresenter (a dialog in the desktop application, standard output when headless).
class YKAlert {
public:
    // Buttons are taken in order up to the first null label. `parentWindow` is an opaque
    // handle that a presenter may use to place the alert; the core never looks into it.
    YKAlert(const char* text, const char* button0, const char* button1 = nullptr,
            const char* button2 = nullptr, void* parentWindow = nullptr);

    const std::string& Text() const { return mText; }
    int32 CountButtons() const { return static_cast<int32>(mButtons.size()); }
    // The label of button `index`, or null out of range.
    const char* ButtonLabel(int32 index) const;
    void* Parent() const { return mParent; }

    // Shows the alert and returns the 0-based index of the button pressed. An alert without
    // buttons could never be dismissed, so showing one is a programming error.
    int32 Go() const;

private:
    std::string mText;
    std::vector<std::string> mButtons;
    void* mParent;
};
