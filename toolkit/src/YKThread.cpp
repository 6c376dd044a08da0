#include "YKThread.h"

#include <pthread.h>

#include <system_error>

namespace {

// Linux keeps at most 15 characters of a thread name (16 with the terminator).
constexpr std::size_t kMaxOsNameLength = 15;

}  // namespace

YKThread::YKThread(const char* name, std::function<void()> body)
    : mName(name != nullptr ? name : ""), mBody(std::move(body)) {}

YKThread::~YKThread() {
    Wait();
}

bool YKThread::Run() {
    if (!mBody || mStarted.exchange(true)) {
        return false;
    }
    // Set before the thread exists so that IsRunning() is true as soon as Run() returns.
    mRunning.store(true);
    std::lock_guard<std::mutex> guard(mJoinLock);
    try {
        mThread = std::thread([this] {
            const std::string osName = mName.substr(0, kMaxOsNameLength);
            pthread_setname_np(pthread_self(), osName.c_str());
            mBody();
            mRunning.store(false);
        });
    } catch (const std::system_error&) {
        mRunning.store(false);
        return false;
    }
    return true;
}

void YKThread::Wait() {
    // Run() and any number of waiters may meet here; only one at a time may touch mThread.
    std::lock_guard<std::mutex> guard(mJoinLock);
    if (mThread.joinable()) {
        mThread.join();
    }
}
