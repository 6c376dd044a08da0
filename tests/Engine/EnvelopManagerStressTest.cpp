#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "YKAutolock.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"

namespace {

// One thread switches frames (as playback does) while another registers envelopes, sets
// values and removes them again (as editing does, holding the manager's lock the way object
// layers do). Run under ThreadSanitizer this shows the lock guards what both touch.
TEST(EnvelopManagerStress, FrameSwitchesWhileEnvelopesComeAndGo) {
    YKEnvelopManager manager;
    manager.SetMaxFrame(30, false);
    std::atomic<bool> done{false};

    std::thread player([&] {
        int32 frame = 1;
        while (!done.load()) {
            manager.SetCurrentFrame(frame);
            manager.IsObjectModified(frame % 5, static_cast<const YKEnvelop*>(nullptr));
            frame = frame % manager.MaxFrame() + 1;
        }
    });

    std::thread editor([&] {
        for (int32 round = 0; round < 2000; ++round) {
            std::vector<std::unique_ptr<YKEnvelopDouble>> made;
            for (int32 i = 0; i < 5; ++i) {
                auto envelope = std::make_unique<YKEnvelopDouble>(i, "stress");
                YKAutolock lock(&manager.Locker());
                manager.AddEnvelop(envelope.get());
                envelope->SetValue(double(round), 1);
                envelope->SetValue(double(i), 1 + (round + i) % 30);
                envelope->SetValue(2.0 * i);
                made.push_back(std::move(envelope));
            }
            for (auto& envelope : made) {
                manager.RemoveEnvelop(envelope.get());
            }
        }
        done.store(true);
    });

    editor.join();
    player.join();
    EXPECT_EQ(manager.CountEnvelops(), 0);
    EXPECT_EQ(manager.MaxFrame(), 30);
}

}  // namespace
