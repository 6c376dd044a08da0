#include "YKTimelineSink.h"

#include <atomic>

namespace {
std::atomic<YKTimelineSink*> gCurrent{nullptr};
}

YKTimelineSink* YKTimelineSink::Current() {
    return gCurrent.load(std::memory_order_acquire);
}

void YKTimelineSink::SetCurrent(YKTimelineSink* sink) {
    gCurrent.store(sink, std::memory_order_release);
}
