#pragma once

// YKLooper: a named thread that handles queued messages one at a time, each delivered to a
// handler added to it. The loop holds the looper's lock while it handles one message, so other
// threads lock the looper to touch what its handlers own.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "YKLocker.h"
#include "YKMessage.h"
#include "YKThread.h"

class YKHandler;

class YKLooper {
public:
    explicit YKLooper(const char* name = nullptr);
    YKLooper(const YKLooper&) = delete;
    YKLooper& operator=(const YKLooper&) = delete;
    // Quits (handling what is queued) and detaches the handlers, which it does not own. Must
    // not run on the looper's own thread.
    virtual ~YKLooper();

    // Starts the thread; false when it was started before.
    bool Run();
    // Refuses new messages, lets the thread handle every queued one and waits for it. From the
    // looper's own thread it only asks the loop to end once the queue is drained. A looper that
    // never ran drops its queue.
    void Quit();
    bool IsRunning() const;

    // Queues a copy for `target`, or for the preferred handler when `target` is null. False
    // when the target is not a handler of this looper or the looper is quitting.
    bool PostMessage(const YKMessage& message, YKHandler* target = nullptr);
    // Delivers a copy to `target` (null: the preferred handler) and waits without time limit
    // until it has been handled; from the looper's own thread it is handled at once. Another
    // thread holding the looper's lock must not call it. `reply`,
    // when given, receives the message as the handler left it. False when the target is not a
    // handler of this looper, the looper is not running, or the handler left before its turn.
    bool SendMessage(const YKMessage& message, YKHandler* target, YKMessage* reply = nullptr);

    // A handler belongs to at most one looper at a time.
    void AddHandler(YKHandler* handler);
    // False when `handler` is not one of this looper's. Clears the preferred handler if it was.
    bool RemoveHandler(YKHandler* handler);
    // Whether `handler` was added to this looper (it is then "valid" for it).
    bool HasHandler(const YKHandler* handler) const;
    int32 CountHandlers() const;
    // `handler` must be null or one of this looper's handlers.
    void SetPreferredHandler(YKHandler* handler);
    YKHandler* PreferredHandler() const;

    bool Lock() { return mLocker.Lock(); }
    bool LockWithTimeout(bigtime_t microseconds) { return mLocker.LockWithTimeout(microseconds); }
    void Unlock() { mLocker.Unlock(); }
    bool IsLocked() const { return mLocker.IsLocked(); }

    const std::string& Name() const { return mName; }
    // Whether the caller runs on this looper's thread.
    bool IsLooperThread() const;

private:
    struct Waiter;
    struct Envelope {
        YKMessage message;
        YKHandler* target = nullptr;
        std::shared_ptr<Waiter> waiter;  // set for a synchronous send
    };

    bool Enqueue(Envelope envelope);
    void Loop();
    // Hands the message to its target under the looper's lock; false when the target has left.
    bool Dispatch(YKMessage* message, YKHandler* target);
    YKHandler* ResolveTarget(YKHandler* target) const;

    std::string mName;
    YKLocker mLocker;
    // Changes take mLocker, then mHandlerLock; readers take either. Posting thus never waits
    // for a message being handled, and no handler leaves while one is handled.
    mutable std::mutex mHandlerLock;
    std::vector<YKHandler*> mHandlers;
    YKHandler* mPreferred = nullptr;

    mutable std::mutex mQueueLock;
    std::condition_variable mQueueChanged;
    std::deque<Envelope> mQueue;  // guarded by mQueueLock
    bool mStarted = false;        // guarded by mQueueLock
    bool mQuitting = false;       // guarded by mQueueLock
    std::thread::id mThreadId;    // guarded by mQueueLock
    YKThread mThread;
};
