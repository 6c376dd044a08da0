#pragma once

// YKHandler: a receiver of messages. A handler added to a YKLooper gets the messages aimed at it
// on that looper's thread.

#include <atomic>
#include <string>

#include "YKMessage.h"

class YKLooper;

class YKHandler {
public:
    explicit YKHandler(const char* name = nullptr);
    YKHandler(const YKHandler&) = delete;
    YKHandler& operator=(const YKHandler&) = delete;
    // Leaves its looper. A handler whose looper runs should be removed before its derived
    // parts are destroyed, or a message may reach it half destroyed.
    virtual ~YKHandler();

    // Called on the looper's thread with the looper locked. The message belongs to the caller;
    // for a synchronous send, what the handler leaves in it is the sender's reply.
    virtual void MessageReceived(YKMessage* message);

    // The looper this handler was added to, or null.
    YKLooper* Looper() const { return mLooper.load(); }
    const std::string& Name() const { return mName; }

private:
    friend class YKLooper;

    std::string mName;
    std::atomic<YKLooper*> mLooper{nullptr};
};
