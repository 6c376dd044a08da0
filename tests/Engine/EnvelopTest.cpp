#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <type_traits>
#include <vector>

#include "ScriptedAlerts.h"
#include "YKAlert.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKUndoEnvelopModification.h"

namespace {

class EnvelopTest : public ::testing::Test {
protected:
    ScriptedAlerts mAlerts;
};

// --- Slow, obvious reference for the integer kinds: neighbours by scanning a map, the weighted
//     mean in long double, then truncation toward zero.

template <typename Value>
std::vector<int64> Parts(const Value& v) {
    if constexpr (std::is_same_v<Value, YKPoint<int32>>) {
        return {v.x, v.y};
    } else if constexpr (std::is_same_v<Value, yk_color>) {
        return {v.red, v.green, v.blue, v.alpha};
    } else {
        return {v};
    }
}

template <typename Value>
std::vector<int64> Reference(const std::map<int32, Value>& keys, int32 frame) {
    const auto next = keys.lower_bound(frame);
    if (next == keys.end()) {
        return Parts(std::prev(next)->second);
    }
    if (next->first == frame || next == keys.begin()) {
        return Parts(next->second);
    }
    const auto previous = std::prev(next);
    const long double a = frame - previous->first;
    const long double b = next->first - frame;
    std::vector<int64> result = Parts(previous->second);
    const std::vector<int64> to = Parts(next->second);
    for (size_t i = 0; i < result.size(); ++i) {
        result[i] = static_cast<int64>(std::trunc((a * to[i] + b * result[i]) / (a + b)));
    }
    return result;
}

template <typename Envelop, typename Draw>
void CheckAgainstReference(Draw draw) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        Envelop envelop;
        std::map<int32, typename Envelop::ValueType> keys;
        const int count = std::uniform_int_distribution<int>(1, 12)(random);
        for (int i = 0; i < count; ++i) {
            const int32 frame = std::uniform_int_distribution<int32>(1, 60)(random);
            const auto value = draw(random);
            envelop.SetValue(value, frame);  // frames repeat: the later value must win
            keys[frame] = value;
        }
        ASSERT_EQ(envelop.CountKeyFrames(), static_cast<int32>(keys.size()));
        for (int32 frame = -2; frame <= 65; ++frame) {
            ASSERT_EQ(Parts(envelop.Value(frame)), Reference(keys, frame)) << "frame " << frame;
        }
    }
}

}  // namespace

// --- Values between and beyond key frames

TEST_F(EnvelopTest, DoubleAndBoolKindsFollowTheirRules) {
    YKEnvelopDouble level;
    level.SetValue(1.0, 20);
    level.SetValue(0.0, 10);
    EXPECT_EQ((std::vector{level.Value(15), level.Value(12), level.Value(3), level.Value(40)}),
              (std::vector{0.5, 0.2, 0.0, 1.0}));
    level.SetCurrentFrame(15);
    double out = -1.0;
    level.Value(&out);
    EXPECT_EQ(out, 0.5);
    EXPECT_EQ(level.OldFrame(), 1);

    YKEnvelopBool visible;
    visible.SetValue(true, 1);
    visible.SetValue(false, 10);
    for (int32 frame = 1; frame <= 12; ++frame) {
        EXPECT_EQ(visible.Value(frame), frame < 10) << frame;
    }
}

TEST_F(EnvelopTest, IntegerKindsMatchTheReferenceOverRandomKeys) {
    auto any32 = [](std::mt19937& r) { return static_cast<int32>(r()); };
    auto byte = [](std::mt19937& r) { return static_cast<uint8>(r()); };
    CheckAgainstReference<YKEnvelopInt32>(any32);
    CheckAgainstReference<YKEnvelopUint8>(byte);
    CheckAgainstReference<YKEnvelopYKPointInt32>([&](std::mt19937& r) {
        return YKPoint<int32>{any32(r), any32(r)};
    });
    CheckAgainstReference<YKEnvelopColor>(
        [&](std::mt19937& r) { return yk_color(byte(r), byte(r), byte(r), byte(r)); });
}

TEST_F(EnvelopTest, PointOfDoubleWithAStepLandsOnWholeUnits) {
    YKEnvelopYKPointDouble position;
    position.SetValue({0.0, 0.0}, 1);
    position.SetValue({10.0, 0.0}, 4);
    EXPECT_DOUBLE_EQ(position.Value(2).x, 10.0 / 3.0);  // no step: plain linear
    position.SetInterpolationStep(1.0f);
    // Half a step toward the later key, then onto the grid; a coordinate that stays put stays.
    EXPECT_EQ(position.Value(2), (YKPoint<double>{4.0, 0.0}));
    EXPECT_EQ(position.Value(3), (YKPoint<double>{7.0, 0.0}));
    position.SetValue({-2.0, 0.0}, 7);
    EXPECT_EQ(position.Value(5), (YKPoint<double>{6.0, 0.0}));
    EXPECT_EQ(position.Value(6), (YKPoint<double>{2.0, 0.0}));
    position.AllOffsetBy(YKPoint<double>{0.5, 1.0});
    EXPECT_EQ(position.Value(7), (YKPoint<double>{-1.5, 1.0}));
    EXPECT_EQ(position.Value(1), (YKPoint<double>{0.5, 1.0}));
}

TEST_F(EnvelopTest, ColourMovesFourBytesAndValuesDifferByAnyPart) {
    YKEnvelopColor colour;
    colour.SetValue(yk_color(0, 0, 0, 255), 1);
    colour.SetValue(yk_color(255, 255, 255, 255), 3);
    yk_color grey(127, 127, 127, 255);
    grey.RGB2CMYK();
    const yk_color half = colour.Value(2);
    EXPECT_EQ(std::memcmp(&half, &grey, sizeof grey), 0);

    // Values differ by any byte (the CMYK part too) or either coordinate.
    yk_color tinted = colour.Value(3);
    tinted.cyan ^= 1;
    colour.SetValue(tinted, 4);
    colour.SetCurrentFrame(3);
    EXPECT_TRUE(colour.IsValueModified(4));
    YKEnvelopYKPointInt32 point;
    point.SetValue({5, 0}, 1);
    point.SetValue({5, 2}, 2);
    point.SetValue({6, 0}, 3);
    EXPECT_TRUE(point.IsValueModified(2));
    EXPECT_TRUE(point.IsValueModified(3));
}

TEST_F(EnvelopTest, ValueWithoutKeyFramesAlertsAndLeavesTheOutputAlone) {
    YKEnvelopDouble envelop;
    double out = 7.0;
    testing::internal::CaptureStdout();
    envelop.Value(&out, 3);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, 7.0);
    const auto shown = mAlerts.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind("Internal error: 100.\n", 0), 0u);
    EXPECT_EQ(shown[0].buttons, std::vector<std::string>{"OK"});
    // Change detection runs on every frame switch and must not alert again.
    EXPECT_FALSE(envelop.IsValueModified(3));
    EXPECT_EQ(mAlerts.Shown().size(), 1u);
}

// --- Key frame list

TEST_F(EnvelopTest, KeyFramesStaySortedOnePerFrame) {
    YKEnvelopDouble envelop;  // how SetValue keeps order is covered by the reference test
    envelop.SetValue(1.0, 8);
    envelop.SetValue(2.0, 3);
    auto* replacement = new YKKeyFrameDouble(8, 4.0);
    envelop.AddKeyFrame(replacement, false);  // the old key at 8 is deleted (ASan checks)
    envelop.AddKeyFrame(replacement, false);  // adding it again must not delete it
    envelop.AddKeyFrame(nullptr, false);
    EXPECT_EQ(envelop.CountKeyFrames(), 2);
    EXPECT_EQ(envelop.KeyFramePointer(8), replacement);
    EXPECT_EQ(envelop.KeyFrameInternalIndex(replacement), 1);
    EXPECT_EQ(envelop.KeyFrameInternalIndex(8), 1);
    EXPECT_EQ(envelop.KeyFramePointer(5), nullptr);
    auto bounds = [&](int32 frame) {
        std::pair<int32, int32> found;
        envelop.GetBoundingFrames(frame, found.first, found.second);
        return found;
    };
    EXPECT_EQ(bounds(5), std::pair(3, 8));
    EXPECT_EQ(bounds(3), std::pair(-1, 8));
    EXPECT_EQ(bounds(9), std::pair(8, -1));

    std::unique_ptr<YKKeyFrame> removed(envelop.RemoveKeyFrame(8));
    EXPECT_EQ(removed.get(), replacement);
    EXPECT_EQ(envelop.RemoveKeyFrame(8), nullptr);
    EXPECT_EQ(envelop.CountKeyFrames(), 1);
}

// --- Modification records

TEST_F(EnvelopTest, ModificationRecordsHoldBeforeAndAfter) {
    auto data = [](const YKKeyFrame* key) {
        return key == nullptr ? -1.0 : static_cast<const YKKeyFrameDouble*>(key)->Data();
    };
    YKEnvelopDouble envelop;
    envelop.BeginModification();
    EXPECT_TRUE(envelop.IsInModification());
    EXPECT_EQ(envelop.EndModification(), nullptr);  // nothing set
    EXPECT_FALSE(envelop.IsInModification());

    envelop.BeginModification();
    envelop.SetValue(2.0);
    std::unique_ptr<YKUndoEnvelopModification> added(envelop.EndModification());
    ASSERT_NE(added, nullptr);
    EXPECT_FALSE(envelop.IsInModification());
    EXPECT_EQ(added->Get_envelop(), &envelop);
    EXPECT_EQ(added->Get_frame_number(), 1);
    EXPECT_EQ(data(added->Get_key_before()), -1.0);
    EXPECT_EQ(data(added->Get_key_after()), 2.0);

    envelop.BeginModification();
    envelop.SetValue(3.0);
    std::unique_ptr<YKUndoEnvelopModification> changed(envelop.EndModification());
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(data(changed->Get_key_before()), 2.0);
    EXPECT_EQ(data(changed->Get_key_after()), 3.0);
    EXPECT_NE(changed->Get_key_after(), envelop.KeyFramePointer(1));  // a copy, not the key
}

// --- Copies

TEST_F(EnvelopTest, DuplicateCopiesSettingsAndKeysAssignmentOnlySettings) {
    YKEnvelopInt32 source(7, "Radius");
    source.SetSubName("outer");
    source.SetValue(4, 2);
    source.SetValue(9, 6);
    source.SetCurrentFrame(5);
    source.SetMaxFrame(12);
    source.SetInterpolationStep(2.0f);

    std::unique_ptr<YKEnvelopInt32> copy(source.Duplicate());
    ASSERT_EQ(copy->CountKeyFrames(), 2);
    EXPECT_NE(copy->TypedKeyFrame(6), source.TypedKeyFrame(6));
    EXPECT_EQ(*copy->TypedKeyFrame(6), *source.TypedKeyFrame(6));
    source.TypedKeyFrame(2)->SetData(100);
    EXPECT_EQ(copy->Value(2), 4);

    YKEnvelopInt32 target(3, "Other");
    target.SetValue(1, 1);
    target = source;
    EXPECT_EQ(target.CountKeyFrames(), 0);
    for (const YKEnvelop* e : std::initializer_list<const YKEnvelop*>{copy.get(), &target}) {
        EXPECT_EQ((std::vector{e->CurrentFrame(), e->OldFrame(), e->MaxFrame(), e->Owner(),
                               e->RealOwner()}),
                  (std::vector{5, 1, 12, 7, 7}));
        EXPECT_STREQ(e->Name(), "Radius");
        EXPECT_STREQ(e->SubName(), "outer");
        EXPECT_EQ(e->InterpolationStep(), 2.0f);
    }
}

TEST_F(EnvelopTest, UniqueAndFixedValues) {
    YKEnvelopDouble envelop;
    envelop.SetValue(0.0, 1);
    envelop.SetValue(10.0, 11);
    envelop.SetCurrentFrame(6);
    envelop.FixValue(nullptr);  // what is shown becomes a key
    EXPECT_EQ(envelop.CountKeyFrames(), 3);
    EXPECT_DOUBLE_EQ(envelop.TypedKeyFrame(6)->Data(), 5.0);

    YKEnvelopDouble other;
    other.SetValue(42.0, 1);
    envelop.FixValue(&other);
    EXPECT_DOUBLE_EQ(envelop.Value(), 42.0);

    envelop.SetUniqueValue(-1.0);
    ASSERT_EQ(envelop.CountKeyFrames(), 1);
    EXPECT_NE(envelop.KeyFramePointer(6), nullptr);
    EXPECT_DOUBLE_EQ(envelop.Value(100), -1.0);
}

// --- With a manager

TEST_F(EnvelopTest, ManagerThatRefusesAddsKeepsKeysAndFramesAsTheyAre) {
    YKEnvelopManager manager;
    YKEnvelopDouble envelop(5, "Opacity");
    envelop.SetValue(1.0, 12);  // no manager yet: only remembered
    envelop.SetValue(1.0, 4);
    envelop.SetEnvelopManager(&manager);
    envelop.AddedToManager();
    EXPECT_EQ(manager.MaxFrame(), 12);
    manager.SetAcceptAdd(false);
    envelop.SetValue(3.0, 20);
    envelop.SetUniqueValue(3.0);
    EXPECT_EQ(envelop.CountKeyFrames(), 2);
    EXPECT_EQ(manager.MaxFrame(), 12);
}

// --- Liveness checks

namespace {

// Death tests only see standard error; the alert text has to reach it.
struct StderrPresenter : YKAlertPresenter {
    int32 Present(const YKAlert& alert) override {
        std::fprintf(stderr, "%s [%s]\n", alert.Text().c_str(), alert.ButtonLabel(0));
        return 0;
    }
};

}  // namespace

TEST(EnvelopDeathTest, IsAllocatedTellsLiveDeadAndGarbage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_FALSE(YKEnvelop::IsAllocated(nullptr));
    YKEnvelopDouble live;
    EXPECT_TRUE(YKEnvelop::IsAllocated(&live));

    alignas(YKEnvelopDouble) unsigned char dead[sizeof(YKEnvelopDouble)];
    YKEnvelop* destroyed = new (dead) YKEnvelopDouble(1, "Gone");
    destroyed->~YKEnvelop();
    alignas(YKEnvelopDouble) unsigned char garbage[sizeof(YKEnvelopDouble)];
    std::memset(garbage, 0x5a, sizeof garbage);

    StderrPresenter presenter;
    YKAlertPresenter::SetCurrent(&presenter);
    EXPECT_EXIT(YKEnvelop::IsAllocated(destroyed), ::testing::ExitedWithCode(1),
                "Internal error: 101\\.[^[]*\\[Exit\\]");
    EXPECT_EXIT(YKEnvelop::IsAllocated(reinterpret_cast<YKEnvelop*>(garbage)),
                ::testing::ExitedWithCode(1), "Internal error: 102\\.[^[]*\\[Exit\\]");
    YKAlertPresenter::SetCurrent(nullptr);
}
