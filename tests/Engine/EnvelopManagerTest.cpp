#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKRecordingTimelineSink.h"
#include "YKUndoDeleteKeyFrame.h"
#include "YKUndoEnvelopModification.h"
#include "YKUndoManager.h"
#include "YKUndoMoveKeyFrame.h"

namespace {

// A document's animation as the tests see it: a manager wired to an undo manager and a
// recording timeline, and envelopes owned by the fixture.
class EnvelopManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager.SetUndoManager(&undo);
        YKTimelineSink::SetCurrent(&timeline);
    }
    void TearDown() override { YKTimelineSink::SetCurrent(nullptr); }

    // A registered double envelope of `owner` with the given keys (frame, value).
    YKEnvelopDouble* Envelope(int32 owner, std::vector<std::pair<int32, double>> keys) {
        auto envelope = std::make_unique<YKEnvelopDouble>(owner, "Test");
        manager.AddEnvelop(envelope.get());
        for (const auto& [frame, value] : keys) {
            envelope->SetValue(value, frame);
        }
        YKEnvelopDouble* made = envelope.get();
        envelopes.push_back(std::move(envelope));
        return made;
    }

    static std::vector<int32> KeyFrames(const YKEnvelop* envelope) {
        std::vector<int32> frames;
        for (int32 i = 0; i < envelope->CountKeyFrames(); ++i) {
            frames.push_back(envelope->KeyFrameList()->ItemAt(i)->FrameNumber());
        }
        return frames;
    }

    YKUndoManager undo;
    YKEnvelopManager manager;
    YKRecordingTimelineSink timeline;
    std::vector<std::unique_ptr<YKEnvelop>> envelopes;
};

TEST_F(EnvelopManagerTest, KeyBeyondTheLastFrameGrowsTheDocumentOnceUndoably) {
    manager.SetMaxFrame(10, false);
    EXPECT_EQ(undo.UndoStackSize(), 0);
    YKEnvelopDouble* e = Envelope(7, {{1, 0.0}});
    e->SetValue(1.0, 12);
    EXPECT_EQ(manager.MaxFrame(), 12);
    EXPECT_EQ(e->MaxFrame(), 12);
    ASSERT_EQ(undo.UndoStackSize(), 1);
    EXPECT_STREQ(undo.UndoNameAt(0), "Animation maxframe modified");
    undo.UndoLast();
    EXPECT_EQ(manager.MaxFrame(), 10);
    undo.RedoLast();
    EXPECT_EQ(manager.MaxFrame(), 12);
}

TEST_F(EnvelopManagerTest, ShrinkingBringsTheCurrentFrameBackAndCutsFrameInfos) {
    manager.SetMaxFrame(8, false);
    manager.SetFrameDuration(3, 12.0f);
    manager.SetCurrentFrame(8);
    manager.SetMaxFrame(4, false);
    EXPECT_EQ(manager.CurrentFrame(), 4);
    EXPECT_EQ(manager.FrameDuration(5), 0.0f);
    manager.SetMaxFrame(6, false);
    EXPECT_FLOAT_EQ(manager.FrameDuration(3), 12.0f);
    EXPECT_FLOAT_EQ(manager.FrameDuration(6), 5.0f);
    manager.SetMaxFrame(0, false);
    EXPECT_EQ(manager.MaxFrame(), 1) << "a document keeps one frame";
}

TEST_F(EnvelopManagerTest, InsertFramesMovesKeysFromTheCurrentFrameOn) {
    manager.SetMaxFrame(6, false);
    manager.SetFrameDuration(4, 20.0f);
    YKEnvelopDouble* e = Envelope(1, {{3, 3.0}, {4, 4.0}, {6, 6.0}});
    manager.SetCurrentFrame(4);
    timeline.Clear();
    manager.InsertFrames(3);
    EXPECT_EQ(manager.MaxFrame(), 9);
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{3, 7, 9}));
    EXPECT_DOUBLE_EQ(e->Value(7), 4.0);
    EXPECT_FLOAT_EQ(manager.FrameDuration(4), 5.0f) << "inserted frames are new";
    EXPECT_FLOAT_EQ(manager.FrameDuration(7), 20.0f) << "durations follow their frames";
    EXPECT_EQ(timeline.Codes(), (std::vector<uint32>{YKTimelineSink::kObjectTouched}))
        << "one message for the whole edit";
}

TEST_F(EnvelopManagerTest, DeleteFrameDropsItsKeysButNeverAnOnlyKey) {
    manager.SetMaxFrame(8, false);
    YKEnvelopDouble* several = Envelope(1, {{2, 2.0}, {5, 5.0}, {6, 6.0}});
    YKEnvelopDouble* only = Envelope(2, {{5, 1.0}});
    YKEnvelopDouble* later = Envelope(3, {{7, 7.0}});
    manager.SetFrameDuration(6, 30.0f);
    manager.SetCurrentFrame(5);
    manager.DeleteFrame();
    EXPECT_EQ(manager.MaxFrame(), 7);
    EXPECT_EQ(KeyFrames(several), (std::vector<int32>{2, 5}));
    EXPECT_DOUBLE_EQ(several->Value(5), 6.0);
    EXPECT_EQ(KeyFrames(only), (std::vector<int32>{5}));
    EXPECT_EQ(KeyFrames(later), (std::vector<int32>{6}));
    EXPECT_FLOAT_EQ(manager.FrameDuration(5), 30.0f);
}

TEST_F(EnvelopManagerTest, DeletingTheLastFrameDeletesItsOwnKeysButNeverTheOnlyFrame) {
    manager.SetMaxFrame(2, false);
    YKEnvelopDouble* e = Envelope(1, {{1, 1.0}, {2, 2.0}});
    manager.SetCurrentFrame(2);
    manager.DeleteFrame();
    EXPECT_EQ(manager.CurrentFrame(), 1);
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1}));
    const int32 records = undo.UndoStackSize();
    manager.DeleteFrame();
    EXPECT_EQ(manager.MaxFrame(), 1);
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1}));
    EXPECT_EQ(undo.UndoStackSize(), records);
}

TEST_F(EnvelopManagerTest, AddAndDeleteKeyOfTheCurrentFrame) {
    manager.SetMaxFrame(10, false);
    YKEnvelopDouble* e = Envelope(1, {{1, 0.0}, {10, 9.0}});
    YKEnvelopDouble* single = Envelope(2, {{1, 5.0}});
    manager.SetCurrentFrame(4);
    manager.AddKeyToFrame();
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1, 4, 10}));
    EXPECT_DOUBLE_EQ(e->Value(4), 3.0);
    EXPECT_EQ(KeyFrames(single), (std::vector<int32>{1, 4}));
    manager.DeleteKeyFromFrame();
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1, 10}));
    EXPECT_EQ(KeyFrames(single), (std::vector<int32>{1}));
    manager.SetCurrentFrame(1);
    manager.DeleteKeyFromFrame();
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{10}));
    EXPECT_EQ(KeyFrames(single), (std::vector<int32>{1})) << "an only key frame stays";
}

TEST_F(EnvelopManagerTest, PasteFrameRepeatsTheCopiedValues) {
    manager.SetMaxFrame(3, false);
    YKEnvelopDouble* e = Envelope(1, {{1, 10.0}, {3, 30.0}});
    manager.SetCurrentFrame(1);
    manager.CopyFrame();
    manager.SetCurrentFrame(3);
    manager.PasteFrame();
    EXPECT_EQ(manager.MaxFrame(), 4);
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1, 3, 4}));
    EXPECT_DOUBLE_EQ(e->Value(3), 10.0);
    EXPECT_DOUBLE_EQ(e->Value(4), 30.0);
}

TEST_F(EnvelopManagerTest, PasteAfterAnObjectWasAddedOnlyAddsAFrame) {
    manager.SetMaxFrame(2, false);
    YKEnvelopDouble* e = Envelope(1, {{1, 10.0}});
    manager.SetCurrentFrame(2);
    manager.CopyFrame();
    Envelope(2, {{1, 1.0}});
    manager.PasteFrame();
    EXPECT_EQ(manager.MaxFrame(), 3);
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1}));
}

TEST_F(EnvelopManagerTest, RegistrationBringsEnvelopeAndDocumentToTheSameFrames) {
    manager.SetMaxFrame(5, false);
    manager.SetCurrentFrame(3);
    YKEnvelopDouble fresh(1, "fresh");
    manager.AddEnvelop(&fresh);
    EXPECT_EQ(fresh.MaxFrame(), 5);
    EXPECT_EQ(fresh.CurrentFrame(), 3);
    EXPECT_EQ(fresh.OldFrame(), 1);
    EXPECT_EQ(fresh.EnvelopManager(), &manager);
    manager.AddEnvelop(&fresh);
    EXPECT_EQ(manager.CountEnvelops(), 1) << "a second registration is ignored";

    // An envelope set up before it had a manager suggests its last key frame.
    YKEnvelopDouble early(2, "early");
    early.SetValue(1.0, 9);
    manager.AddEnvelop(&early);
    EXPECT_EQ(manager.MaxFrame(), 9);

    manager.RemoveEnvelop(&fresh);
    manager.RemoveEnvelop(&early);
    EXPECT_EQ(manager.CountEnvelops(), 0);
    EXPECT_FALSE(manager.HasEnvelop(&fresh));
}

TEST_F(EnvelopManagerTest, ChangeDetectionFollowsRealOwnersAndExclusions) {
    manager.SetMaxFrame(10, false);
    YKEnvelopDouble* moving = Envelope(1, {{1, 0.0}, {10, 9.0}});
    YKEnvelopDouble* still = Envelope(1, {{1, 5.0}});
    YKEnvelopDouble* other = Envelope(2, {{1, 0.0}, {10, 1.0}});
    manager.SetCurrentFrame(2);
    EXPECT_TRUE(manager.IsObjectModified(1, static_cast<const YKEnvelop*>(nullptr)));
    EXPECT_FALSE(manager.IsObjectModified(1, moving));
    EXPECT_TRUE(manager.IsObjectModified(1, still));
    EXPECT_FALSE(manager.IsObjectModified(3, static_cast<const YKEnvelop*>(nullptr)));
    EXPECT_TRUE(manager.IsObjectModified(3, -1, nullptr)) << "frame -1 means everything";

    // Moving an envelope to another object moves it in the owner index too.
    moving->SetRealOwner(3);
    EXPECT_FALSE(manager.IsObjectModified(1, static_cast<const YKEnvelop*>(nullptr)));
    EXPECT_TRUE(manager.IsObjectModified(3, static_cast<const YKEnvelop*>(nullptr)));
    manager.RemoveEnvelop(moving);
    EXPECT_FALSE(manager.IsObjectModified(3, static_cast<const YKEnvelop*>(nullptr)));
    EXPECT_TRUE(manager.IsObjectModified(2, static_cast<const YKEnvelop*>(nullptr)));
    (void)other;
}

TEST_F(EnvelopManagerTest, ArchiveKeepsFramesAndDurations) {
    manager.SetMaxFrame(4, false);
    manager.SetCurrentFrame(3);
    manager.SetFrameDuration(2, 7.5f);
    manager.SetFrameUsable(4, false);
    YKMessage archive;
    manager.Archive(&archive);
    int32 count = 0;
    archive.GetInfo("YKEnvMan:frinf", nullptr, &count);
    EXPECT_EQ(count, 4);

    YKEnvelopManager loaded(&archive);
    EXPECT_EQ(loaded.MaxFrame(), 4);
    EXPECT_EQ(loaded.CurrentFrame(), 3);
    EXPECT_FLOAT_EQ(loaded.FrameDuration(2), 7.5f);
    EXPECT_FALSE(loaded.FrameUsable(4));
    EXPECT_TRUE(loaded.FrameUsable(3));
}

TEST_F(EnvelopManagerTest, DamagedArchivesStayWithinBounds) {
    YKMessage hostile;
    hostile.AddInt32("YKEnvMan:_max_frame", 2000000000);
    hostile.AddInt32("YKEnvMan:_current_frame", 5);
    YKEnvelopManager loaded(&hostile);
    EXPECT_GE(loaded.MaxFrame(), 1);
    EXPECT_LE(loaded.MaxFrame(), 100000);
    EXPECT_FLOAT_EQ(loaded.FrameDuration(loaded.MaxFrame()), 5.0f);

    YKMessage fewer;
    fewer.AddInt32("YKEnvMan:_max_frame", 3);
    YKMessage info;
    info.AddFloat("YKKInf:_duration", 9.0f);
    fewer.AddMessage("YKEnvMan:frinf", &info);
    YKEnvelopManager partial(&fewer);
    EXPECT_FLOAT_EQ(partial.FrameDuration(1), 9.0f);
    EXPECT_FLOAT_EQ(partial.FrameDuration(3), 5.0f);
}

TEST_F(EnvelopManagerTest, TimelineHearsOfChangesWithOwnerAndSender) {
    manager.SetMaxFrame(3, false);
    manager.ObjectAdded(42);
    manager.ObjectModified(7);
    manager.SetAcceptRedraw(false, true);
    manager.ObjectTouched(1);
    manager.SetAcceptRedraw(true, true);
    const std::vector<YKMessage> messages = timeline.Messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].what, uint32(YKTimelineSink::kMaxFrameChanged));
    EXPECT_EQ(messages[1].what, uint32(YKTimelineSink::kObjectAdded));
    int32 id = 0;
    void* from = nullptr;
    EXPECT_TRUE(messages[1].FindInt32("object_id", &id));
    EXPECT_EQ(id, 42);
    EXPECT_TRUE(messages[1].FindPointer("from", &from));
    EXPECT_EQ(from, &manager);
    EXPECT_EQ(messages[2].what, uint32(YKTimelineSink::kObjectRemoved));
    EXPECT_EQ(messages[3].what, uint32(YKTimelineSink::kObjectAdded));
    EXPECT_EQ(messages[4].what, uint32(YKTimelineSink::kRedrawOn));

    // Without a timeline window nothing is sent and redrawing stays as it was.
    YKTimelineSink::SetCurrent(nullptr);
    manager.SetAcceptRedraw(false, false);
    EXPECT_TRUE(manager.AcceptRedraw());
}

TEST_F(EnvelopManagerTest, ModificationRecordUndoesAndRedoesOneKeyFrame) {
    manager.SetMaxFrame(5, false);
    YKEnvelopDouble* e = Envelope(9, {{1, 1.0}, {3, 3.0}});
    manager.SetCurrentFrame(3);
    e->BeginModification();
    e->SetValue(30.0);
    std::unique_ptr<YKUndoEnvelopModification> record(e->EndModification());
    ASSERT_NE(record, nullptr);
    ASSERT_TRUE(YKUndoEnvelop::Register(std::move(record), e));
    timeline.Clear();

    undo.UndoLast();
    EXPECT_DOUBLE_EQ(e->Value(3), 3.0);
    EXPECT_EQ(timeline.Codes(),
              (std::vector<uint32>{YKTimelineSink::kObjectTouched, YKTimelineSink::kObjectTouched,
                                   YKTimelineSink::kKeyFramesChanged}));
    undo.RedoLast();
    EXPECT_DOUBLE_EQ(e->Value(3), 30.0);
    EXPECT_EQ(e->CountKeyFrames(), 2);
}

TEST_F(EnvelopManagerTest, NewKeyFrameIsRemovedByUndoOfItsModification) {
    manager.SetMaxFrame(5, false);
    YKEnvelopDouble* e = Envelope(9, {{1, 1.0}});
    manager.SetCurrentFrame(4);
    e->BeginModification();
    e->SetValue(4.0);
    YKUndoEnvelop::Register(std::unique_ptr<YKUndoEnvelop>(e->EndModification()), e);
    undo.UndoLast();
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1}));
    undo.RedoLast();
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1, 4}));
}

TEST_F(EnvelopManagerTest, DeletedKeyFrameBelongsToItsRecordWhileOut) {
    manager.SetMaxFrame(5, false);
    YKEnvelopDouble* e = Envelope(9, {{1, 1.0}, {5, 5.0}});
    YKKeyFrame* key = e->RemoveKeyFrame(5);
    YKUndoEnvelop::Register(std::make_unique<YKUndoDeleteKeyFrame>(e, key), e);
    undo.UndoLast();
    EXPECT_EQ(e->KeyFramePointer(5), key);
    undo.RedoLast();
    EXPECT_EQ(e->KeyFramePointer(5), nullptr);
    // Purging destroys the record and with it the key frame it holds; ASan watches.
    undo.Purge();
    EXPECT_EQ(e->CountKeyFrames(), 1);
}

TEST_F(EnvelopManagerTest, MovedKeyFrameGoesBackAndForth) {
    manager.SetMaxFrame(8, false);
    YKEnvelopDouble* e = Envelope(9, {{1, 1.0}, {3, 3.0}});
    YKKeyFrame* key = e->RemoveKeyFrame(3);
    key->SetFrameNumber(6);
    e->AddKeyFrame(key, false);
    YKUndoEnvelop::Register(std::make_unique<YKUndoMoveKeyFrame>(e, key, 3, 6), e);
    undo.UndoLast();
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1, 3}));
    undo.RedoLast();
    EXPECT_EQ(KeyFrames(e), (std::vector<int32>{1, 6}));
    EXPECT_EQ(e->KeyFramePointer(6), key);
}

TEST_F(EnvelopManagerTest, RecordsWithoutAnUndoManagerAreNotKept) {
    manager.SetUndoManager(nullptr);
    YKEnvelopDouble* e = Envelope(1, {{1, 1.0}});
    e->SetValue(2.0, 4);
    EXPECT_EQ(manager.MaxFrame(), 4);
    EXPECT_FALSE(
        YKUndoEnvelop::Register(std::make_unique<YKUndoMoveKeyFrame>(e, nullptr, 1, 2), &manager));
}

}  // namespace
