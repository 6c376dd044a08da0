#include "YKAlertPresenter.h"

#include <atomic>

#include "YKHeadlessAlertPresenter.h"

namespace {

std::atomic<YKAlertPresenter*> gInstalled{nullptr};

YKAlertPresenter* HeadlessDefault() {
    static YKHeadlessAlertPresenter presenter;
    return &presenter;
}

}  // namespace

YKAlertPresenter* YKAlertPresenter::Current() {
    YKAlertPresenter* installed = gInstalled.load();
    return installed != nullptr ? installed : HeadlessDefault();
}

void YKAlertPresenter::SetCurrent(YKAlertPresenter* presenter) {
    gInstalled.store(presenter);
}
