#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <future>

#include "YKThread.h"
#include "YKTime.h"

TEST(ThreadTest, RunsBodyOnceUnderItsOsName) {
    std::atomic<int> runs{0};
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    char osName[32] = {};
    YKThread thread("gravik-playback-thread", [&] {
        pthread_getname_np(pthread_self(), osName, sizeof osName);
        ++runs;
        released.wait();
    });
    EXPECT_TRUE(thread.Run());
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_FALSE(thread.Run());
    release.set_value();
    thread.Wait();
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(runs.load(), 1);
    EXPECT_STREQ(osName, "gravik-playback");  // the OS keeps 15 characters
}

TEST(ThreadTest, DestructorWaitsAndSnoozeSleeps) {
    std::atomic<bool> finished{false};
    const bigtime_t start = yk_system_time();
    {
        YKThread thread("slow", [&] {
            yk_snooze(20000);
            finished = true;
        });
        thread.Run();
    }
    EXPECT_TRUE(finished.load());
    EXPECT_GE(yk_system_time() - start, 20000);
    YKThread("idle", [] {}).Wait();
    EXPECT_FALSE(YKThread("empty", nullptr).Run());
}
