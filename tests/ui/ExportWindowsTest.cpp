// The export windows driven through their widgets: options reach the file written, a long export
// can be cancelled without harm, the wizard writes every export, and the roll-over page window
// gives the frame picked to its event.

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <cmath>
#include <set>

#include "PanelFixture.h"
#include "YKComputingRastersWindow.h"
#include "YKEnvelopManager.h"
#include "YKExportOptionsView.h"
#include "YKExportRunBar.h"
#include "YKExportWizard.h"
#include "YKExportWizardWin.h"
#include "YKJavaScriptIOWin.h"
#include "YKRaster.h"
#include "YKRasterFile.h"
#include "YKRasterFilters.h"
#include "YKRasterIO.h"
#include "YKRasterIOView.h"
#include "YKRasterIOWin.h"

namespace {

namespace fs = std::filesystem;

// Writers and estimates run on threads of their own; a banner takes well under this.
constexpr int kPatience = 20000;

class ExportWindowsTest : public PanelFixture {
public:
    void TearDown() override { YKDocumentWindow::SetFileChooser({}); }

    // The export window of the format named `menuName`, opened from the File menu's Export list.
    template <typename Window = YKRasterIOWin>
    Window* OpenExport(const char* menuName) {
        const YKRasterFilters* registry = YKRasterFilters::Instantiate();
        for (int32 i = 0; i < registry->CountFilters(); ++i) {
            if (std::string(registry->FilterAt(i)->MenuName()) == menuName) {
                YKMessage command = mWindow->CommandMessage('grEd');
                command.AddInt32("raster_io_id", registry->FilterAt(i)->Id());
                mWindow->MessageReceived(command);
            }
        }
        auto* window = mWindow->findChild<Window*>();
        EXPECT_NE(window, nullptr) << menuName;
        return window;
    }

    // "Save As" answers `path`.
    static void SaveInto(const fs::path& path) {
        YKDocumentWindow::SetFileChooser(
            [path](const QString&, bool, const QString&) { return QStringList{path.c_str()}; });
    }

    // The first estimate shown after `change`.
    static qint64 EstimateAfter(YKExportOptionsView* options, const std::function<void()>& change) {
        QSignalSpy shown(options, &YKExportOptionsView::EstimateShown);
        change();
        EXPECT_TRUE(shown.wait(kPatience)) << "no estimate came";
        return options->Estimate();
    }

    template <typename Widget>
    static Widget* InGroup(QWidget* in, const QString& group, const QString& text = {}) {
        for (QGroupBox* box : in->findChildren<QGroupBox*>()) {
            if (box->title() != group) {
                continue;
            }
            for (Widget* widget : box->findChildren<Widget*>()) {
                const QVariant label = widget->property("text");
                const QString shown =
                    label.isValid() ? label.toString() : widget->property("currentText").toString();
                if (text.isEmpty() || shown == text) {
                    return widget;
                }
            }
        }
        ADD_FAILURE() << "no " << text.toStdString() << " in " << group.toStdString();
        return nullptr;
    }
};

QPushButton* Button(QWidget* in, const QString& text) {
    for (QPushButton* button : in->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

// A press and release, then the double click itself, as the window system delivers them.
void DoubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    const QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(at), global, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &twice);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

std::set<uint32> ColoursOf(const YKRaster& raster) {
    std::set<uint32> colours;
    const YKRect<int32> frame = raster.Frame();
    for (int32 y = 0; y <= frame.Height(); ++y) {
        const auto* row = reinterpret_cast<const uint32*>(raster.Bits() + y * raster.BytesPerRow());
        colours.insert(row, row + frame.Width() + 1);
    }
    return colours;
}

// Mean difference per channel between two pictures of one size.
double Distance(const YKRaster& a, const YKRaster& b) {
    double sum = 0;
    const YKRect<int32> frame = a.Frame();
    for (int32 y = 0; y <= frame.Height(); ++y) {
        const uint8* p = a.Bits() + y * a.BytesPerRow();
        const uint8* q = b.Bits() + y * b.BytesPerRow();
        for (int32 x = 0; x < (frame.Width() + 1) * 4; x += 4) {
            for (int c = 0; c < 3; ++c) {
                sum += std::abs(int(p[x + c]) - int(q[x + c]));
            }
        }
    }
    return sum / ((frame.Width() + 1.0) * (frame.Height() + 1.0) * 3.0);
}

TEST_F(ExportWindowsTest, GifOptionsChangeTheEstimateAndTheFileSaved) {
    QPointer<YKRasterIOWin> window = OpenExport("GIF");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Gravik Export");
    YKExportOptionsView* options = window->Options();
    QSignalSpy previews(options, &YKExportOptionsView::PreviewShown);
    if (options->Estimate() < 0) {
        QSignalSpy shown(options, &YKExportOptionsView::EstimateShown);
        ASSERT_TRUE(shown.wait(kPatience));
    }
    const qint64 full = options->Estimate();
    ASSERT_GT(full, 0);
    EXPECT_TRUE(options->EstimateText().endsWith("s @ 28.8 kBaud"))
        << options->EstimateText().toStdString();

    // Eight colours, as the user picks them from the list, and interlaced.
    auto* colors = InGroup<QComboBox>(window, "Color Reduction", "256");
    ASSERT_NE(colors, nullptr);
    const qint64 reduced =
        EstimateAfter(options, [colors] { QTest::keyClick(colors, Qt::Key_Home); });
    EXPECT_EQ(colors->currentText(), "8");
    int32 count = 0;
    EXPECT_TRUE(window->View()->Options().FindInt32("ra_nb_colors", &count));
    EXPECT_EQ(count, 8);
    EXPECT_LT(reduced, full) << "eight colours should pack smaller than 256";
    auto* interlace = InGroup<QCheckBox>(window, "GIF Options", "Interlace");
    ASSERT_NE(interlace, nullptr);
    const qint64 interlaced = EstimateAfter(options, [interlace] { interlace->click(); });
    ASSERT_GT(interlaced, 0);

    // The preview is the frame as the GIF writer gives it back: eight colours at most.
    ASSERT_TRUE(previews.count() > 0 || previews.wait(kPatience));
    EXPECT_TRUE(options->PreviewEncoded());
    std::set<QRgb> shown;
    const QImage preview = options->PreviewImage();
    for (int y = 0; y < preview.height(); ++y) {
        for (int x = 0; x < preview.width(); ++x) {
            shown.insert(preview.pixel(x, y));
        }
    }
    EXPECT_LE(shown.size(), 8u);

    const fs::path path = mFolder.Path() / "banner.gif";
    SaveInto(path);
    QTest::mouseClick(Button(window, "Save As"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), kPatience);  // written, the window closes

    EXPECT_EQ(static_cast<qint64>(fs::file_size(path)), interlaced)
        << "the estimate is the size of what is written";
    const std::string bytes = ReadBytes(path);
    ASSERT_GT(bytes.size(), 13u);
    EXPECT_LE(1 << ((uint8(bytes[10]) & 7) + 1), 8) << "colour table larger than 8 entries";
    YKRasterFile written(path.c_str());
    ASSERT_TRUE(written.InitCheck()) << written.ErrorText();
    EXPECT_LE(ColoursOf(*written.Raster()).size(), 8u);
    YKMessage remembered;
    EXPECT_TRUE(mDocument->FindExportMessage("GIF", &remembered));
    bool interlacedOption = false;
    EXPECT_TRUE(remembered.FindBool("ra_interlace", &interlacedOption) && interlacedOption);
}

TEST_F(ExportWindowsTest, CancellingOrClosingDuringALongAnimationKeepsTheFileThatWasThere) {
    mDocument->EnvelopManager()->SetMaxFrame(300, false);
    QPointer<YKRasterIOWin> window = OpenExport("Animated GIF");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Gravik Anim Export");
    const fs::path path = mFolder.Path() / "banner.gif";
    const std::string good = "a good file from before";
    WriteBytes(path, good);

    SaveInto(path);
    YKExportRunBar* progress = window->Progress();
    QSignalSpy ended(progress, &YKExportRunBar::Ended);
    QTest::mouseClick(Button(window, "Save As"), Qt::LeftButton);
    // The window keeps answering while the writer works: its steps come in.
    QTRY_VERIFY_WITH_TIMEOUT(progress->Text().startsWith("Frame #"), kPatience);
    QTest::mouseClick(Button(window, "Cancel"), Qt::LeftButton);
    EXPECT_EQ(progress->Text(), "Cancelling");
    ASSERT_TRUE(ended.count() > 0 || ended.wait(kPatience));
    EXPECT_FALSE(ended.front().at(0).toBool()) << "the export ran to its end: too quick to cancel";
    EXPECT_TRUE(ended.front().at(1).toBool());
    EXPECT_EQ(progress->Text(), "Cancelled");
    EXPECT_FALSE(window.isNull()) << "a cancelled export leaves the window open";

    EXPECT_TRUE(ReadBytes(path) == good);
    EXPECT_EQ(std::distance(fs::directory_iterator(mFolder.Path()), fs::directory_iterator()), 1)
        << "a part written file was left behind";
    YKMessage kept;
    EXPECT_FALSE(mDocument->FindExportMessage("Animated GIF", &kept))
        << "a cancelled export's options are not kept";

    // Closing the document stops the export too, and takes its window along.
    QTest::mouseClick(Button(window, "Save As"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(progress->Text().startsWith("Frame #"), kPatience);
    mDocument->SetModified(false);
    Send('grDd');
    mDocument = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), kPatience);
    EXPECT_TRUE(ReadBytes(path) == good);
}

TEST_F(ExportWindowsTest, AFailedWriteShowsWhyAndTheWindowStays) {
    QPointer<YKRasterIOWin> window = OpenExport("PNG");
    ASSERT_NE(window, nullptr);
    SaveInto(mFolder.Path() / "no such folder" / "banner.png");
    QSignalSpy ended(window->Progress(), &YKExportRunBar::Ended);
    QTest::mouseClick(Button(window, "Save As"), Qt::LeftButton);
    ASSERT_TRUE(ended.wait(kPatience));
    EXPECT_FALSE(ended.front().at(0).toBool());
    EXPECT_EQ(window->Progress()->Text(), "Error while writing !");
    EXPECT_FALSE(window->ErrorText().isEmpty());
    EXPECT_FALSE(window.isNull());
    EXPECT_TRUE(Button(window, "Save As")->isEnabled()) << "the user may try another file";
}

TEST_F(ExportWindowsTest, TheWizardWritesEveryExport) {
    Send('exWz');
    auto* wizard = mWindow->findChild<YKExportWizardWin*>();
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(wizard->windowTitle(), "Gravik Export Wizard");
    const auto add = [wizard](const QString& format) {
        for (QAction* action : wizard->AddButton()->menu()->actions()) {
            if (action->text() == format) {
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "cannot add " << format.toStdString();
    };
    add("GIF");
    add("JPEG");
    add("PNG");
    ASSERT_EQ(wizard->Wizard().CountExports(), 3);
    // The JPEG export is taken out again.
    QListWidget* list = wizard->ExportList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(wizard->Wizard().Selected(), 1);
    QTest::mouseClick(Button(wizard, "Remove"), Qt::LeftButton);
    ASSERT_EQ(wizard->Wizard().CountExports(), 2);
    EXPECT_EQ(wizard->Wizard().ExportAt(1)->IO()->MenuName(), std::string("PNG"));
    // "Previous" goes back an export, and no further than the first.
    ASSERT_EQ(wizard->Wizard().Selected(), 1);
    QTest::mouseClick(wizard->PreviousButton(), Qt::LeftButton);
    EXPECT_EQ(wizard->Wizard().Selected(), 0);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_FALSE(wizard->PreviousButton()->isEnabled());

    const fs::path gif = mFolder.Path() / "one.gif";
    const fs::path png = mFolder.Path() / "two.png";
    for (int32 index : {0, 1}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(index)).center());
        auto* field = wizard->OptionsAt(index)->parentWidget()->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        field->selectAll();
        QTest::keyClicks(field, QString::fromStdString((index == 0 ? gif : png).string()));
        QTest::keyClick(field, Qt::Key_Return);
    }
    EXPECT_EQ(wizard->Wizard().ExportAt(0)->FileName(), gif.string());

    QSignalSpy ended(wizard->Progress(), &YKExportRunBar::Ended);
    QTest::mouseClick(Button(wizard, "Export"), Qt::LeftButton);
    ASSERT_TRUE(ended.wait(kPatience));
    EXPECT_TRUE(ended.front().at(0).toBool()) << ended.front().at(2).toString().toStdString();
    const YKRect<int32> canvas = mDocument->Frame();
    for (const fs::path& path : {gif, png}) {
        YKRasterFile written(path.c_str());
        ASSERT_TRUE(written.InitCheck()) << path << ": " << written.ErrorText();
        EXPECT_EQ(written.Raster()->Frame().Width(), canvas.Width()) << path;
        EXPECT_EQ(written.Raster()->Frame().Height(), canvas.Height()) << path;
    }
    EXPECT_EQ(ReadBytes(gif).substr(0, 6), "GIF89a");
}

TEST_F(ExportWindowsTest, TheRollOverWindowGivesTheDoubleClickedFrameToTheSelectedEvent) {
    QPointer<YKJavaScriptIOWin> window = OpenExport<YKJavaScriptIOWin>("JavaScript");
    ASSERT_NE(window, nullptr);
    QListWidget* frames = window->Frames();
    ASSERT_EQ(frames->count(), mDocument->EnvelopManager()->MaxFrame());
    EXPECT_EQ(frames->item(4)->text(), "Frame 5");
    EXPECT_EQ(window->FrameOf("onMouseOver"), 2) << "frames 1, 2, 3 go to the events at first";

    QTreeWidget* events = window->Events();
    QTest::mouseClick(events->viewport(), Qt::LeftButton, {},
                      events->visualItemRect(events->topLevelItem(1)).center());
    ASSERT_EQ(events->currentItem()->text(0), "onMouseOver");
    frames->scrollToItem(frames->item(4));
    DoubleClick(frames->viewport(), frames->visualItemRect(frames->item(4)).center());
    EXPECT_EQ(window->FrameOf("onMouseOver"), 5);
    EXPECT_EQ(events->topLevelItem(1)->text(1), "Frame 5");

    const fs::path page = mFolder.Path() / "page.html";
    SaveInto(page);
    QTest::mouseClick(Button(window, "Save As"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), kPatience);
    const std::string html = ReadBytes(page);
    EXPECT_NE(html.find("img1over.src = \"Image_onMouseOver.gif\""), std::string::npos) << html;
    EXPECT_NE(html.find("src=\"Image_onMouseOut.gif\""), std::string::npos) << html;

    // The over image is frame 5 (quantized), not the frame 2 it had at first.
    YKRasterFile over((mFolder.Path() / "Image_onMouseOver.gif").c_str());
    ASSERT_TRUE(over.InitCheck()) << over.ErrorText();
    EXPECT_TRUE(fs::exists(mFolder.Path() / "Image_onclick.gif"));
    std::unique_ptr<YKRaster> fifth(mDocument->RenderFrame(5, nullptr));
    std::unique_ptr<YKRaster> second(mDocument->RenderFrame(2, nullptr));
    ASSERT_TRUE(fifth != nullptr && second != nullptr);
    EXPECT_LT(Distance(*over.Raster(), *fifth), Distance(*over.Raster(), *second));
}

// "Computing rasters..." is a window of its own that steps once per frame; "Live Update" is
// kept for the next export window; with "translators only" set, export offers no internal
// format.
TEST_F(ExportWindowsTest, ExportWindowsFollowThePreferencesAndShowTheFramesRendered) {
    auto* window = OpenExport("Animated GIF");
    ASSERT_NE(window, nullptr);
    YKComputingRastersWindow* computing = window->Options()->Computing();
    EXPECT_EQ(computing->windowTitle(), "Computing rasters...");
    EXPECT_TRUE(computing->isWindow());
    EXPECT_EQ(computing->Bar()->maximum(), mDocument->EnvelopManager()->MaxFrame());
    EXPECT_EQ(computing->Bar()->value(), computing->Bar()->maximum());
    EXPECT_FALSE(computing->isVisible()) << "the window stays after the frames are rendered";

    QCheckBox* live = InGroup<QCheckBox>(window, "Information", "Live Update");
    ASSERT_NE(live, nullptr);
    ASSERT_TRUE(live->isChecked());
    live->click();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window = OpenExport("GIF");
    ASSERT_NE(window, nullptr);
    live = InGroup<QCheckBox>(window, "Information", "Live Update");
    ASSERT_NE(live, nullptr);
    EXPECT_FALSE(live->isChecked()) << "Live Update was not kept";
    live->click();
    EXPECT_TRUE(YKExportOptionsView::SavedLiveUpdate());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const auto internals = [](QMenu* menu) {
        int32 count = 0;
        const YKRasterFilters* registry = YKRasterFilters::Instantiate();
        for (QAction* action : menu->actions()) {
            for (int32 i = 0; i < registry->CountFilters(); ++i) {
                const YKRasterIO* io = registry->FilterAt(i);
                count += io->IsInternal() && action->text() == io->MenuName() ? 1 : 0;
            }
        }
        return count;
    };
    Send('exWz');
    auto* wizard = mWindow->findChild<YKExportWizardWin*>();
    ASSERT_NE(wizard, nullptr);
    QMenu* formats = wizard->AddButton()->menu();
    Q_EMIT formats->aboutToShow();
    EXPECT_GT(internals(formats), 0);
    mGravik->Preferences().SetPrefTranslatorsOnly(true);
    Q_EMIT formats->aboutToShow();
    EXPECT_EQ(internals(formats), 0) << "the wizard offers internal formats";
    QMenu* exports = nullptr;
    for (QMenu* menu : mWindow->menuBar()->findChildren<QMenu*>()) {
        exports = menu->title() == "Export…" ? menu : exports;
    }
    ASSERT_NE(exports, nullptr);
    Q_EMIT exports->aboutToShow();
    EXPECT_EQ(internals(exports), 0) << "the Export menu offers internal formats";
    mGravik->Preferences().SetPrefTranslatorsOnly(false);
    Q_EMIT exports->aboutToShow();
    EXPECT_GT(internals(exports), 0);
}

}  // namespace
