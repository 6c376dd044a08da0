#pragma once

#include <mutex>
#include <vector>

#include "YKMessage.h"
#include "YKTimelineSink.h"

// A timeline stand-in that keeps every message it is given, for the tests.
class YKRecordingTimelineSink : public YKTimelineSink {
public:
    void Deliver(const YKMessage& message) override;

    std::vector<YKMessage> Messages() const;
    // The what codes received, oldest first.
    std::vector<uint32> Codes() const;
    void Clear();

private:
    mutable std::mutex mLock;
    std::vector<YKMessage> mMessages;
};
