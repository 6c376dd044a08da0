#pragma once

// YKExportRun: one export (or a list of them, for the wizard) on a thread of its own, so that
// the window or the terminal that asked for it stays responsive. The writer's steps reach the
// listener on the export's thread; Cancel() from any thread stops the writer at its next step.
// A cancelled or failed export leaves no file of its own behind and no earlier file damaged.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "yk_types.h"

class YKRasterIOView;

class YKExportRun {
public:
    struct Event {
        int32 exportIndex;  // which of the views
        int32 step;         // from 1
        int32 stepCount;
        std::string text;  // the writer's step text, or its final "Done !"/"Error while writing !"
    };
    using Listener = std::function<void(const Event&)>;

    // The views are exported in order; they must outlive the run.
    YKExportRun(std::vector<YKRasterIOView*> views, Listener listener);
    // Cancels and waits.
    ~YKExportRun();
    YKExportRun(const YKExportRun&) = delete;
    YKExportRun& operator=(const YKExportRun&) = delete;

    void Start();
    void Cancel() { mCancelled = true; }
    bool Cancelled() const { return mCancelled; }
    // Waits for the end; true when every export was written.
    bool Wait();
    bool Finished() const { return mFinished; }

    // After Wait(): every file written, and the first error ("" when none).
    const std::vector<std::string>& Written() const { return mWritten; }
    const std::string& Error() const { return mError; }

private:
    void Run();

    std::vector<YKRasterIOView*> mViews;
    Listener mListener;
    std::thread mThread;
    std::atomic<bool> mCancelled{false};
    std::atomic<bool> mFinished{false};
    bool mSucceeded = false;
    std::vector<std::string> mWritten;
    std::string mError;
};
