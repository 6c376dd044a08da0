// The document window's menu commands, each triggered as the user would, judged by what they do
// to the document. The executable's main() lives in DocumentWindowTest.cpp.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "SampleBanner.h"
#include "TempDir.h"
#include "TestStart.h"
#include "YKCanvasPanel.h"
#include "YKCanvasResize.h"
#include "YKClipboard.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEnvelopManager.h"
#include "YKGravik.h"
#include "YKHeadlessAlertPresenter.h"
#include "YKObjectLayer.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"

namespace {

class MenuCommandsTest : public testing::Test {
public:
    void SetUp() override {
        mGravik = std::make_unique<YKGravik>();
        StartForTest(*mGravik, &mAlerts);
        mDocument = YKBuildSampleBanner(&mGravik->Dispatcher());
        ASSERT_NE(mDocument, nullptr);
        mWindow = dynamic_cast<YKDocumentWindow*>(mDocument->ViewerAt(0));
        ASSERT_NE(mWindow, nullptr);
        QApplication::processEvents();
    }

    // The item at `path` of the menu bar ("Layer", "Flatten", "Up").
    QAction* Item(const QStringList& path) {
        QList<QAction*> actions = mWindow->menuBar()->actions();
        QAction* found = nullptr;
        for (const QString& label : path) {
            found = nullptr;
            for (QAction* action : actions) {
                if (action->text() == label) {
                    found = action;
                }
            }
            if (found == nullptr) {
                ADD_FAILURE() << "no item " << label.toStdString();
                return nullptr;
            }
            if (found->menu() != nullptr) {
                Q_EMIT found->menu()->aboutToShow();
                actions = found->menu()->actions();
            }
        }
        return found;
    }
    void Trigger(const QStringList& path) {
        if (QAction* action = Item(path)) {
            action->trigger();
            QApplication::processEvents();
        }
    }

    YKViewerLayer* Viewer() const { return mDocument->ViewerLayer(); }
    int32 UserLayers() const { return Viewer()->CountChildren(); }
    int32 Selected() const {
        return static_cast<int32>(Viewer()->SelectedObjects(mWindow->ViewIndex()).size());
    }

    YKHeadlessAlertPresenter mAlerts;
    std::unique_ptr<YKGravik> mGravik;
    YKDocument* mDocument = nullptr;
    YKDocumentWindow* mWindow = nullptr;
};

// A command, what it should change, and whether Undo brings the document back.
struct Command {
    QStringList path;
    std::function<int32(MenuCommandsTest&)> measure;
    int32 change;
};

TEST_F(MenuCommandsTest, LayerCommandsChangeTheTreeAndTheUndoListsStepThroughThem) {
    const auto layers = [](MenuCommandsTest& t) { return t.UserLayers(); };
    const Command commands[] = {
        {{"Layer", "New"}, layers, +1},
        {{"Layer", "Duplicate"}, layers, +1},
        {{"Layer", "Delete"}, layers, -1},
    };
    const int32 before = UserLayers();
    for (const Command& command : commands) {
        const int32 was = command.measure(*this);
        Trigger(command.path);
        EXPECT_EQ(command.measure(*this) - was, command.change)
            << command.path.join(">").toStdString();
    }
    Trigger({"Image", "Merge Image"});
    EXPECT_EQ(UserLayers(), 1);

    // The undo list names the latest action first; its second entry goes back two.
    QMenu* undo = Item({"Edit", "Undo"})->menu();
    ASSERT_EQ(undo->actions().size(), 4);
    EXPECT_TRUE(undo->actions().front()->text().startsWith("Undo"));
    undo->actions()[1]->trigger();
    EXPECT_EQ(UserLayers(), before + 2);
    QMenu* redo = Item({"Edit", "Redo"})->menu();
    ASSERT_EQ(redo->actions().size(), 2);
    redo->actions().front()->trigger();
    EXPECT_EQ(UserLayers(), before + 1);
    // The keys work without the menu having been opened since the last change.
    mWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow));
    QTest::keySequence(mWindow, QKeySequence::Undo);
    EXPECT_EQ(UserLayers(), before + 2);
    QTest::keySequence(mWindow, QKeySequence::Redo);
    EXPECT_EQ(UserLayers(), before + 1);
    Trigger({"Edit", "Purge Undo"});
    EXPECT_FALSE(mDocument->UndoManager()->HasUndoStackItem());
    EXPECT_FALSE(Item({"Edit", "Undo"})->menu()->isEnabled());
}

TEST_F(MenuCommandsTest, SelectionCopyPasteAndDeleteGoThroughTheDesktopClipboard) {
    Viewer()->SetCurrentUserLayer(Viewer()->ChildAt(Viewer()->CountChildren() - 1));
    const int32 count = mDocument->CountObjects();
    Trigger({"Selection", "Select All Objects"});
    const int32 selected = Selected();
    ASSERT_GT(selected, 0);
    Trigger({"Edit", "Copy"});
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(YKClipboard::kVectorClipType));
    EXPECT_TRUE(data->hasImage());
    EXPECT_EQ(
        static_cast<int32>(YKClipboard::Current()->Entries(YKClipboard::kVectorClipType).size()),
        selected);

    // The pasted copies come selected; the originals are let go first, so that Delete takes
    // the copies alone.
    Trigger({"Selection", "Deselect Objects"});
    EXPECT_EQ(Selected(), 0);
    Trigger({"Edit", "Paste"});
    EXPECT_EQ(mDocument->CountObjects(), count + selected);
    EXPECT_EQ(Selected(), selected);
    Trigger({"Object", "Delete"});
    EXPECT_EQ(mDocument->CountObjects(), count);

    // Another program's bytes under our type that do not hold together paste nothing.
    auto* foreign = new QMimeData;
    foreign->setData(YKClipboard::kVectorClipType, QByteArray("\x05\0\0\0\xff", 5));
    QGuiApplication::clipboard()->setMimeData(foreign);
    Trigger({"Edit", "Paste"});
    EXPECT_EQ(mDocument->CountObjects(), count);
}

TEST_F(MenuCommandsTest, AlignmentItemsLineUpTheSelectedObjects) {
    QStringList labels;
    for (QAction* action : Item({"Object", "Alignment"})->menu()->actions()) {
        if (!action->isSeparator()) {
            labels << action->text();
        }
    }
    EXPECT_EQ(labels.size(), 12);
    YKLayer* layer = Viewer()->ChildAt(Viewer()->CountChildren() - 1);
    Viewer()->SetCurrentUserLayer(layer);
    Trigger({"Selection", "Select All Objects"});
    const std::vector<YKLayer*> selected = Viewer()->SelectedObjects(0, layer);
    ASSERT_GE(selected.size(), 2u);
    Trigger({"Object", "Alignment", "Align Top"});
    const double top = static_cast<YKObjectLayer*>(selected.front())->BoundingBox().top;
    for (YKLayer* object : selected) {
        EXPECT_DOUBLE_EQ(static_cast<YKObjectLayer*>(object)->BoundingBox().top, top);
    }
}

TEST_F(MenuCommandsTest, CanvasPanelResizesAboutEachAnchorAndRefusesImpossibleSizes) {
    const YKRect<int32> original = mDocument->Frame();
    for (int32 anchor = 0; anchor < YKCanvasResize::kAnchorCount; ++anchor) {
        Trigger({"Image", "Canvas Properties…"});
        auto* panel = mWindow->findChild<YKCanvasPanel*>();
        ASSERT_NE(panel, nullptr);
        panel->SetAnchor(anchor);
        panel->SetNewSize(300, 91);
        panel->accept();
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(mDocument->Frame(), YKCanvasResize::NewFrame(original, 300, 91, anchor));
        mDocument->UndoManager()->UndoLast();
        EXPECT_EQ(mDocument->Frame(), original);
    }
    auto* panel = YKCanvasPanel::Open(mDocument, mWindow);
    for (auto [w, h] : {std::pair{0, 10}, {10, -3}, {40000, 10}}) {
        panel->SetNewSize(w, h);
        panel->accept();
    }
    QApplication::processEvents();
    EXPECT_EQ(mAlerts.Shown().size(), 3u);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(mDocument->Frame(), original);
}

TEST_F(MenuCommandsTest, ViewModeFramesAndPrinting) {
    Trigger({"Image", "View Mode", "Stroke Preview"});
    EXPECT_EQ(mWindow->PreviewMode(), 1);
    Trigger({"Image", "View Mode", "Full View"});
    EXPECT_EQ(mWindow->PreviewMode(), 0);

    YKEnvelopManager* manager = mDocument->EnvelopManager();
    Trigger({"Animation", "Last Frame"});
    EXPECT_EQ(manager->CurrentFrame(), manager->MaxFrame());
    Trigger({"Animation", "First Frame"});
    EXPECT_EQ(manager->CurrentFrame(), 1);

    TempDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.PathOf("print.pdf")));
    ASSERT_TRUE(mWindow->PrintTo(&printer));
    EXPECT_GT(std::filesystem::file_size(dir.PathOf("print.pdf")), 1000u);
}

}  // namespace
