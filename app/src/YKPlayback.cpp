#include "YKPlayback.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKPlaybackListener.h"
#include "YKThread.h"
#include "YKTime.h"
#include "YKViewerLayer.h"

namespace {

// A stopping caller looks at the playing flag at least this often.
constexpr auto kStopPoll = std::chrono::microseconds(100000);
// How much of a wait between frames is spent awake rather than asleep.
constexpr auto kAwakeWait = std::chrono::microseconds(1000);
// Durations come from files: a day is the longest wait a frame gets.
constexpr float kLongestDuration = 24.0f * 3600.0f * 100.0f;

}  // namespace

YKPlayback::YKPlayback(YKDocument* document) : mDocument(document) {
    SetClock(nullptr, nullptr);
}

YKPlayback::~YKPlayback() {
    UrgentStop();
}

void YKPlayback::SetClock(Now now, Sleep sleep) {
    mNow = now ? std::move(now) : Now(yk_system_time);
    if (sleep) {
        mSleep = std::move(sleep);
        return;
    }
    // The wait between frames ends early when a stop is asked for. A sleeping thread wakes a
    // fraction of a millisecond late, and over a run those fractions add up to a drift a viewer
    // sees: the last stretch is waited out awake.
    mSleep = [this](bigtime_t microseconds) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::microseconds(microseconds);
        {
            std::unique_lock<std::mutex> lock(mWaitLock);
            mWake.wait_until(lock, deadline - kAwakeWait, [this] { return mStopRequested.load(); });
        }
        while (std::chrono::steady_clock::now() < deadline && !mStopRequested.load()) {
            std::this_thread::yield();
        }
    };
}

// --- Commands ---

void YKPlayback::Play() {
    if (mDocument == nullptr || mDocument->EnvelopManager() == nullptr ||
        mDocument->ViewerLayer() == nullptr || mPlaying.load()) {
        return;
    }
    if (mThread != nullptr) {
        // The last run has cleared its flags and is returning.
        mThread->Wait();
    }
    mStopRequested = false;
    mUrgent = false;
    // Set here, not in the thread, so that a Stop() right after Play() finds it playing.
    mPlaying = true;
    mThread = std::make_unique<YKThread>("Play", [this] { Run(); });
    if (!mThread->Run()) {
        mPlaying = false;
    }
}

void YKPlayback::Stop() {
    RequestStopAndWait(false);
}

void YKPlayback::UrgentStop() {
    RequestStopAndWait(true);
}

void YKPlayback::RequestStopAndWait(bool urgent) {
    if (urgent) {
        mUrgent = true;
    }
    // Asked by the listener from the playing thread, the request is all it can do.
    const bool fromPlayThread = std::this_thread::get_id() == mThreadID.load();
    if (mPlaying.load()) {
        {
            std::lock_guard<std::mutex> lock(mWaitLock);
            mStopRequested = true;
        }
        mWake.notify_all();
    }
    if (fromPlayThread || mThread == nullptr) {
        return;
    }
    {
        std::unique_lock<std::mutex> lock(mWaitLock);
        while (mPlaying.load()) {
            mWake.wait_for(lock, kStopPoll);
        }
    }
    mThread->Wait();
}

void YKPlayback::Next() {
    if (mDocument == nullptr || mPlaying.load()) {
        return;
    }
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    if (manager == nullptr || mDocument->ViewerLayer() == nullptr) {
        return;
    }
    mDocument->SetPlayMode(true);
    const int32 current = manager->CurrentFrame();
    if (current < manager->MaxFrame()) {
        ShowFrame(current + 1);
    }
    mDocument->SetPlayMode(false);
}

// --- The playing thread ---

void YKPlayback::Run() {
    mThreadID = std::this_thread::get_id();
    Notify(true);
    while (PlayOnce() && mLoop.load() && !mStopRequested.load()) {
    }
    {
        std::lock_guard<std::mutex> lock(mWaitLock);
        mStopRequested = false;
        mPlaying = false;
    }
    mWake.notify_all();
    Notify(false);
    mThreadID = std::thread::id();
}

bool YKPlayback::PlayOnce() {
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    mDocument->SetPlayMode(true);
    bigtime_t start = mNow();
    ShowFrame(1);
    WaitOut(manager->FrameDuration(1), mNow() - start);
    bool completed = true;
    for (int32 frame = 2; frame <= manager->MaxFrame(); ++frame) {
        if (mStopRequested.load()) {
            completed = false;
            break;
        }
        start = mNow();
        ShowFrame(frame);
        WaitOut(manager->FrameDuration(frame), mNow() - start);
    }
    mDocument->SetPlayMode(false);
    return completed;
}

void YKPlayback::ShowFrame(int32 frame) {
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    if (!viewer->LockHirarchy()) {
        return;
    }
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    const int32 shown = manager->CurrentFrame();
    manager->SetCurrentFrame(frame);
    // The viewer layer is told the frame shown until now; the manager already holds the new one.
    viewer->SwitchToFrame(shown);
    viewer->UnlockHirarchy();
    if (mListener != nullptr && !mUrgent.load()) {
        mListener->FrameShown(frame);
    }
}

void YKPlayback::WaitOut(float duration, bigtime_t used) {
    // Only whole hundredths count: 0.9 waits nothing. NaN and negative durations wait nothing.
    if (!(duration >= 1.0f)) {
        return;
    }
    const auto wait =
        static_cast<bigtime_t>(std::trunc(std::fmin(duration, kLongestDuration))) * 10000;
    if (wait > used) {
        mSleep(wait - used);
    }
}

void YKPlayback::Notify(bool playing) {
    if (mListener != nullptr && !mUrgent.load()) {
        mListener->PlayingChanged(playing);
    }
}
