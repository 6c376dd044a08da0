#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

#include "YKAutolock.h"
#include "YKLocker.h"
#include "YKTime.h"

namespace {

// Whether another thread could take the lock right now (it gives it back at once).
bool FreeForOthers(YKLocker& locker) {
    return std::async(std::launch::async,
                      [&] {
                          EXPECT_FALSE(locker.IsLocked());
                          const bool taken = locker.LockWithTimeout(0);
                          if (taken) {
                              locker.Unlock();
                          }
                          return taken;
                      })
        .get();
}

}  // namespace

TEST(LockerTest, RecursionAndTimeoutAgainstAnotherHolder) {
    YKLocker locker;
    EXPECT_TRUE(locker.Lock());
    EXPECT_TRUE(locker.LockWithTimeout(0));
    EXPECT_EQ(locker.CountLocks(), 2);
    locker.Unlock();
    EXPECT_FALSE(FreeForOthers(locker));
    locker.Unlock();
    EXPECT_FALSE(locker.IsLocked());
    EXPECT_TRUE(FreeForOthers(locker));

    std::promise<void> held, release;
    std::thread holder([&] {
        YKAutolock guard(locker);
        held.set_value();
        release.get_future().wait();
        yk_snooze(20000);
    });
    held.get_future().wait();
    const bigtime_t start = yk_system_time();
    EXPECT_FALSE(locker.LockWithTimeout(30000));
    EXPECT_GE(yk_system_time() - start, 30000);
    release.set_value();
    EXPECT_TRUE(locker.LockWithTimeout(5000000));  // released during the wait
    EXPECT_EQ(locker.CountLocks(), 1);
    locker.Unlock();
    holder.join();
}

TEST(LockerTest, NestedGuardsExcludeOtherThreads) {
    YKLocker locker;
    int counter = 0;  // deliberately not atomic: only the lock protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                YKAutolock outer(locker), inner(&locker), none(nullptr);
                ++counter;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 20000);
    EXPECT_TRUE(FreeForOthers(locker));
}

TEST(LockerDeathTest, UnlockWithoutHoldingIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    YKLocker locker;
    EXPECT_DEATH(locker.Unlock(), "toolkit/src/YKLocker:[0-9]+: assertion failed: mOwner");
}
