#include "YKLooper.h"

#include <algorithm>

#include "YKAutolock.h"
#include "YKDebug.h"
#include "YKHandler.h"

// What a synchronous sender waits on. Shared, so the loop may finish it whatever the sender does.
struct YKLooper::Waiter {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    bool delivered = false;
    YKMessage reply;
};

YKLooper::YKLooper(const char* name)
    : mName(name != nullptr ? name : "looper"),
      mLocker(mName.c_str()),
      mThread(mName.c_str(), [this] { Loop(); }) {}

YKLooper::~YKLooper() {
    YK_ASSERT(!IsLooperThread());
    Quit();
    YKAutolock guard(mLocker);
    std::lock_guard<std::mutex> handlers(mHandlerLock);
    for (YKHandler* handler : mHandlers) {
        handler->mLooper = nullptr;
    }
    mHandlers.clear();
    mPreferred = nullptr;
}

// --- Running ---

bool YKLooper::Run() {
    // The new thread's first step takes the queue lock, so it sees mStarted settled.
    std::lock_guard<std::mutex> queue(mQueueLock);
    if (mStarted || mQuitting) {
        return false;
    }
    mStarted = mThread.Run();
    return mStarted;
}

void YKLooper::Quit() {
    bool join = false;
    {
        std::lock_guard<std::mutex> queue(mQueueLock);
        mQuitting = true;
        if (!mStarted) {
            mQueue.clear();
        }
        join = mStarted && mThreadId != std::this_thread::get_id();
    }
    mQueueChanged.notify_all();
    if (join) {
        mThread.Wait();
    }
}

bool YKLooper::IsRunning() const {
    return mThread.IsRunning();
}

bool YKLooper::IsLooperThread() const {
    std::lock_guard<std::mutex> queue(mQueueLock);
    return mStarted && mThreadId == std::this_thread::get_id();
}

void YKLooper::Loop() {
    {
        std::lock_guard<std::mutex> queue(mQueueLock);
        mThreadId = std::this_thread::get_id();
    }
    for (;;) {
        Envelope envelope;
        {
            std::unique_lock<std::mutex> queue(mQueueLock);
            mQueueChanged.wait(queue, [this] { return !mQueue.empty() || mQuitting; });
            if (mQueue.empty()) {
                return;  // quitting, and everything queued before has been handled
            }
            envelope = std::move(mQueue.front());
            mQueue.pop_front();
        }
        const bool delivered = Dispatch(&envelope.message, envelope.target);
        if (Waiter* waiter = envelope.waiter.get()) {
            std::lock_guard<std::mutex> guard(waiter->lock);
            waiter->delivered = delivered;
            waiter->reply = std::move(envelope.message);
            waiter->finished = true;
            waiter->done.notify_one();
        }
    }
}

bool YKLooper::Dispatch(YKMessage* message, YKHandler* target) {
    YKAutolock guard(mLocker);
    // The handler may have left, even been destroyed, since the message was queued.
    if (!HasHandler(target)) {
        return false;
    }
    target->MessageReceived(message);
    return true;
}

// --- Messages ---

YKHandler* YKLooper::ResolveTarget(YKHandler* target) const {
    std::lock_guard<std::mutex> handlers(mHandlerLock);
    if (target == nullptr) {
        return mPreferred;
    }
    return std::find(mHandlers.begin(), mHandlers.end(), target) != mHandlers.end() ? target
                                                                                    : nullptr;
}

bool YKLooper::Enqueue(Envelope envelope) {
    {
        std::lock_guard<std::mutex> queue(mQueueLock);
        // Nobody would ever answer a synchronous sender before Run().
        if (mQuitting || (envelope.waiter && !mStarted)) {
            return false;
        }
        mQueue.push_back(std::move(envelope));
    }
    mQueueChanged.notify_one();
    return true;
}

bool YKLooper::PostMessage(const YKMessage& message, YKHandler* target) {
    YKHandler* handler = ResolveTarget(target);
    return handler != nullptr && Enqueue(Envelope{message, handler, nullptr});
}

bool YKLooper::SendMessage(const YKMessage& message, YKHandler* target, YKMessage* reply) {
    YKHandler* handler = ResolveTarget(target);
    if (handler == nullptr) {
        return false;
    }
    if (IsLooperThread()) {
        // Queuing would wait for this very thread.
        YKMessage copy(message);
        if (!Dispatch(&copy, handler)) {
            return false;
        }
        if (reply != nullptr) {
            *reply = std::move(copy);
        }
        return true;
    }
    auto waiter = std::make_shared<Waiter>();
    if (!Enqueue(Envelope{message, handler, waiter})) {
        return false;
    }
    std::unique_lock<std::mutex> guard(waiter->lock);
    waiter->done.wait(guard, [&] { return waiter->finished; });
    if (waiter->delivered && reply != nullptr) {
        *reply = std::move(waiter->reply);
    }
    return waiter->delivered;
}

// --- Handlers ---

void YKLooper::AddHandler(YKHandler* handler) {
    YK_ASSERT(handler != nullptr);
    YKAutolock guard(mLocker);
    YKLooper* owner = handler->mLooper.load();
    if (owner == this) {
        return;
    }
    YK_ASSERT(owner == nullptr);
    std::lock_guard<std::mutex> handlers(mHandlerLock);
    mHandlers.push_back(handler);
    handler->mLooper = this;
}

bool YKLooper::RemoveHandler(YKHandler* handler) {
    YKAutolock guard(mLocker);
    std::lock_guard<std::mutex> handlers(mHandlerLock);
    auto found = std::find(mHandlers.begin(), mHandlers.end(), handler);
    if (found == mHandlers.end()) {
        return false;
    }
    mHandlers.erase(found);
    if (mPreferred == handler) {
        mPreferred = nullptr;
    }
    handler->mLooper = nullptr;
    return true;
}

bool YKLooper::HasHandler(const YKHandler* handler) const {
    std::lock_guard<std::mutex> handlers(mHandlerLock);
    return handler != nullptr &&
           std::find(mHandlers.begin(), mHandlers.end(), handler) != mHandlers.end();
}

int32 YKLooper::CountHandlers() const {
    std::lock_guard<std::mutex> handlers(mHandlerLock);
    return static_cast<int32>(mHandlers.size());
}

void YKLooper::SetPreferredHandler(YKHandler* handler) {
    YKAutolock guard(mLocker);
    std::lock_guard<std::mutex> handlers(mHandlerLock);
    YK_ASSERT(handler == nullptr ||
              std::find(mHandlers.begin(), mHandlers.end(), handler) != mHandlers.end());
    mPreferred = handler;
}

YKHandler* YKLooper::PreferredHandler() const {
    std::lock_guard<std::mutex> handlers(mHandlerLock);
    return mPreferred;
}
