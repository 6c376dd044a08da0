#include "YKRecordingTimelineSink.h"

void YKRecordingTimelineSink::Deliver(const YKMessage& message) {
    std::lock_guard<std::mutex> lock(mLock);
    mMessages.push_back(message);
}

std::vector<YKMessage> YKRecordingTimelineSink::Messages() const {
    std::lock_guard<std::mutex> lock(mLock);
    return mMessages;
}

std::vector<uint32> YKRecordingTimelineSink::Codes() const {
    std::lock_guard<std::mutex> lock(mLock);
    std::vector<uint32> codes;
    for (const YKMessage& message : mMessages) {
        codes.push_back(message.what);
    }
    return codes;
}

void YKRecordingTimelineSink::Clear() {
    std::lock_guard<std::mutex> lock(mLock);
    mMessages.clear();
}
