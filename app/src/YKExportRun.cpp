// Exports on a thread of their own.

#include "YKExportRun.h"

#include "YKRasterIOView.h"
#include "YKRasterProgress.h"

namespace {

// One view's writer reporting to the run's listener; a cancel of the run reaches the writer at
// its next step.
class RunProgress : public YKRasterProgress {
public:
    RunProgress(int32 index, const YKExportRun::Listener& listener,
                const std::atomic<bool>& cancelled)
        : mIndex(index), mListener(listener), mCancelled(cancelled) {}

    void SetStepCount(int32 count) override { mCount = count; }
    bool IsCancelled() override { return mCancelled; }
    void ShowStep(int32 step, const char* text) override {
        mStep = step;
        Tell(text);
    }
    void ShowResult(const char* text) override { Tell(text); }
    void Finish() override {}

private:
    void Tell(const char* text) {
        if (mListener) {
            mListener({mIndex, mStep, mCount, text != nullptr ? text : ""});
        }
    }

    int32 mIndex;
    const YKExportRun::Listener& mListener;
    const std::atomic<bool>& mCancelled;
    int32 mCount = 0;
    int32 mStep = 0;
};

}  // namespace

YKExportRun::YKExportRun(std::vector<YKRasterIOView*> views, Listener listener)
    : mViews(std::move(views)), mListener(std::move(listener)) {}

YKExportRun::~YKExportRun() {
    Cancel();
    Wait();
}

void YKExportRun::Start() {
    if (!mThread.joinable() && !mFinished) {
        mThread = std::thread([this] { Run(); });
    }
}

bool YKExportRun::Wait() {
    if (mThread.joinable()) {
        mThread.join();
    }
    return mFinished && mSucceeded;
}

void YKExportRun::Run() {
    bool succeeded = true;
    for (std::size_t i = 0; i < mViews.size() && succeeded; ++i) {
        if (mCancelled) {
            mError = "cancelled";
            succeeded = false;
            break;
        }
        RunProgress progress(static_cast<int32>(i), mListener, mCancelled);
        std::string error;
        if (!mViews[i]->Export(&progress, &mWritten, &error)) {
            mError = !error.empty() ? error
                     : mCancelled   ? "cancelled"
                                    : "cannot write " + mViews[i]->FileName();
            succeeded = false;
        }
    }
    mSucceeded = succeeded;
    mFinished = true;
}
