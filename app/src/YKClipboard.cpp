#include "YKClipboard.h"

#include <atomic>

#include "YKInProcessClipboard.h"

namespace {
std::atomic<YKClipboard*> gInstalled{nullptr};
}

YKClipboard* YKClipboard::Current() {
    static YKInProcessClipboard inProcess;
    YKClipboard* installed = gInstalled.load(std::memory_order_acquire);
    return installed != nullptr ? installed : &inProcess;
}

void YKClipboard::SetCurrent(YKClipboard* clipboard) {
    gInstalled.store(clipboard, std::memory_order_release);
}
