#include "YKLocker.h"

#include <chrono>

#include "YKDebug.h"

YKLocker::YKLocker(const char* name) : mName(name != nullptr ? name : "") {}

YKLocker::~YKLocker() = default;

bool YKLocker::Lock() {
    mMutex.lock();
    Acquired();
    return true;
}

bool YKLocker::LockWithTimeout(bigtime_t microseconds) {
    const bool taken = microseconds <= 0
                           ? mMutex.try_lock()
                           : mMutex.try_lock_for(std::chrono::microseconds(microseconds));
    if (taken) {
        Acquired();
    }
    return taken;
}

void YKLocker::Unlock() {
    YK_ASSERT(mOwner.load() == std::this_thread::get_id());
    YK_ASSERT(mCount > 0);
    // The owner is cleared before the mutex is released so that no other thread can take the
    // lock while this one still appears as the holder.
    if (--mCount == 0) {
        mOwner.store(std::thread::id());
    }
    mMutex.unlock();
}

bool YKLocker::IsLocked() const {
    return mOwner.load() == std::this_thread::get_id();
}

int32 YKLocker::CountLocks() const {
    return IsLocked() ? mCount : 0;
}

// Called with the mutex held: only the holder touches the count.
void YKLocker::Acquired() {
    if (mCount++ == 0) {
        mOwner.store(std::this_thread::get_id());
    }
}
