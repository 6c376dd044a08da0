#pragma once

// YKPlayback: plays a document's animation in its views. Play() starts a thread named "Play"
// that steps the envelope manager from frame 1 to the last, has the viewer layer switch every
// view to each frame, and waits out each frame's duration (hundredths of a second, whole ones
// only) from the moment its switch began, so rendering time is taken off the wait and a slow
// frame is followed at once by the next. With the loop on, it starts over from frame 1.
//
// A stop is a request the thread reads before each frame: the frame shown stays current.
// Stop() and UrgentStop() return once the thread has ended; waits between frames are cut short
// by them. Play(), Stop(), UrgentStop() and Next() are called from one thread (the window's).

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "yk_types.h"

class YKDocument;
class YKPlaybackListener;
class YKThread;

class YKPlayback {
public:
    // The clock the thread reads and sleeps by; the steady clock unless a test replaces it.
    using Now = std::function<bigtime_t()>;
    using Sleep = std::function<void(bigtime_t microseconds)>;

    // `document` may be null (nothing plays).
    explicit YKPlayback(YKDocument* document);
    YKPlayback(const YKPlayback&) = delete;
    YKPlayback& operator=(const YKPlayback&) = delete;
    // Stops urgently.
    ~YKPlayback();

    // Not owned; set before playing.
    void SetListener(YKPlaybackListener* listener) { mListener = listener; }
    // Replaces the clock; a replaced sleep is not cut short by a stop. Set before playing.
    void SetClock(Now now, Sleep sleep);

    // Starts playing from frame 1 in the "Play" thread; nothing while playing or without a
    // document or envelope manager.
    void Play();
    // Asks the thread to stop before its next frame and waits until it has; the listener hears
    // that playing ended.
    void Stop();
    // The same without telling the listener: the window is going away.
    void UrgentStop();
    // Shows the frame after the current one, unless at the last frame. Ignored while playing,
    // when the thread owns the frame.
    void Next();

    bool IsPlaying() const { return mPlaying.load(); }
    bool IsStopRequested() const { return mStopRequested.load(); }
    void SetLoop(bool loop) { mLoop.store(loop); }
    bool Loop() const { return mLoop.load(); }

private:
    // The thread's body: runs until the last frame (repeatedly with the loop) or a stop.
    void Run();
    // One run from frame 1 to the last; false when a stop cut it short.
    bool PlayOnce();
    // Under the hierarchy lock: the envelope manager moves to `frame` and the views follow.
    void ShowFrame(int32 frame);
    // The wait of a frame of `duration` hundredths whose switch took `used` microseconds.
    void WaitOut(float duration, bigtime_t used);
    void RequestStopAndWait(bool urgent);
    void Notify(bool playing);

    YKDocument* mDocument;
    YKPlaybackListener* mListener = nullptr;
    Now mNow;
    Sleep mSleep;
    std::unique_ptr<YKThread> mThread;
    std::atomic<std::thread::id> mThreadID;
    std::atomic<bool> mPlaying{false};
    std::atomic<bool> mStopRequested{false};
    std::atomic<bool> mUrgent{false};
    std::atomic<bool> mLoop{false};
    // Wakes the thread from its wait between frames, and the stopping caller when it ends.
    std::mutex mWaitLock;
    std::condition_variable mWake;
};
