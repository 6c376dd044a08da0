// Playback: the frames shown and the waits asked for, in order, on a fake clock; stops, the loop
// and stepping. No assertion here depends on how long anything took.

#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "RecordingServices.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKPlayback.h"
#include "YKPlaybackListener.h"

namespace {

constexpr YKRect<int32> kCanvas{0, 0, 31, 15};
// Each reading of the fake clock is this much later than the last: a frame switch "takes" it.
constexpr bigtime_t kTick = 3000;

// Records what the playing thread reports, and lets the test wait for it.
class RecordingListener : public YKPlaybackListener {
public:
    void FrameShown(int32 frame) override {
        char name[16] = {};
        pthread_getname_np(pthread_self(), name, sizeof name);
        std::lock_guard<std::mutex> lock(mutex);
        frames.push_back(frame);
        threads.emplace_back(name);
        changed.notify_all();
    }
    void PlayingChanged(bool playing) override {
        std::lock_guard<std::mutex> lock(mutex);
        states.push_back(playing);
        changed.notify_all();
    }
    // A guard against a hang, not a timing check.
    template <typename Predicate>
    bool WaitFor(Predicate predicate) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), predicate);
    }
    bool Ended() {
        return WaitFor([this] { return !states.empty() && !states.back(); });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int32> frames;
    std::vector<std::string> threads;
    std::vector<bool> states;
};

class PlaybackTest : public testing::Test {
protected:
    void SetFrames(std::vector<float> durations) {
        manager->SetMaxFrame(static_cast<int32>(durations.size()), false);
        for (size_t i = 0; i < durations.size(); ++i) {
            manager->SetFrameDuration(static_cast<int32>(i) + 1, durations[i]);
        }
    }
    // The fake clock; `onSleep` runs in the playing thread at each wait.
    void UseFakeClock(std::function<void()> onSleep = nullptr) {
        playback.SetClock([this] { return now += kTick; },
                          [this, onSleep](bigtime_t microseconds) {
                              sleeps.push_back(microseconds);
                              if (onSleep) {
                                  onSleep();
                              }
                          });
    }
    // In the playing thread: holds the wait until the test has asked for a stop.
    void HoldUntilStopRequested() {
        {
            std::lock_guard<std::mutex> lock(listener.mutex);
            holding = true;
        }
        listener.changed.notify_all();
        while (!playback.IsStopRequested()) {
            std::this_thread::yield();
        }
    }
    bool WaitUntilHolding() {
        return listener.WaitFor([this] { return holding; });
    }

    RecordingServices services;
    YKDocument doc{"Playback", kCanvas, yk_color(0, 0, 0, 255), &services};
    YKEnvelopManager* manager = doc.EnvelopManager();
    RecordingListener listener;
    YKPlayback playback{&doc};
    std::atomic<bigtime_t> now{0};
    std::vector<bigtime_t> sleeps;
    bool holding = false;

    void SetUp() override { playback.SetListener(&listener); }
};

TEST_F(PlaybackTest,
       ShowsEveryFrameFromTheFirstInThePlayThreadWaitingWholeHundredthsLessTheSwitch) {
    SetFrames({5.0f, 0.9f, 2.5f});
    manager->SetCurrentFrame(2);
    UseFakeClock();
    playback.Play();
    ASSERT_TRUE(listener.Ended());
    playback.Stop();

    EXPECT_EQ(listener.frames, (std::vector<int32>{1, 2, 3}));
    EXPECT_EQ(listener.threads, (std::vector<std::string>{"Play", "Play", "Play"}));
    EXPECT_EQ(listener.states, (std::vector<bool>{true, false}));
    // 5.0 waits 50 ms and 2.5 waits 20 ms, each less the switch; 0.9 waits nothing.
    EXPECT_EQ(sleeps, (std::vector<bigtime_t>{50000 - kTick, 20000 - kTick}));
    EXPECT_FALSE(playback.IsPlaying());
    EXPECT_FALSE(doc.PlayMode());
    EXPECT_EQ(manager->CurrentFrame(), 3);
}

TEST_F(PlaybackTest, AStopDuringFrameThreeEndsBeforeFrameFourAndFrameThreeStaysCurrent) {
    SetFrames(std::vector<float>(10, 1.0f));
    UseFakeClock([this] {
        if (manager->CurrentFrame() == 3) {
            HoldUntilStopRequested();
        }
    });
    playback.Play();
    ASSERT_TRUE(WaitUntilHolding());
    playback.Stop();

    EXPECT_FALSE(playback.IsPlaying());
    EXPECT_FALSE(playback.IsStopRequested());
    EXPECT_EQ(listener.frames, (std::vector<int32>{1, 2, 3}));
    EXPECT_EQ(listener.states, (std::vector<bool>{true, false}));
    EXPECT_EQ(manager->CurrentFrame(), 3);
    EXPECT_FALSE(doc.PlayMode());

    // Playing again starts over from frame 1 and runs to the end.
    holding = false;
    UseFakeClock();
    playback.Play();
    ASSERT_TRUE(listener.WaitFor([this] { return listener.states.size() == 4; }));
    playback.Stop();
    EXPECT_EQ(listener.frames.size(), 13u);
    EXPECT_EQ(manager->CurrentFrame(), 10);
}

TEST_F(PlaybackTest, WithTheLoopAOneFrameDocumentShowsItsFrameAgainUntilStopped) {
    SetFrames({5.0f});
    playback.SetLoop(true);
    UseFakeClock([this] {
        if (sleeps.size() == 3) {
            HoldUntilStopRequested();
        }
    });
    playback.Play();
    ASSERT_TRUE(WaitUntilHolding());
    playback.Stop();

    EXPECT_EQ(listener.frames, (std::vector<int32>{1, 1, 1}));
    EXPECT_EQ(sleeps, std::vector<bigtime_t>(3, 50000 - kTick));
    // One run as far as the listener is concerned: the loop does not end playing.
    EXPECT_EQ(listener.states, (std::vector<bool>{true, false}));
    EXPECT_TRUE(playback.Loop());
}

TEST_F(PlaybackTest, StopCutsAWaitShortAndAnUrgentStopEndsSilently) {
    // Ten seconds a frame on the real clock: only a stop that wakes the wait ends this soon.
    SetFrames({1000.0f, 1000.0f, 1000.0f});
    playback.Play();
    ASSERT_TRUE(listener.WaitFor([this] { return !listener.frames.empty(); }));
    playback.UrgentStop();
    EXPECT_FALSE(playback.IsPlaying());
    EXPECT_EQ(listener.frames, (std::vector<int32>{1}));
    EXPECT_EQ(listener.states, (std::vector<bool>{true}));
    EXPECT_EQ(manager->CurrentFrame(), 1);

    playback.Play();
    ASSERT_TRUE(listener.WaitFor([this] { return listener.frames.size() == 2; }));
    playback.Stop();
    EXPECT_EQ(listener.states, (std::vector<bool>{true, true, false}));
}

TEST_F(PlaybackTest, NextStepsOneFrameStaysAtTheLastAndIsIgnoredWithoutADocument) {
    SetFrames({1.0f, 1.0f, 1.0f});
    playback.Next();
    EXPECT_EQ(manager->CurrentFrame(), 2);
    playback.Next();
    playback.Next();
    EXPECT_EQ(manager->CurrentFrame(), 3);
    EXPECT_EQ(listener.frames, (std::vector<int32>{2, 3}));
    EXPECT_FALSE(doc.PlayMode());

    YKPlayback nothing(nullptr);
    nothing.Play();
    nothing.Next();
    nothing.Stop();
    EXPECT_FALSE(nothing.IsPlaying());
}

}  // namespace
