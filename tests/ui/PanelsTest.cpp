// The docked panels as a whole, and the alignment panel.

#include <QDockWidget>
#include <QTest>
#include <QToolButton>

#include "PanelFixture.h"
#include "YKAlignmentPanel.h"
#include "YKObjectLayer.h"

namespace {

using PanelsTest = PanelFixture;

TEST_F(PanelsTest, WindowMenuItemsShowAndHideTheirPanels) {
    for (const YKPanelDocks::Kind& kind : YKPanelDocks::Kinds()) {
        if (kind.toggleCode == 0) {
            continue;
        }
        QDockWidget* dock = mWindow->Panels().Dock(kind.key);
        ASSERT_NE(dock, nullptr) << kind.key;
        const bool shown = dock->isVisible();
        YKMessage toggle = mWindow->CommandMessage(kind.toggleCode);
        mWindow->MessageReceived(toggle);
        EXPECT_EQ(mWindow->Panels().IsShown(kind.toggleCode), !shown) << kind.key;
        mWindow->MessageReceived(toggle);
        EXPECT_EQ(mWindow->Panels().IsShown(kind.toggleCode), shown) << kind.key;
    }
}

// What the user made of the panels is there again in the next session.
TEST_F(PanelsTest, PanelPlacesOutliveTheSession) {
    QDockWidget* alignment = mWindow->Panels().Dock("alignment");
    const bool shown = alignment->isVisible();
    Send('grAp');
    ASSERT_NE(alignment->isVisible(), shown);
    mDocument->SetModified(false);
    ASSERT_TRUE(mGravik->Quit());
    mGravik = std::make_unique<YKGravik>();
    StartForTest(*mGravik, &mAlerts);
    YKDocument* again = YKBuildSampleBanner(&mGravik->Dispatcher());
    auto* window = dynamic_cast<YKDocumentWindow*>(again->ViewerAt(0));
    ASSERT_NE(window, nullptr);
    EXPECT_NE(window->Panels().IsShown('grAp'), shown);
}

TEST_F(PanelsTest, AlignmentButtonsLineUpTheSelectionAndUndoPutsItBack) {
    auto* panel = Shown<YKAlignmentPanel>("alignment");
    ASSERT_NE(panel, nullptr);
    YKLayer* layer = Viewer()->ChildAt(Viewer()->CountChildren() - 1);
    Viewer()->SetCurrentUserLayer(layer);
    const QList<QToolButton*> buttons = panel->findChildren<QToolButton*>();
    panel->RefreshNow();
    EXPECT_FALSE(buttons.front()->isEnabled()) << "nothing is selected";

    Send('Sall');
    const std::vector<YKLayer*> selected = Viewer()->SelectedObjects(0, layer);
    ASSERT_GE(selected.size(), 2u);
    panel->RefreshNow();
    const std::string before = Saved();
    QToolButton* top = nullptr;
    for (QToolButton* button : buttons) {
        if (button->toolTip() == "Align Top") {
            top = button;
        }
    }
    ASSERT_NE(top, nullptr);
    ASSERT_TRUE(top->isEnabled());
    QTest::mouseClick(top, Qt::LeftButton);
    const double edge = static_cast<YKObjectLayer*>(selected.front())->BoundingBox().top;
    for (YKLayer* object : selected) {
        EXPECT_DOUBLE_EQ(static_cast<YKObjectLayer*>(object)->BoundingBox().top, edge);
    }
    EXPECT_TRUE(Saved() != before) << "aligning changed nothing";
    Undo();
    EXPECT_TRUE(Saved() == before) << "undo left the document changed";
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TempDir settings;
    setenv("XDG_CONFIG_HOME", settings.Path().c_str(), 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
