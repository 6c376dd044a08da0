#include "YKAlert.h"

#include "YKAlertPresenter.h"
#include "YKDebug.h"

YKAlert::YKAlert(const char* text, const char* button0, const char* button1, const char* button2,
                 void* parentWindow)
    : mText(text != nullptr ? text : ""), mParent(parentWindow) {
    for (const char* label : {button0, button1, button2}) {
        if (label == nullptr) {
            break;
        }
        mButtons.emplace_back(label);
    }
}

const char* YKAlert::ButtonLabel(int32 index) const {
    if (index < 0 || index >= CountButtons()) {
        return nullptr;
    }
    return mButtons[static_cast<std::size_t>(index)].c_str();
}

int32 YKAlert::Go() const {
    YK_ASSERT(CountButtons() > 0);
    return YKAlertPresenter::Current()->Present(*this);
}
