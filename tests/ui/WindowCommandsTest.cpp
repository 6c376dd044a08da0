// The window's commands judged by the saved document: those that ask for files (Save As, Open,
// Import, with the file chooser answered by the test), and the undoing of those that make layers
// and objects.

#include <QImage>

#include "PanelFixture.h"
#include "YKDispatcher.h"
#include "YKDocumentFrames.h"
#include "YKEnvelopManager.h"
#include "YKObjectLayer.h"
#include "YKRaster.h"

namespace {

class WindowCommandsTest : public PanelFixture {
public:
    void TearDown() override { YKDocumentWindow::SetFileChooser(nullptr); }

    // The next chooser answers `paths`, whatever it is asked.
    void Answer(const QStringList& paths) {
        YKDocumentWindow::SetFileChooser(
            [paths](const QString&, bool, const QString&) { return paths; });
    }
    QString Picture(const char* name, QColor colour, int width = 12, int height = 8) {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(colour);
        const QString path = QString::fromStdString((mFolder.Path() / name).string());
        EXPECT_TRUE(image.save(path));
        return path;
    }
    YKLayer* CurrentLayer() const { return Viewer()->CurrentUserLayer(); }
    std::vector<std::string> Alerts() const {
        std::vector<std::string> texts;
        for (const auto& shown : mAlerts.Shown()) {
            texts.push_back(shown.text);
        }
        return texts;
    }
};

TEST_F(WindowCommandsTest, SaveAsWritesTheChosenFileAndOpenReadsItBack) {
    const QString path = QString::fromStdString((mFolder.Path() / "copy.gr").string());
    Answer({path});
    Send('grAd');
    EXPECT_EQ(mWindow->windowTitle(), "copy.gr");

    const int32 open = mGravik->Dispatcher().CountDocuments();
    const QString missing = QString::fromStdString((mFolder.Path() / "none.gr").string());
    Answer({missing, path});
    Send('OpOo');
    mGravik->Dispatcher().DrainPosted();
    QApplication::processEvents();
    EXPECT_EQ(mGravik->Dispatcher().CountDocuments(), open + 1) << "the good file still opens";
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_NE(Alerts().front().find("none.gr"), std::string::npos) << Alerts().front();
}

TEST_F(WindowCommandsTest, ImportedImagesLandSelectedAsOneUndoAction) {
    const int32 before = CurrentLayer()->CountChildren();
    const std::string start = Saved();
    Answer({Picture("a.png", Qt::red), Picture("b.png", Qt::blue, 20, 30)});
    Send('ImFl');
    ASSERT_EQ(CurrentLayer()->CountChildren(), before + 2);
    EXPECT_EQ(Viewer()->SelectedObjects(0, CurrentLayer()).size(), 2u);
    Undo();
    EXPECT_EQ(CurrentLayer()->CountChildren(), before);
    EXPECT_TRUE(Saved() == start) << "one undo takes both images back";

    // A sequence is one object over all its images; a file that is no image is refused by name
    // and the rest still comes in.
    const QString notImage = QString::fromStdString((mFolder.Path() / "notes.png").string());
    WriteBytes(notImage.toStdString(), std::string("not a picture"));
    Answer({Picture("f2.png", Qt::green), Picture("f1.png", Qt::yellow)});
    Send('ImSq');
    EXPECT_EQ(CurrentLayer()->CountChildren(), before + 1);
    Answer({notImage, Picture("c.png", Qt::black)});
    Send('ImFl');
    EXPECT_EQ(CurrentLayer()->CountChildren(), before + 2);
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_NE(Alerts().front().find("notes.png"), std::string::npos) << Alerts().front();
}

// Commands that make layers and objects take ids from the document; undone, they give them back.
TEST_F(WindowCommandsTest, UndoingACommandGivesBackTheSavedBytes) {
    for (uint32 code : {'Lnew', 'Ldup', 'Odup', 'PSTE', 'LFcu', 'IFlt'}) {
        Send('Sall');
        Send('COPY');
        const std::string start = Saved();
        Send(code);
        EXPECT_TRUE(Saved() != start) << std::string(reinterpret_cast<const char*>(&code), 4);
        Undo();
        EXPECT_TRUE(Saved() == start) << std::string(reinterpret_cast<const char*>(&code), 4);
    }
}

// Rendering the frames for an export goes from frame to frame as playing does: it writes nothing
// into the document (texts laid out again once left key frames behind).
TEST_F(WindowCommandsTest, RenderingTheFramesForAnExportLeavesTheDocumentAsItWas) {
    const std::string start = Saved();
    const int32 last = mDocument->EnvelopManager()->MaxFrame();
    {
        YKDocumentFrames frames(mDocument, 1, last);
        for (int32 frame = 1; frame <= last; ++frame) {
            ASSERT_NE(frames.RenderFrame(frame, nullptr), nullptr);
        }
    }
    EXPECT_TRUE(Saved() == start);
}

}  // namespace
