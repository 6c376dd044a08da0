// The timeline panel: its frame edits, undone byte for byte; the frame it shows, chosen by a
// click or by playing; a frame's duration.

#include <QDockWidget>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <cstring>
#include <memory>

#include "PanelFixture.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKKeyFrame.h"
#include "YKObjectLayer.h"
#include "YKPlayback.h"
#include "YKRaster.h"
#include "YKTimelineGrid.h"
#include "YKTimelinePanel.h"
#include "YKUndoManager.h"

namespace {

class TimelinePanelTest : public PanelFixture {
public:
    void SetUp() override {
        PanelFixture::SetUp();
        mPanel = Shown<YKTimelinePanel>("timeline");
        ASSERT_NE(mPanel, nullptr);
        mManager = mDocument->EnvelopManager();
        mSun = Object("Sun");
        ASSERT_NE(mSun, nullptr);
    }

    QToolButton* Button(const char* tip) const {
        for (QToolButton* button : mPanel->findChildren<QToolButton*>()) {
            if (button->toolTip() == tip) {
                return button;
            }
        }
        ADD_FAILURE() << "no button " << tip;
        return nullptr;
    }
    void Click(const char* tip) {
        QToolButton* button = Button(tip);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled()) << tip;
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
        mPanel->RefreshNow();
    }
    // Clicks the header of `frame` in the grid, as a user picks a frame.
    void ClickFrame(int32 frame) {
        YKTimelineGrid* grid = mPanel->Grid();
        const QRect cell = grid->FrameRect(frame);
        ASSERT_FALSE(cell.isEmpty()) << "frame " << frame << " is not in sight";
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QApplication::processEvents();
    }

    YKObjectLayer* Object(const char* name) const {
        for (YKLayer* at = Viewer()->IterateHirarchyToNext("YKObjectLayer", Viewer());
             at != nullptr; at = at->IterateHirarchyToNext("YKObjectLayer", Viewer())) {
            auto* object = static_cast<YKObjectLayer*>(at);
            if (object->Name() != nullptr && std::strcmp(object->Name(), name) == 0) {
                return object;
            }
        }
        return nullptr;
    }
    std::vector<int32> SunKeys() const {
        std::vector<int32> frames;
        const YKList<YKKeyFrame*>* keys = mSun->PositionEnvelop()->KeyFrameList();
        for (int32 i = 0; i < keys->CountItems(); ++i) {
            frames.push_back(keys->ItemAt(i)->FrameNumber());
        }
        return frames;
    }
    // The pixels the window's view composed.
    std::string Composed() const {
        std::unique_ptr<YKRaster> raster(Viewer()->ExportRaster(0));
        return raster != nullptr ? std::string(reinterpret_cast<const char*>(raster->Bits()),
                                               raster->BitsLength())
                                 : std::string();
    }
    int32 UndoActions() const {
        YKUndoManager* undo = mDocument->UndoManager();
        int32 actions = 0;
        for (int32 i = 0; i < undo->UndoStackSize(); ++i) {
            actions += undo->UndoIsTerminatorAt(i) ? 1 : 0;
        }
        return actions;
    }

    YKTimelinePanel* mPanel = nullptr;
    YKEnvelopManager* mManager = nullptr;
    YKObjectLayer* mSun = nullptr;
};

// Each edit at frame 5 of the 20-frame banner, where the sun has position keys at 1 and 20.
struct FrameEdit {
    const char* button;
    int32 insertCount;
    int32 frames;
    std::vector<int32> sunKeys;
};

TEST_F(TimelinePanelTest, FrameEditButtonsAreOneUndoActionEach) {
    ASSERT_EQ(mManager->MaxFrame(), 20);
    ASSERT_EQ(SunKeys(), (std::vector<int32>{1, 20}));
    const FrameEdit kEdits[] = {
        {"Insert Frame", 1, 21, {1, 21}},
        {"Insert Frame", 3, 23, {1, 23}},
        {"Delete Frame", 1, 19, {1, 19}},
        {"Paste Frame", 1, 21, {1, 5, 21}},  // copied at frame 1
        {"Replace Frame", 1, 20, {1, 5, 20}},
        {"Add Keys To Frame", 1, 20, {1, 5, 20}},
        {"Insert Key Frame", 1, 20, {1, 5, 20}},  // the sun is selected
    };
    Click("Copy Frame");
    ClickFrame(5);
    ASSERT_EQ(mManager->CurrentFrame(), 5);
    mWindow->Events()->Select(mSun, true);
    for (const FrameEdit& edit : kEdits) {
        SCOPED_TRACE(edit.button);
        mPanel->findChild<QSpinBox*>("insertCount")->setValue(edit.insertCount);
        const std::string before = Saved();
        const int32 actions = UndoActions();
        Click(edit.button);
        EXPECT_EQ(mManager->MaxFrame(), edit.frames);
        EXPECT_EQ(mPanel->Grid()->FrameCount(), edit.frames);
        EXPECT_EQ(SunKeys(), edit.sunKeys);
        EXPECT_EQ(UndoActions(), actions + 1);
        const std::string after = Saved();
        EXPECT_TRUE(after != before);
        Undo();
        EXPECT_TRUE(Saved() == before) << "undo left the document changed";
        mPanel->RefreshNow();
        EXPECT_EQ(mPanel->Grid()->FrameCount(), 20);
        Redo();
        EXPECT_TRUE(Saved() == after) << "redo did not do the edit again";
        Undo();
    }
    // Only the selected object got keys from "Insert Key Frame"; the ribbon has none there.
    Click("Insert Key Frame");
    EXPECT_EQ(Object("Ribbon")->PositionEnvelop()->KeyFramePointer(5), nullptr);

    // Keys leave the frame again; an envelope's only key stays.
    Click("Add Keys To Frame");
    Click("Delete Keys From Frame");
    EXPECT_EQ(SunKeys(), (std::vector<int32>{1, 20}));
    EXPECT_EQ(Object("Ribbon")->PositionEnvelop()->CountKeyFrames(), 1);
}

// An edit at the frame shown redraws it, though the frame did not change: a copy of frame 1
// replacing frame 10 makes frame 10 look like frame 1, and undo brings frame 10 back.
TEST_F(TimelinePanelTest, ReplacingTheFrameShownRedrawsIt) {
    const std::string first = Composed();
    Click("Copy Frame");
    ClickFrame(10);
    ASSERT_EQ(mManager->CurrentFrame(), 10);
    EXPECT_EQ(mPanel->Grid()->CurrentFrame(), 10);
    const std::string tenth = Composed();
    ASSERT_TRUE(tenth != first) << "the banner does not move between frames 1 and 10";

    Click("Replace Frame");
    EXPECT_TRUE(Composed() == first);
    Undo();
    EXPECT_TRUE(Composed() == tenth);
    Redo();
    EXPECT_TRUE(Composed() == first);
}

TEST_F(TimelinePanelTest, DurationBoxSetsTheCurrentFrameInOneStep) {
    ClickFrame(3);
    auto* box = mPanel->findChild<QSpinBox*>("duration");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->value(), 8);
    const std::string before = Saved();
    const int32 actions = UndoActions();
    box->setFocus();
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(box, Qt::Key_Up);
    }
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FLOAT_EQ(mManager->FrameDuration(3), 12.0f);
    EXPECT_FLOAT_EQ(mManager->FrameDuration(4), 8.0f);
    EXPECT_EQ(UndoActions(), actions + 1);
    // Out of range is clamped by the box, never stored.
    box->selectAll();
    QTest::keyClicks(box, "999999");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_LE(mManager->FrameDuration(3), static_cast<float>(box->maximum()));
    // A number typed and left for another frame belongs to the frame it was typed for.
    box->selectAll();
    QTest::keyClicks(box, "30");
    ClickFrame(6);
    EXPECT_FLOAT_EQ(mManager->FrameDuration(3), 30.0f);
    EXPECT_FLOAT_EQ(mManager->FrameDuration(6), 8.0f);
    EXPECT_EQ(box->value(), 8);
    Undo();
    Undo();
    Undo();
    // Undone at frame 6, the edits of frame 3 take the views back there.
    EXPECT_EQ(mManager->CurrentFrame(), 3);
    EXPECT_TRUE(Saved() == before);
}

TEST_F(TimelinePanelTest, PlayFollowsTheFramesAndStopHoldsOne) {
    YKTimelineGrid* grid = mPanel->Grid();
    EXPECT_EQ(grid->CurrentFrame(), 1);
    Click("Play");
    QTRY_VERIFY(grid->CurrentFrame() > 2);
    EXPECT_TRUE(Button("Stop")->isEnabled());
    EXPECT_FALSE(Button("Delete Frame")->isEnabled()) << "frames are edited while playing";
    Click("Stop");
    EXPECT_FALSE(mWindow->Playback()->IsPlaying());
    QTRY_VERIFY(!Button("Stop")->isEnabled());
    const int32 held = mManager->CurrentFrame();
    EXPECT_EQ(grid->CurrentFrame(), held);
    QTest::qWait(3 * 80);
    EXPECT_EQ(mManager->CurrentFrame(), held);
    EXPECT_EQ(grid->CurrentFrame(), held);
}

}  // namespace
