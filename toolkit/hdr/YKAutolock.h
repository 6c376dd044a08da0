#pragma once

#include "YKLocker.h"

// Holds a YKLocker for the lifetime of a scope. A null locker is accepted and never locked, so
// optional locks (a list without a locker) need no special case at the call site.
class YKAutolock {
public:
    explicit YKAutolock(YKLocker* locker) : mLocker(locker) {
        if (mLocker != nullptr) {
            mLocked = mLocker->Lock();
        }
    }
    explicit YKAutolock(YKLocker& locker) : YKAutolock(&locker) {}
    YKAutolock(const YKAutolock&) = delete;
    YKAutolock& operator=(const YKAutolock&) = delete;
    ~YKAutolock() { Unlock(); }

    // Whether this guard holds its locker (false for a null locker or after Unlock()).
    bool IsLocked() const { return mLocked; }

    // Releases early; the destructor then does nothing.
    void Unlock() {
        if (mLocked) {
            mLocked = false;
            mLocker->Unlock();
        }
    }

private:
    YKLocker* mLocker;
    bool mLocked = false;
};
