// The inspector of fills and strokes, the gradient composer and the colour picker, driven through
// their widgets: each change reaches the objects, and Undo gives the document back byte for byte.

#include <QColorDialog>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <fstream>

#include "PanelFixture.h"
#include "YKColorButton.h"
#include "YKColorPickerPanel.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKGradientBar.h"
#include "YKGradientComposer.h"
#include "YKInspectorPanel.h"
#include "YKKeyFrameButton.h"
#include "YKPaintEditor.h"
#include "YKRasterLayer.h"
#include "YKVectorEntity.h"
#include "yk_sketch_modes.h"

namespace {

class InspectorPanelTest : public PanelFixture {
public:
    // The sample's first object of a kind.
    YKRasterLayer* Find(int32 typeID) {
        for (YKLayer* layer = Viewer(); layer != nullptr;
             layer = layer->IterateHirarchyToNext(nullptr, Viewer())) {
            auto* object = dynamic_cast<YKRasterLayer*>(layer);
            if (object != nullptr && object->TypeID() == typeID) {
                return object;
            }
        }
        ADD_FAILURE() << "no object of kind " << typeID;
        return nullptr;
    }
    // That object selected, alone or beside the selection.
    YKRasterLayer* SelectOnly(int32 typeID, bool alone = true) {
        YKRasterLayer* found = Find(typeID);
        if (found != nullptr) {
            Viewer()->SetCurrentUserLayer(found->Parent());
            if (alone) {
                Send('SDso');
            }
            mWindow->Events()->Select(found, alone);
            QApplication::processEvents();
        }
        return found;
    }

    static YKVectorAttributes Attributes(YKRasterLayer* object) {
        YKVectorAttributes a;
        object->Entity()->getAttributes(&a);
        return a;
    }

    // Picks a menu entry from the keyboard, as a user does (only that reports a choice).
    static void Choose(QComboBox* menu, int index) {
        menu->setCurrentIndex(index > 0 ? index - 1 : 1);
        QTest::keyClick(menu, index > 0 ? Qt::Key_Down : Qt::Key_Up);
    }
    static void Type(QDoubleSpinBox* box, double value) {
        box->setValue(value);
        QTest::keyClick(box, Qt::Key_Return);
    }
    static void Pick(YKColorButton* button, QColor color) {
        QTest::mouseClick(button, Qt::LeftButton);
        auto* dialog = button->findChild<QColorDialog*>();
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(color);
        dialog->accept();
    }
    // Runs `edit` and checks it changed the saved document, that the objects show `check`, and
    // that one Undo brings the document back byte for byte.
    template <typename Edit, typename Check>
    void EditAndUndo(const char* what, Edit edit, Check check) {
        SCOPED_TRACE(what);
        const std::string before = Saved();
        edit();
        QApplication::processEvents();
        check();
        EXPECT_TRUE(Saved() != before) << "the document did not change";
        Undo();
        EXPECT_TRUE(Saved() == before) << "undo left the document changed";
    }
};

TEST_F(InspectorPanelTest, EveryControlEditsTheObjectAndOneUndoTakesItBack) {
    auto* panel = Shown<YKInspectorPanel>("inspector");
    ASSERT_NE(panel, nullptr);
    YKRasterLayer* arc = SelectOnly(YKRasterLayer::kArc);
    ASSERT_NE(arc, nullptr);
    panel->RefreshNow();
    EXPECT_EQ(panel->DashMenu()->currentIndex(), 1) << "the orbit's dash is not shown";

    EditAndUndo(
        "stroke colour",
        [&] { Pick(panel->StrokeEditor()->ColorButton(), QColor(10, 200, 30, 128)); },
        [&] {
            const yk_color c = Attributes(arc).strokeColor;
            EXPECT_EQ(std::vector<int>({c.red, c.green, c.blue, c.alpha}),
                      std::vector<int>({10, 200, 30, 128}));
        });
    EditAndUndo(
        "fill colour of an unfilled object",
        [&] { Pick(panel->FillEditor()->ColorButton(), Qt::red); },
        [&] { EXPECT_EQ(Attributes(arc).fillColorFlag, kColorFlagColor); });
    EditAndUndo(
        "width", [&] { Type(panel->WidthBox(), 7.5); },
        [&] { EXPECT_DOUBLE_EQ(Attributes(arc).width, 7.5); });
    EditAndUndo(
        "dash", [&] { Choose(panel->DashMenu(), 4); },
        [&] { EXPECT_TRUE(*Attributes(arc).dash == *YKDash::PredefDash(4)); });
    EditAndUndo(
        "caps", [&] { Choose(panel->LastCapMenu(), panel->LastCapMenu()->findText("Nail")); },
        [&] {
            EXPECT_EQ(Attributes(arc).lastCap, YK_CAP_NAIL);
            EXPECT_EQ(Attributes(arc).firstCap, YK_CAP_ROUND) << "the other cap changed too";
        });
    EditAndUndo(
        "join", [&] { Choose(panel->JoinMenu(), panel->JoinMenu()->findText("Round")); },
        [&] { EXPECT_EQ(Attributes(arc).join, YK_JOIN_ROUND); });
}

TEST_F(InspectorPanelTest, SeveralObjectsShowMixedValuesAndChangeAsOneAction) {
    auto* panel = Shown<YKInspectorPanel>("inspector");
    ASSERT_NE(panel, nullptr);
    YKRasterLayer* arc = SelectOnly(YKRasterLayer::kArc);
    ASSERT_NE(arc, nullptr);
    Send('Sall');
    const std::vector<YKRasterLayer*> objects = panel->SelectedVectors();
    ASSERT_GE(objects.size(), 3u);
    panel->RefreshNow();
    EXPECT_EQ(panel->WidthBox()->text(), "Mixed");
    EXPECT_EQ(panel->DashMenu()->currentIndex(), -1) << "dashes differ, yet one shows";

    // Stepped several times: still one change.
    EditAndUndo(
        "width of all",
        [&] {
            panel->WidthBox()->setValue(4);
            panel->WidthBox()->setValue(5);
            Type(panel->WidthBox(), 6);
        },
        [&] {
            for (YKRasterLayer* object : objects) {
                EXPECT_DOUBLE_EQ(Attributes(object).width, 6);
            }
        });
    // Equal dashes are one dash, though every object holds its own copy.
    SelectOnly(YKRasterLayer::kArc);
    SelectOnly(YKRasterLayer::kPolyline, false);
    panel->RefreshNow();
    EXPECT_EQ(panel->DashMenu()->currentIndex(), -1);
    Choose(panel->DashMenu(), 2);
    panel->RefreshNow();
    EXPECT_EQ(panel->DashMenu()->currentIndex(), 2);
}

TEST_F(InspectorPanelTest, KeyFrameAtTheCurrentFrameAnimatesTheWidth) {
    auto* panel = Shown<YKInspectorPanel>("inspector");
    ASSERT_NE(panel, nullptr);
    YKRasterLayer* zigzag = SelectOnly(YKRasterLayer::kPolyline);
    ASSERT_NE(zigzag, nullptr);
    YKEnvelopDouble* width = zigzag->Entity()->Stroke()->width.get();
    Send(2);  // the next frame, twice
    Send(2);
    ASSERT_EQ(mDocument->EnvelopManager()->CurrentFrame(), 3);
    panel->RefreshNow();
    ASSERT_FALSE(panel->WidthKey()->IsKeyed());

    const std::string before = Saved();
    const int32 frames = mDocument->EnvelopManager()->MaxFrame();
    QTest::mouseClick(panel->WidthKey(), Qt::LeftButton);
    width = zigzag->Entity()->Stroke()->width.get();
    EXPECT_NE(width->KeyFramePointer(3), nullptr);
    // A key past the last frame adds frames up to it, and one Undo takes both back.
    EXPECT_EQ(mDocument->EnvelopManager()->MaxFrame(), std::max(frames, 3));
    Undo();
    EXPECT_EQ(mDocument->EnvelopManager()->MaxFrame(), frames);
    EXPECT_TRUE(Saved() == before);
    Redo();
    width = zigzag->Entity()->Stroke()->width.get();
    EXPECT_NE(width->KeyFramePointer(3), nullptr);
    panel->RefreshNow();
    EXPECT_TRUE(panel->WidthKey()->IsKeyed());
    Type(panel->WidthBox(), 9);
    width = zigzag->Entity()->Stroke()->width.get();
    EXPECT_DOUBLE_EQ(width->Value(3), 9);
    EXPECT_DOUBLE_EQ(width->Value(1), 3) << "the key at frame 3 changed frame 1";

    // Removing it gives frame 3 the value around it again.
    panel->RefreshNow();
    QTest::mouseClick(panel->WidthKey(), Qt::LeftButton);
    width = zigzag->Entity()->Stroke()->width.get();
    EXPECT_EQ(width->KeyFramePointer(3), nullptr);
    EXPECT_DOUBLE_EQ(width->Value(3), 3);
    Undo();
    Undo();
    Undo();
    EXPECT_TRUE(Saved() == before);

    // The last key of a value is refused with a message.
    Send(7);  // the first frame
    const std::string atFirst = Saved();
    panel->RefreshNow();
    width = zigzag->Entity()->Stroke()->width.get();
    ASSERT_EQ(width->CountKeyFrames(), 1);
    ASSERT_TRUE(panel->WidthKey()->IsKeyed());
    mAlerts.ClearShown();
    QTest::mouseClick(panel->WidthKey(), Qt::LeftButton);
    EXPECT_EQ(mAlerts.Shown().size(), 1u);
    EXPECT_TRUE(Saved() == atFirst);
}

TEST_F(InspectorPanelTest, ComposerOperationsReachTheObjectsGradient) {
    auto* panel = Shown<YKInspectorPanel>("inspector");
    ASSERT_NE(panel, nullptr);
    YKRasterLayer* ribbon = SelectOnly(YKRasterLayer::kRectangle);
    ASSERT_NE(ribbon, nullptr);
    panel->RefreshNow();
    const std::string before = Saved();
    // A first gradient runs from the fill's colour to white.
    Pick(panel->FillEditor()->ColorButton(), Qt::blue);
    QComboBox* kind = panel->FillEditor()->KindMenu();
    Choose(kind, kind->findData(kColorFlagGradient));
    ASSERT_EQ(Attributes(ribbon).fillColorFlag, kColorFlagGradient);
    const YKGradient* first = Attributes(ribbon).fillGradient->GetGradient();
    ASSERT_EQ(first->Size(), 1);
    EXPECT_TRUE(first->get_first_item()->GetLC() == (YKGradientItem::Color{0, 0, 1, 1}));

    panel->RefreshNow();
    QPushButton* open = nullptr;
    for (QPushButton* button : panel->FillEditor()->findChildren<QPushButton*>()) {
        open = button->text().startsWith("Gradient") ? button : open;
    }
    ASSERT_NE(open, nullptr);
    QTest::mouseClick(open, Qt::LeftButton);
    auto* composer = dynamic_cast<YKGradientComposer*>(mWindow->Panels().Panel("gradient"));
    ASSERT_NE(composer, nullptr);
    ASSERT_TRUE(composer->isVisible());
    composer->RefreshNow();
    const auto button = [&](const char* label) {
        for (QPushButton* b : composer->findChildren<QPushButton*>()) {
            if (b->text() == label) {
                return b;
            }
        }
        ADD_FAILURE() << "no button " << label;
        return static_cast<QPushButton*>(nullptr);
    };
    const auto items = [&] {
        std::vector<YKGradientItem*> list;
        for (YKGradientItem* i = Attributes(ribbon).fillGradient->GetGradient()->get_first_item();
             i != nullptr; i = i->Next()) {
            list.push_back(i);
        }
        return list;
    };

    // Split in two equal items, the middle colour shared.
    composer->findChild<QSpinBox*>()->setValue(2);
    QTest::mouseClick(button("Split Uniform"), Qt::LeftButton);
    std::vector<YKGradientItem*> split = items();
    ASSERT_EQ(split.size(), 2u);
    EXPECT_DOUBLE_EQ(split[0]->GetRight(), 0.5);
    EXPECT_TRUE(split[0]->GetRC() == split[1]->GetLC());
    const YKGradientItem::Color start = split[0]->GetLC();
    const YKGradientItem::Color end = split[1]->GetRC();

    // Both selected on the bar (a click, a Shift-click), then flipped.
    YKGradientBar* bar = composer->Bar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->XOf(0.2), 10));
    QTest::mouseClick(bar, Qt::LeftButton, Qt::ShiftModifier, QPoint(bar->XOf(0.8), 10));
    EXPECT_EQ(composer->SelectionStart(), 0);
    EXPECT_EQ(composer->SelectionEnd(), 1);
    QTest::mouseClick(button("Flip"), Qt::LeftButton);
    std::vector<YKGradientItem*> flipped = items();
    ASSERT_EQ(flipped.size(), 2u);
    EXPECT_TRUE(flipped[0]->GetLC() == end);
    EXPECT_TRUE(flipped[1]->GetRC() == start);

    // Dragging the border between them is one action however far it goes.
    const int handles = 36;  // below the bar, where the handles are
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->XOf(0.5), handles));
    QTest::mouseMove(bar, QPoint(bar->XOf(0.6), handles));
    QTest::mouseMove(bar, QPoint(bar->XOf(0.7), handles));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->XOf(0.7), handles));
    EXPECT_NEAR(items()[0]->GetRight(), 0.7, 0.01);
    EXPECT_DOUBLE_EQ(items()[1]->GetLeft(), items()[0]->GetRight());
    Undo();
    EXPECT_DOUBLE_EQ(items()[0]->GetRight(), 0.5);

    // Colour, kind, split and flip are four actions.
    Undo();
    EXPECT_TRUE(items()[0]->GetLC() == start);
    for (int i = 0; i < 3; ++i) {
        Undo();
    }
    EXPECT_TRUE(Saved() == before);
}

TEST_F(InspectorPanelTest, GradientFilesRoundTripAndABadOneChangesNothing) {
    auto* composer = Shown<YKGradientComposer>("gradient");
    ASSERT_NE(composer, nullptr);
    YKRasterLayer* ground = SelectOnly(YKRasterLayer::kRoundRectangle);
    ASSERT_NE(ground, nullptr);
    composer->RefreshNow();
    const std::string before = Saved();
    mAlerts.ClearShown();
    for (const std::string& bytes :
         {std::string("not a gradient at all"), std::string("YKGR\x04\0\0\0name\x09\0\0\0", 16)}) {
        const std::string path = (mFolder.Path() / "bad.ykgr").string();
        std::ofstream(path, std::ios::binary) << bytes;
        EXPECT_FALSE(composer->LoadGradient(QString::fromStdString(path)));
    }
    EXPECT_EQ(mAlerts.Shown().size(), 2u);
    EXPECT_TRUE(Saved() == before);

    // A file written from the sun's gradient gives the ground the same ramp.
    const YKGradient ramp =
        *Attributes(SelectOnly(YKRasterLayer::kEllipse)).fillGradient->GetGradient();
    composer->RefreshNow();
    const QString path = QString::fromStdString((mFolder.Path() / "sun.ykgr").string());
    ASSERT_TRUE(composer->SaveGradient(path));
    SelectOnly(YKRasterLayer::kRoundRectangle);
    composer->RefreshNow();
    ASSERT_TRUE(composer->LoadGradient(path));
    EXPECT_TRUE(*Attributes(ground).fillGradient->GetGradient() == ramp);
    Undo();
    EXPECT_TRUE(Saved() == before);
}

TEST_F(InspectorPanelTest, ColourPickerFillsTheSelectionOneActionPerPick) {
    auto* picker = Shown<YKColorPickerPanel>("colorpicker");
    ASSERT_NE(picker, nullptr);
    YKRasterLayer* arc = SelectOnly(YKRasterLayer::kArc);
    ASSERT_NE(arc, nullptr);
    picker->RefreshNow();
    EditAndUndo(
        "a pick dragged through three colours",
        [&] {
            for (QColor colour : {QColor(Qt::red), QColor(Qt::green), QColor(0, 0, 255, 100)}) {
                picker->Picker()->setCurrentColor(colour);
            }
            QTest::qWait(YKVectorPanel::kGestureIdle + 200);
        },
        [&] {
            const yk_color c = Attributes(arc).fillColor;
            EXPECT_EQ(std::vector<int>({c.red, c.green, c.blue, c.alpha}),
                      std::vector<int>({0, 0, 255, 100}));
            EXPECT_EQ(Attributes(arc).fillColorFlag, kColorFlagColor);
        });
}

}  // namespace
