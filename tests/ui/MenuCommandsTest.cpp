// The document window's menu commands, each triggered as the user would, judged by what they do
// to the document or the window. The executable's main() lives in DocumentWindowTest.cpp.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "CanvasMatch.h"
#include "PanelFixture.h"
#include "Quantizer.h"
#include "YKBitmap.h"
#include "YKCacheLayer.h"
#include "YKCanvasPanel.h"
#include "YKCanvasResize.h"
#include "YKCanvasView.h"
#include "YKClipboard.h"
#include "YKDispatcher.h"
#include "YKEnvelopManager.h"
#include "YKLayerPropertiesDialog.h"
#include "YKObjectLayer.h"
#include "YKToolState.h"
#include "YKUndoManager.h"
#include "YKUserLayer.h"
#include "yk_composition.h"

// Takes the URLs the window hands to the desktop, so that no viewer starts.
class UrlCatcher : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void Open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

namespace {

constexpr int32 kRectangleTool = 12;

std::string CodeText(uint32 code) {
    if (code < 0x1000000) {
        return std::to_string(code);
    }
    const char text[] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code), 0};
    return std::string("'") + text + "'";
}

class MenuCommandsTest : public PanelFixture {
public:
    void SetUp() override {
        PanelFixture::SetUp();
        mGravik->Dispatcher().SetUnhandledHook(
            [this](const YKMessage& message) { mUnhandled.push_back(message.what); });
        QDesktopServices::setUrlHandler("file", &mUrls, "Open");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler("file");
        YKDocumentWindow::SetFileChooser(nullptr);
        YKToolState::Application().SetSelectedTool(0);
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
            mGravik->Dispatcher().DrainPosted();
            QApplication::processEvents();
        }
    }
    // The label of the first item of a submenu.
    QString FirstOf(const QStringList& path) {
        QAction* menu = Item(path);
        return menu != nullptr && menu->menu() != nullptr && !menu->menu()->actions().empty()
                   ? menu->menu()->actions().front()->text()
                   : QString();
    }

    int32 UserLayers() const { return Viewer()->CountChildren(); }
    int32 Selected() const {
        return static_cast<int32>(Viewer()->SelectedObjects(mWindow->ViewIndex()).size());
    }
    YKLayer* TopLayer() const { return Viewer()->ChildAt(Viewer()->CountChildren() - 1); }
    YKObjectLayer* FirstSelected() const {
        const std::vector<YKLayer*> selected = Viewer()->SelectedObjects(0);
        return selected.empty() ? nullptr : static_cast<YKObjectLayer*>(selected.front());
    }
    // The alpha of the bitmap selection at a canvas point; 0 without one.
    uint32 SelectedAt(int32 x, int32 y) const {
        YKBitmap* selection = Viewer()->GetSelection();
        uint32 pixel = 0;
        if (selection != nullptr) {
            selection->GetLineAt(y, x, x, false, &pixel);
        }
        return pixel >> 24;
    }
    QImage Shown() const { return mWindow->Canvas()->viewport()->grab().toImage(); }
    // Whether every canvas pixel in sight is a colour of palette `cmap`, as the gamma shows it.
    bool ShowsOnlyPalette(int32 cmap) {
        const Quantizer::Cmap* colours = Quantizer::Cmap::GetCmap(cmap);
        const YKGammaCorrection& gamma = mGravik->Gamma();
        std::set<QRgb> allowed;
        for (int32 i = 0; i < colours->count; ++i) {
            const auto& c = colours->colors[i];
            allowed.insert(qRgb(gamma.RedTable()[c.red], gamma.GreenTable()[c.green],
                                gamma.BlueTable()[c.blue]));
        }
        const QImage shown = Shown();
        const YKRect<int32> canvas = mWindow->Canvas()->ShownFrame();
        for (int32 y = std::max(canvas.top, 0); y <= std::min(canvas.bottom, shown.height() - 1);
             ++y) {
            for (int32 x = std::max(canvas.left, 0); x <= std::min(canvas.right, shown.width() - 1);
                 ++x) {
                if (allowed.count(shown.pixel(x, y) | 0xFF000000u) == 0) {
                    ADD_FAILURE() << "not in the palette at " << x << ", " << y;
                    return false;
                }
            }
        }
        return true;
    }

    UrlCatcher mUrls;
    std::vector<uint32> mUnhandled;
    QPrinter* mPageSetupPrinter = nullptr;
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

TEST_F(MenuCommandsTest, FramesAndPrinting) {
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

// Each command a row: what it changes in the document or the window; an edit changes the saved
// document and Undo gives back its very bytes.
struct Effect {
    QStringList path;
    std::function<void(MenuCommandsTest&)> prepare;
    std::function<void(MenuCommandsTest&)> check;
    bool edit = false;
};

TEST_F(MenuCommandsTest, EachCommandHasItsEffectAndEditsUndoToTheSavedBytes) {
    mWindow->resize(1100, 420);
    QApplication::processEvents();
    const QString filter = FirstOf({"Layer", "Apply Filter"});
    ASSERT_FALSE(filter.isEmpty()) << "no filter loaded";
    const auto selectObjects = [](MenuCommandsTest& t) {
        t.Viewer()->SetCurrentUserLayer(t.TopLayer());
        t.Trigger({"Selection", "Select All Objects"});
        ASSERT_NE(t.FirstSelected(), nullptr);
    };
    const auto deselect = [](MenuCommandsTest& t) { t.Trigger({"Selection", "Deselect Objects"}); };
    const auto twoViews = [](MenuCommandsTest& t) {
        if (t.mDocument->CountViewers() < 2) {
            t.Trigger({"View", "New View"});
        }
        ASSERT_EQ(YKDocumentWindow::DocumentWindows().size(), 2u);
        // Docked panels give a window a least size of their own; the arrangement is judged on
        // bare windows.
        for (YKDocumentWindow* window : YKDocumentWindow::DocumentWindows()) {
            for (const YKPanelDocks::Kind& kind : YKPanelDocks::Kinds()) {
                window->Panels().Dock(kind.key)->hide();
            }
            window->layout()->activate();
        }
        QApplication::processEvents();
    };
    const auto arranged = [](QPoint (*offset)(QRect)) {
        return [offset](MenuCommandsTest&) {
            std::vector<QRect> frames;
            for (YKDocumentWindow* window : YKDocumentWindow::DocumentWindows()) {
                frames.push_back(window->frameGeometry());
            }
            EXPECT_EQ(frames[1].topLeft() - frames[0].topLeft(), offset(frames[0]));
            EXPECT_EQ(frames[0].size(), frames[1].size());
        };
    };
    const int32 beos = 3;
    ASSERT_STREQ(Quantizer::Cmap::GetCmapName(beos), "BeOS");

    const Effect effects[] = {
        {{"Layer", "Apply Filter", filter},
         nullptr,
         [](MenuCommandsTest& t) {
             EXPECT_TRUE(t.mWindow->Panels().Dock("effects")->isVisible());
         }},
        {{"Layer", "Filter", filter},
         nullptr,
         [](MenuCommandsTest& t) {
             auto* layer = static_cast<YKCacheLayer*>(t.Viewer()->CurrentUserLayer());
             EXPECT_EQ(layer->MergeMethod(), YK_FILTER);
             EXPECT_NE(layer->GetMergeFilter(), nullptr);
         },
         true},
        {{"Object", "Apply Filter", filter},
         selectObjects,
         [](MenuCommandsTest& t) {
             EXPECT_TRUE(t.mWindow->Panels().Dock("effects")->isVisible());
         }},
        {{"Object", "Filter", filter},
         selectObjects,
         [](MenuCommandsTest& t) {
             ASSERT_NE(t.FirstSelected(), nullptr);
             YKCacheLayer* parent = t.FirstSelected()->DedicatedParent();
             ASSERT_NE(parent, nullptr);
             EXPECT_EQ(parent->MergeMethod(), YK_FILTER);
         },
         true},
        {{"Layer", "Composite Method", "Multiply"},
         nullptr,
         [](MenuCommandsTest& t) {
             auto* layer = static_cast<YKCacheLayer*>(t.Viewer()->CurrentUserLayer());
             EXPECT_STREQ(yk_composition_label[layer->MergeMethod()], "Multiply");
         },
         true},
        {{"Object", "Lock"},
         selectObjects,
         [](MenuCommandsTest& t) {
             ASSERT_NE(t.FirstSelected(), nullptr);
             EXPECT_TRUE(t.FirstSelected()->IsLocked());
         },
         true},
        {{"Layer", "Properties…"},
         nullptr,
         [](MenuCommandsTest& t) {
             // OK without a change leaves nothing to undo.
             const int32 actions = t.mDocument->UndoManager()->UndoStackSize();
             auto* dialog = t.mWindow->findChild<YKLayerPropertiesDialog*>();
             ASSERT_NE(dialog, nullptr);
             dialog->accept();
             EXPECT_EQ(t.mDocument->UndoManager()->UndoStackSize(), actions);
             QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
             t.Trigger({"Layer", "Properties…"});
             dialog = t.mWindow->findChild<YKLayerPropertiesDialog*>();
             ASSERT_NE(dialog, nullptr);
             dialog->NameField()->setText("Sky");
             dialog->OpacityField()->setValue(100);
             dialog->VisibleField()->setChecked(false);
             dialog->LockedField()->setChecked(true);
             dialog->accept();
             auto* layer = static_cast<YKUserLayer*>(t.Viewer()->CurrentUserLayer());
             EXPECT_STREQ(layer->Name(), "Sky");
             EXPECT_EQ(layer->GlobalAlpha(), 100);
             EXPECT_TRUE(layer->IsUserLayerHidden(0));
             EXPECT_TRUE(layer->IsLocked());
             EXPECT_EQ(t.mDocument->UndoManager()->UndoStackSize(), actions + 1);
         },
         true},
        {{"Selection", "Select All Area"},
         [](MenuCommandsTest& t) { t.Viewer()->EraseSelection(); },
         [](MenuCommandsTest& t) {
             EXPECT_EQ(t.Viewer()->SelectionFrame(0), t.Viewer()->CanvasFrame());
             t.Undo();
             EXPECT_EQ(t.SelectedAt(0, 0), 0u);
         }},
        {{"Selection", "Inverse Selection"},
         [](MenuCommandsTest& t) {
             t.Viewer()->ReplaceSelection(t.Viewer()->CreateRectangleSelection({0, 0, 9, 9}));
         },
         [](MenuCommandsTest& t) {
             EXPECT_EQ(t.SelectedAt(5, 5), 0u);
             EXPECT_EQ(t.SelectedAt(100, 5), 255u);
             EXPECT_EQ(t.SelectedAt(-234, -30), 255u);
             t.Undo();
             EXPECT_EQ(t.SelectedAt(5, 5), 255u);
             EXPECT_EQ(t.SelectedAt(100, 5), 0u);
             t.Viewer()->EraseSelection();
         }},
        {{"View", "Color Mode", "BeOS"},
         deselect,
         [&](MenuCommandsTest& t) {
             EXPECT_EQ(t.mWindow->Canvas()->DisplayPalette(), beos);
             EXPECT_TRUE(t.ShowsOnlyPalette(beos));
         }},
        {{"View", "Color Mode", "Dithering"},
         nullptr,
         [&](MenuCommandsTest& t) {
             EXPECT_TRUE(t.mWindow->Canvas()->DisplayDithering());
             EXPECT_TRUE(t.ShowsOnlyPalette(beos));
         }},
        {{"View", "Color Mode", "RGB"},
         nullptr,
         [](MenuCommandsTest& t) {
             EXPECT_EQ(t.mWindow->Canvas()->DisplayPalette(), -1);
             ExpectCanvasShowsFrame(t.mDocument, t.mWindow->Canvas(), t.mGravik->Gamma(), 1);
         }},
        {{"View", "Limits"},
         nullptr,
         [](MenuCommandsTest& t) {
             const YKRect<int32> canvas = t.mWindow->Canvas()->ShownFrame();
             const QRgb edge = t.Shown().pixel(canvas.left - 1, (canvas.top + canvas.bottom) / 2);
             EXPECT_EQ(QColor(edge), t.mWindow->Canvas()->palette().color(QPalette::Highlight));
         }},
        {{"View", "Lock Limits"},
         [](MenuCommandsTest&) {
             ASSERT_TRUE(YKToolState::Application().SetSelectedTool(kRectangleTool));
         },
         [](MenuCommandsTest& t) {
             // A drag from inside the canvas to far beyond it draws up to its edge only.
             YKCanvasView* canvas = t.mWindow->Canvas();
             const auto at = [canvas](float x, float y) {
                 const YKPoint<float> view = canvas->BitmapToView(YKPoint<float>{x, y});
                 return QPoint(static_cast<int>(view.x), static_cast<int>(view.y));
             };
             const int32 before = t.Viewer()->CurrentUserLayer()->CountChildren();
             QWidget* viewport = canvas->viewport();
             QTest::mousePress(viewport, Qt::LeftButton, {}, at(100, 0));
             QTest::mouseMove(viewport, at(300, 80));
             QTest::mouseRelease(viewport, Qt::LeftButton, {}, at(380, 120));
             QApplication::processEvents();
             YKLayer* layer = t.Viewer()->CurrentUserLayer();
             ASSERT_EQ(layer->CountChildren(), before + 1);
             const YKRect<double> box =
                 static_cast<YKObjectLayer*>(layer->ChildAt(layer->CountChildren() - 1))
                     ->BoundingBox();
             EXPECT_NEAR(box.right, 234, 1.0);
             EXPECT_NEAR(box.bottom, 30, 1.0);
             YKToolState::Application().SetSelectedTool(0);
         },
         true},
        {{"View", "Zoom Fit To View"},
         [](MenuCommandsTest& t) {
             t.Trigger({"View", "Zoom", "1600 %"});
         },
         [](MenuCommandsTest& t) {
             // The whole canvas shows; one step closer, it would not.
             const auto fits = [&t] {
                 const YKRect<int32> shown = t.mWindow->Canvas()->ShownFrame();
                 return t.mWindow->Canvas()->viewport()->rect().contains(
                     QRect(QPoint(shown.left, shown.top), QPoint(shown.right, shown.bottom)));
             };
             EXPECT_TRUE(fits());
             t.Trigger({"View", "Zoom In"});
             EXPECT_FALSE(fits());
         }},
        {{"View", "New View"},
         nullptr,
         [](MenuCommandsTest& t) {
             EXPECT_EQ(t.mDocument->CountViewers(), 2);
             QAction* views = t.Item({"Window", "Documents", "Sample Banner"});
             ASSERT_NE(views, nullptr);
             ASSERT_EQ(views->menu()->actions().size(), 2);
             // Choosing the other view brings its window forward.
             YKDocumentWindow* other = YKDocumentWindow::DocumentWindows().back();
             ASSERT_NE(other, t.mWindow);
             t.Trigger({"Window", "Documents", "Sample Banner", "View 2"});
             EXPECT_TRUE(QTest::qWaitForWindowActive(other));
         }},
        // The second window beside, below, or a step down and right of the first.
        {{"Window", "Tile Vertical"}, twoViews, arranged([](QRect first) {
             return QPoint(first.width(), 0);
         })},
        {{"Window", "Tile"}, twoViews, arranged([](QRect first) {
             return QPoint(0, first.height());
         })},
        {{"Window", "Stack"}, twoViews, arranged([](QRect) { return QPoint(28, 28); })},
        {{"View", "New View"},
         [](MenuCommandsTest& t) {
             while (t.mDocument->CountViewers() < YKDocument::kMaxViews) {
                 ASSERT_TRUE(t.mDocument->CreateViewer(false));
             }
         },
         [](MenuCommandsTest& t) {
             EXPECT_EQ(t.mDocument->CountViewers(), YKDocument::kMaxViews);
             ASSERT_FALSE(t.mAlerts.Shown().empty());
             EXPECT_EQ(t.mAlerts.Shown().back().text, "A document has at most eight views.");
         }},
        {{"Window", "About Gravik…"},
         nullptr,
         [](MenuCommandsTest& t) {
             auto* box = t.mWindow->findChild<QMessageBox*>();
             ASSERT_NE(box, nullptr);
             EXPECT_TRUE(box->isVisible());
             EXPECT_TRUE(box->text().contains(GRAVIK_VERSION)) << box->text().toStdString();
             box->close();
         }},
        {{"Window", "Help…"},
         nullptr,
         [](MenuCommandsTest& t) {
             ASSERT_FALSE(t.mUrls.urls.empty());
             const QUrl url = t.mUrls.urls.back();
             EXPECT_TRUE(QFileInfo(url.toLocalFile()).isFile()) << url.toString().toStdString();
             EXPECT_TRUE(url.path().endsWith("README.md"));
         }},
        {{"Window", "Tips on the Web…"},
         nullptr,
         [](MenuCommandsTest& t) {
             ASSERT_FALSE(t.mUrls.urls.empty());
             EXPECT_EQ(t.mUrls.urls.back().fragment(), "tools");
         }},
        {{"File", "Page Setup…"},
         [](MenuCommandsTest& t) {
             // The dialog waits for an answer: it is looked at, then dismissed.
             QTimer::singleShot(0, [&t] {
                 auto* dialog = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
                 t.mPageSetupPrinter = dialog != nullptr ? dialog->printer() : nullptr;
                 if (dialog != nullptr) {
                     dialog->reject();
                 }
             });
         },
         [](MenuCommandsTest& t) {
             // The page the user sets up is the one Print prints on.
             ASSERT_NE(t.mPageSetupPrinter, nullptr);
             EXPECT_EQ(t.mPageSetupPrinter, t.mWindow->Printer());
         }},
    };
    for (const Effect& effect : effects) {
        SCOPED_TRACE(effect.path.join(" > ").toStdString());
        if (effect.prepare) {
            effect.prepare(*this);
        }
        const std::string before = Saved();
        Trigger(effect.path);
        effect.check(*this);
        if (effect.edit) {
            EXPECT_FALSE(Saved() == before);
            Undo();
            EXPECT_TRUE(Saved() == before);
        }
    }
}

// Every item of every menu, triggered, is taken by the window, a panel or the application: none
// is dropped for want of a handler.
TEST_F(MenuCommandsTest, EveryMenuItemReachesAHandler) {
    YKDocumentWindow::SetFileChooser(
        [](const QString&, bool, const QString&) { return QStringList(); });
    // These end the window: the start-up tests close and quit.
    const QStringList ending = {"Quit", "Close Document", "Close View"};
    std::vector<QStringList> items;
    std::function<void(QMenu*, const QStringList&)> collect = [&](QMenu* menu,
                                                                  const QStringList& path) {
        Q_EMIT menu->aboutToShow();
        for (QAction* action : menu->actions()) {
            const QStringList here = path + QStringList{action->text()};
            // The undo lists are renamed by every edit; their own test steps through them.
            if (action->isSeparator() || action->text() == "Undo" || action->text() == "Redo") {
                continue;
            }
            if (action->menu() != nullptr) {
                collect(action->menu(), here);
            } else if (!ending.contains(action->text())) {
                items.push_back(here);
            }
        }
    };
    for (QAction* top : mWindow->menuBar()->actions()) {
        collect(top->menu(), {top->text()});
    }
    ASSERT_GT(items.size(), 150u);
    std::vector<std::string> dropped;
    for (const QStringList& path : items) {
        mUnhandled.clear();
        // Dialogs that wait for an answer are dismissed.
        QTimer::singleShot(0, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        Trigger(path);
        for (uint32 code : mUnhandled) {
            dropped.push_back(path.join(" > ").toStdString() + " " + CodeText(code));
        }
    }
    std::string list;
    for (const std::string& item : dropped) {
        list += item + "\n";
    }
    EXPECT_TRUE(dropped.empty()) << list;
}

}  // namespace

#include "MenuCommandsTest.moc"
