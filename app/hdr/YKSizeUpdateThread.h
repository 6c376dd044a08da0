#pragma once

// YKSizeUpdateThread: the new-document dialog's "size update" thread. The dialog hands it the
// width and height texts as they are typed; the thread reads them, checks the size a document
// would get and reports a line to show under the fields, so that typing never waits on it.
// Texts handed in while it works are merged: only the latest pair is checked.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "YKThread.h"
#include "yk_types.h"

class YKSizeUpdateThread {
public:
    struct Verdict {
        bool ok = false;
        int32 width = 0;
        int32 height = 0;
        // "468 × 60 pixels, 110 KiB" or why the size is refused.
        std::string text;
        // The Submit() this answers, counting from 1.
        uint64_t serial = 0;
    };
    using Report = std::function<void(const Verdict&)>;

    // `report` is called on the thread, never while a Submit() waits.
    explicit YKSizeUpdateThread(Report report);
    YKSizeUpdateThread(const YKSizeUpdateThread&) = delete;
    YKSizeUpdateThread& operator=(const YKSizeUpdateThread&) = delete;
    // Stops the thread.
    ~YKSizeUpdateThread();

    // Hands in new texts; returns their serial.
    uint64_t Submit(const std::string& width, const std::string& height);
    // Ends the thread after the report under way, if any; later submissions are dropped.
    void Stop();

    // What the thread reports for these texts: decimal numbers (spaces around them allowed)
    // that give a canvas the rasters can hold.
    static Verdict Check(const std::string& width, const std::string& height);

private:
    void Run();

    Report mReport;
    std::mutex mLock;
    std::condition_variable mWake;
    std::string mWidth;      // guarded by mLock
    std::string mHeight;     // guarded by mLock
    uint64_t mSerial = 0;    // guarded by mLock
    uint64_t mChecked = 0;   // guarded by mLock
    bool mStopping = false;  // guarded by mLock
    YKThread mThread;
};
