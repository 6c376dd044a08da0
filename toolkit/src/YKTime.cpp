#include "YKTime.h"

#include <chrono>
#include <thread>

bigtime_t yk_system_time() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::microseconds>(now).count();
}

void yk_snooze(bigtime_t microseconds) {
    if (microseconds > 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
    }
}
