#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// A named thread that runs one body once. Destroying it waits for the body to finish, so a
// body must not outlive what it uses by accident.
class YKThread {
public:
    YKThread(const char* name, std::function<void()> body);
    YKThread(const YKThread&) = delete;
    YKThread& operator=(const YKThread&) = delete;
    ~YKThread();

    // Starts the body; false when it was started before or the thread cannot be created.
    bool Run();
    // Waits until the body has returned; returns at once when it never ran. The body itself
    // must not call it.
    void Wait();
    // Whether the body has been started and has not returned yet.
    bool IsRunning() const { return mRunning.load(); }
    const std::string& Name() const { return mName; }

private:
    std::string mName;
    std::function<void()> mBody;
    std::thread mThread;
    std::mutex mJoinLock;
    std::atomic<bool> mStarted{false};
    std::atomic<bool> mRunning{false};
};
