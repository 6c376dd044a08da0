#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "yk_types.h"

// A recursive lock: the thread holding it may take it again and releases it after as many
// Unlock() calls.
class YKLocker {
public:
    explicit YKLocker(const char* name = nullptr);
    YKLocker(const YKLocker&) = delete;
    YKLocker& operator=(const YKLocker&) = delete;
    ~YKLocker();

    // Waits for the lock; always true.
    bool Lock();
    // Waits at most `microseconds` (0 only tries); returns whether the lock was taken.
    bool LockWithTimeout(bigtime_t microseconds);
    void Unlock();

    // Whether the calling thread holds the lock.
    bool IsLocked() const;
    // How many times the holder has taken it (0 when free); meaningful to the holder.
    int32 CountLocks() const;
    const char* Name() const { return mName; }

private:
    void Acquired();

    const char* mName;
    std::recursive_timed_mutex mMutex;
    std::atomic<std::thread::id> mOwner{};
    int32 mCount = 0;
};
