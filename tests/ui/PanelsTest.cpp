// The docked panels as a whole, the preferences that rule the windows, and the alignment panel.

#include <QCheckBox>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <map>
#include <set>

#include "PanelFixture.h"
#include "YKAlignmentPanel.h"
#include "YKCanvasView.h"
#include "YKObjectLayer.h"
#include "YKPreferencesWindow.h"
#include "YKToolState.h"

namespace {

constexpr int32 kRectangleTool = 12;

using PanelsTest = PanelFixture;

// Every panel but the effects (which the Effects menus open) has a Window menu item.
TEST_F(PanelsTest, WindowMenuItemsShowAndHideTheirPanels) {
    QMenu* windowMenu = nullptr;
    for (QAction* top : mWindow->menuBar()->actions()) {
        windowMenu = top->text() == "Window" ? top->menu() : windowMenu;
    }
    ASSERT_NE(windowMenu, nullptr);
    std::set<std::string> toggled;
    for (QAction* item : windowMenu->actions()) {
        if (!item->isCheckable()) {
            continue;
        }
        std::map<std::string, bool> shown;
        for (const YKPanelDocks::Kind& kind : YKPanelDocks::Kinds()) {
            shown[kind.key] = mWindow->Panels().Dock(kind.key)->isVisible();
        }
        item->trigger();
        for (const YKPanelDocks::Kind& kind : YKPanelDocks::Kinds()) {
            if (mWindow->Panels().Dock(kind.key)->isVisible() != shown[kind.key]) {
                toggled.insert(kind.key);
            }
        }
        item->trigger();
        for (const YKPanelDocks::Kind& kind : YKPanelDocks::Kinds()) {
            EXPECT_EQ(mWindow->Panels().Dock(kind.key)->isVisible(), shown[kind.key]) << kind.key;
        }
    }
    for (const YKPanelDocks::Kind& kind : YKPanelDocks::Kinds()) {
        EXPECT_TRUE(toggled.count(kind.key) == 1 || std::string(kind.key) == "effects")
            << "no Window menu item opens " << kind.key;
    }
}

// "Float panel" keeps floating panels above every window, those floating already included;
// "First click" off, a click on an inactive window only brings it forward.
TEST_F(PanelsTest, PanelAndClickPreferencesTakeEffect) {
    QDockWidget* dock = mWindow->Panels().Dock("layers");
    dock->show();
    dock->setFloating(true);
    QApplication::processEvents();
    const auto above = [dock] {
        return dock->windowHandle() != nullptr &&
               dock->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    };
    EXPECT_FALSE(above());
    YKPreferencesWindow& preferences = mGravik->PreferencesWindow();
    for (const bool on : {true, false}) {
        Send('grPp');
        preferences.FloatPanel()->setChecked(on);
        preferences.accept();
        EXPECT_EQ(above(), on);
        dock->setFloating(false);
        dock->setFloating(true);
        QApplication::processEvents();
        EXPECT_EQ(above(), on) << "a panel floated again";
    }
    // The next test finds the panel docked.
    dock->setFloating(false);

    YKToolState::Application().SetSelectedTool(kRectangleTool);
    YKCanvasView* canvas = mWindow->Canvas();
    const auto drag = [canvas] {
        const YKPoint<float> from = canvas->BitmapToView(YKPoint<float>{10, 10});
        const YKPoint<float> to = canvas->BitmapToView(YKPoint<float>{40, 30});
        QWidget* viewport = canvas->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(from.x, from.y));
        QTest::mouseMove(viewport, QPoint(to.x, to.y));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(to.x, to.y));
        QApplication::processEvents();
    };
    QWidget other;
    other.show();
    const int32 count = Viewer()->CurrentUserLayer()->CountChildren();
    for (const bool firstClick : {false, true}) {
        mGravik->Preferences().SetPrefFirstClick(firstClick);
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        drag();
        EXPECT_EQ(Viewer()->CurrentUserLayer()->CountChildren(), count + (firstClick ? 1 : 0))
            << "first click " << firstClick;
    }
    mWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow));
    // Active, the window takes a click whatever the preference (once the activating click's
    // moment has passed).
    mGravik->Preferences().SetPrefFirstClick(false);
    QTest::qWait(300);
    drag();
    EXPECT_EQ(Viewer()->CurrentUserLayer()->CountChildren(), count + 2);
    mGravik->Preferences().SetPrefFirstClick(true);
    YKToolState::Application().SetSelectedTool(0);
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
