// The layers and objects panels: each row control, the tool bars, reordering and the
// selection, driven through the widgets and judged by the saved document.

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <functional>

#include "PanelFixture.h"
#include "YKLayerRowView.h"
#include "YKLayersPanel.h"
#include "YKObjectLayer.h"
#include "YKObjectsPanel.h"
#include "YKUserLayer.h"

namespace {

class LayersPanelTest : public PanelFixture {
public:
    // The panel of `key` with two new user layers over the sample's, so that the stack has an
    // order; the objects panel lists the sample's layer.
    YKLayerListPanel* Prepared(const char* key) {
        if (Viewer()->CountChildren() == 1) {
            Send('Lnew');
            Send('Lnew');
        }
        auto* panel = Shown<YKLayerListPanel>(key);
        if (panel != nullptr && std::string(key) == "objects") {
            // The objects of the sample's layer, the one that has them.
            Choose(Shown<YKLayerListPanel>("layers"), SampleLayerRow());
            panel->RefreshNow();
        }
        return panel;
    }

    int SampleLayerRow() const { return Viewer()->CountChildren() - 1; }

    // Clicks a row's name, as a user picks it.
    void Choose(YKLayerListPanel* panel, int row, Qt::KeyboardModifiers keys = {}) {
        YKLayerRowView* rows = panel->Rows();
        QTreeWidgetItem* item = rows->topLevelItem(row);
        ASSERT_NE(item, nullptr) << "no row " << row;
        rows->scrollToItem(item);
        const QRect place = rows->visualItemRect(item);
        const int x = rows->header()->sectionPosition(YKLayerRowView::kName) + 8;
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, keys, QPoint(x, place.center().y()));
        panel->RefreshNow();
    }

    int RowNamed(YKLayerListPanel* panel, const char* name) {
        const QList<QTreeWidgetItem*> found =
            panel->Rows()->findItems(name, Qt::MatchExactly, YKLayerRowView::kName);
        return found.isEmpty() ? -1 : panel->Rows()->indexOfTopLevelItem(found.front());
    }

    QAction* Tool(YKLayerListPanel* panel, const char* label) {
        for (QAction* action : panel->Tools()->actions()) {
            if (action->text() == label) {
                return action;
            }
        }
        ADD_FAILURE() << "no tool " << label;
        return nullptr;
    }

    // `act` through the widgets changes the document, one Undo brings it back byte for byte,
    // and Redo makes the same change again.
    void ExpectUndoableChange(const char* what, const std::function<void()>& act) {
        const std::string before = Saved();
        act();
        QApplication::processEvents();
        const std::string changed = Saved();
        EXPECT_TRUE(changed != before) << what << " changed nothing";
        Undo();
        EXPECT_TRUE(Saved() == before) << what << ": undo left the document changed";
        Redo();
        EXPECT_TRUE(Saved() == changed) << what << ": redo did not make the same change";
        Undo();
    }
};

using RowAction = std::function<void(YKLayerListPanel*, QTreeWidgetItem*)>;

struct RowControl {
    const char* name;
    RowAction act;
};

const RowControl kRowControls[] = {
    {"visibility",
     [](YKLayerListPanel*, QTreeWidgetItem* item) {
         item->setCheckState(YKLayerRowView::kVisible, Qt::Unchecked);
     }},
    {"lock",
     [](YKLayerListPanel*, QTreeWidgetItem* item) {
         item->setCheckState(YKLayerRowView::kLocked, Qt::Checked);
     }},
    {"rename", [](YKLayerListPanel*,
                  QTreeWidgetItem* item) { item->setText(YKLayerRowView::kName, "Renamed"); }},
    {"opacity",
     [](YKLayerListPanel* panel, QTreeWidgetItem*) {
         panel->OpacityBox()->setFocus();
         panel->OpacityBox()->setValue(40);
         QTest::keyClick(panel->OpacityBox(), Qt::Key_Enter);
     }},
    {"merge method",
     [](YKLayerListPanel* panel, QTreeWidgetItem*) {
         QComboBox* merge = panel->MergeBox();
         merge->setCurrentIndex(8);
         Q_EMIT merge->activated(8);
     }},
};

TEST_F(LayersPanelTest, EveryRowControlOfBothPanelsIsOneUndoableChange) {
    // The sample's layer; an object that merges by itself (its first opacity wraps it in a
    // layer of its own); one whose opacity its own cache layer already carries.
    struct Row {
        const char* panel;
        const char* name;  // null: the sample's layer
        bool wrapped;
    };
    for (const Row& target : {Row{"layers", nullptr, false}, Row{"objects", "Sun", false},
                              Row{"objects", "Button", true}}) {
        YKLayerListPanel* panel = Prepared(target.panel);
        ASSERT_NE(panel, nullptr);
        const int row = target.name == nullptr ? SampleLayerRow() : RowNamed(panel, target.name);
        ASSERT_GE(row, 0) << target.name;
        if (target.name != nullptr) {
            auto* object = dynamic_cast<YKObjectLayer*>(panel->RowLayer(row));
            YKLayer* inner = object == nullptr ? panel->RowLayer(row)->ChildAt(0) : object;
            ASSERT_EQ(static_cast<YKObjectLayer*>(inner)->DedicatedParent() != nullptr,
                      target.wrapped);
        }
        Choose(panel, row);
        ASSERT_TRUE(panel->Rows()->topLevelItem(row)->isSelected()) << target.panel;
        for (const RowControl& control : kRowControls) {
            SCOPED_TRACE(std::string(target.panel) + " " + control.name);
            ExpectUndoableChange(control.name,
                                 [&] { control.act(panel, panel->Rows()->topLevelItem(row)); });
            panel->RefreshNow();
        }
    }
}

TEST_F(LayersPanelTest, RenameShowsTheNewNameAndRefusesAnEmptyOne) {
    YKLayerListPanel* panel = Prepared("layers");
    ASSERT_NE(panel, nullptr);
    auto* layer = static_cast<YKUserLayer*>(panel->RowLayer(0));
    const std::string name = layer->GetFullName();
    panel->Rows()->topLevelItem(0)->setText(YKLayerRowView::kName, "  ");
    QApplication::processEvents();
    EXPECT_EQ(layer->GetFullName(), name);
    EXPECT_EQ(panel->Rows()->topLevelItem(0)->text(YKLayerRowView::kName).toStdString(), name);
    panel->Rows()->topLevelItem(0)->setText(YKLayerRowView::kName, "Sky");
    QApplication::processEvents();
    EXPECT_STREQ(layer->Name(), "Sky");
    EXPECT_EQ(panel->Rows()->topLevelItem(0)->text(YKLayerRowView::kName), "Sky");
}

TEST_F(LayersPanelTest, ToolBarCommandsChangeTheListAndUndo) {
    struct Case {
        const char* panel;
        const char* tool;
        int row;    // the chosen row; -1 for the sample's layer
        int added;  // rows the command adds
    };
    for (const Case& step :
         {Case{"layers", "New", 1, 1}, Case{"layers", "Dup", 1, 1}, Case{"layers", "Del", 1, -1},
          Case{"layers", "Flatten", -1, 0}, Case{"layers", "Merge", 1, -1},
          Case{"objects", "Dup", 3, 1}, Case{"objects", "Del", 3, -1}}) {
        SCOPED_TRACE(std::string(step.panel) + " " + step.tool);
        YKLayerListPanel* panel = Prepared(step.panel);
        ASSERT_NE(panel, nullptr);
        Choose(panel, step.row < 0 ? SampleLayerRow() : step.row);
        const int count = panel->Rows()->topLevelItemCount();
        ExpectUndoableChange(step.tool, [&] {
            Tool(panel, step.tool)->trigger();
            EXPECT_EQ(panel->Rows()->topLevelItemCount(), count + step.added);
        });
        panel->RefreshNow();
        EXPECT_EQ(panel->Rows()->topLevelItemCount(), count);
    }
}

TEST_F(LayersPanelTest, DroppingARowReordersTheStackAndUndoPutsItBack) {
    for (const char* key : {"layers", "objects"}) {
        SCOPED_TRACE(key);
        YKLayerListPanel* panel = Prepared(key);
        ASSERT_NE(panel, nullptr);
        YKLayer* top = panel->RowLayer(0);
        YKLayer* second = panel->RowLayer(1);
        const int count = panel->Rows()->topLevelItemCount();
        ExpectUndoableChange("move", [&] {
            // The top row dropped below the last one: it becomes the bottom.
            panel->MoveRow(0, count);
            EXPECT_EQ(panel->RowLayer(count - 1), top);
            EXPECT_EQ(panel->RowLayer(0), second);
            EXPECT_EQ(top->Parent()->IndexOfChild(top), 0);
        });
        panel->RefreshNow();
        EXPECT_EQ(panel->RowLayer(0), top);
        ExpectUndoableChange("move up", [&] {
            panel->MoveRow(count - 1, 0);
            EXPECT_EQ(top->Parent()->IndexOfChild(panel->RowLayer(0)), count - 1);
        });
    }
}

TEST_F(LayersPanelTest, ClickingALayerMakesItCurrentAndListsItsObjects) {
    Send('Lnew');
    auto* layers = Shown<YKLayerListPanel>("layers");
    auto* objects = Shown<YKLayerListPanel>("objects");
    ASSERT_NE(layers, nullptr);
    ASSERT_NE(objects, nullptr);
    objects->RefreshNow();
    EXPECT_EQ(objects->Rows()->topLevelItemCount(), 0) << "the new layer is empty";
    Choose(layers, 1);
    objects->RefreshNow();
    YKLayer* sample = Viewer()->ChildAt(0);
    EXPECT_EQ(Viewer()->CurrentUserLayer(), sample);
    EXPECT_TRUE(static_cast<YKUserLayer*>(sample)->IsUserLayerSelected(0));
    EXPECT_EQ(objects->Rows()->topLevelItemCount(), sample->CountChildren());
}

TEST_F(LayersPanelTest, ObjectSelectionFollowsTheRowsAndTheCanvas) {
    YKLayerListPanel* panel = Prepared("objects");
    ASSERT_NE(panel, nullptr);
    YKLayer* layer = Viewer()->CurrentUserLayer();
    Choose(panel, 0);
    Choose(panel, 2, Qt::ControlModifier);
    std::vector<YKLayer*> selected = Viewer()->SelectedObjects(0, layer);
    ASSERT_EQ(selected.size(), 2u);
    Choose(panel, 4, Qt::ShiftModifier);
    // Whatever the view's rules for Shift, the objects selected are the rows selected.
    const int rowsSelected = static_cast<int>(panel->Rows()->selectedItems().size());
    EXPECT_GE(rowsSelected, 3) << "rows 2 to 4";
    EXPECT_EQ(static_cast<int>(Viewer()->SelectedObjects(0, layer).size()), rowsSelected);

    // The canvas selects everything: every row follows, in place.
    QTreeWidgetItem* first = panel->Rows()->topLevelItem(0);
    Send('Sall');
    panel->RefreshNow();
    for (int row = 0; row < panel->Rows()->topLevelItemCount(); ++row) {
        EXPECT_TRUE(panel->Rows()->topLevelItem(row)->isSelected()) << row;
    }
    EXPECT_EQ(panel->Rows()->topLevelItem(0), first) << "a selection rebuilt the rows";
    Send('SDso');
    panel->RefreshNow();
    EXPECT_TRUE(panel->Rows()->selectedItems().isEmpty());
    EXPECT_FALSE(panel->OpacityBox()->isEnabled()) << "no object to show";
}

}  // namespace
