#include "YKSizeUpdateThread.h"

#include <charconv>
#include <utility>

#include "YKDocTemplates.h"

namespace {

// A whole decimal int32 with optional spaces around it; false for anything else.
bool ParseSide(const std::string& text, int32* value) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return false;
    }
    const size_t last = text.find_last_not_of(' ');
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    const auto [stop, error] = std::from_chars(begin, end, *value);
    return error == std::errc() && stop == end;
}

}  // namespace

YKSizeUpdateThread::YKSizeUpdateThread(Report report)
    : mReport(std::move(report)), mThread("size update", [this] { Run(); }) {
    mThread.Run();
}

YKSizeUpdateThread::~YKSizeUpdateThread() {
    Stop();
}

uint64_t YKSizeUpdateThread::Submit(const std::string& width, const std::string& height) {
    uint64_t serial = 0;
    {
        std::lock_guard<std::mutex> lock(mLock);
        mWidth = width;
        mHeight = height;
        serial = ++mSerial;
    }
    mWake.notify_one();
    return serial;
}

void YKSizeUpdateThread::Stop() {
    {
        std::lock_guard<std::mutex> lock(mLock);
        mStopping = true;
    }
    mWake.notify_one();
    mThread.Wait();
}

void YKSizeUpdateThread::Run() {
    std::unique_lock<std::mutex> lock(mLock);
    for (;;) {
        mWake.wait(lock, [this] { return mStopping || mChecked != mSerial; });
        if (mStopping) {
            return;
        }
        const std::string width = mWidth;
        const std::string height = mHeight;
        const uint64_t serial = mChecked = mSerial;
        lock.unlock();
        Verdict verdict = Check(width, height);
        verdict.serial = serial;
        mReport(verdict);
        lock.lock();
    }
}

YKSizeUpdateThread::Verdict YKSizeUpdateThread::Check(const std::string& width,
                                                      const std::string& height) {
    Verdict verdict;
    if (!ParseSide(width, &verdict.width)) {
        verdict.text = "The width is not a whole number.";
        return verdict;
    }
    if (!ParseSide(height, &verdict.height)) {
        verdict.text = "The height is not a whole number.";
        return verdict;
    }
    verdict.text = YKDocTemplates::Problem({"size", verdict.width, verdict.height});
    if (!verdict.text.empty()) {
        return verdict;
    }
    verdict.ok = true;
    const int64_t bytes = int64_t{verdict.width} * verdict.height * 4;
    verdict.text = std::to_string(verdict.width) + " \u00d7 " + std::to_string(verdict.height) +
                   " pixels, " + std::to_string((bytes + 1023) / 1024) + " KiB";
    return verdict;
}
