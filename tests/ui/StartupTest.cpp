// Start-up, the new-document dialog and quitting, on Qt's offscreen platform.

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedAlerts.h"
#include "TempDir.h"
#include "YKColorButton.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKDocumentCreator.h"
#include "YKDocumentWindow.h"
#include "YKGravik.h"
#include "YKPrefSetting.h"
#include "YKTemplateEditorWindow.h"

namespace {

namespace fs = std::filesystem;

const std::string kBanner = GRAVIK_EXAMPLES "/banner.gr";

// Runs the event loop until `done` holds, for at most two seconds.
bool Settle(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// Each test has settings of its own, so that what one saves another never loads.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", mSettings.Path().c_str(), 1); }
    void TearDown() override {
        mGravik.reset();
        QApplication::processEvents();
    }

    YKGravik& Started(const QStringList& arguments) {
        mGravik = std::make_unique<YKGravik>();
        YKAlertPresenter::SetCurrent(&mAlerts);
        mGravik->Start(arguments);
        QApplication::processEvents();
        return *mGravik;
    }
    YKDocumentCreator* ShownCreator() {
        Settle([this] { return CreatorShown(); });
        return CreatorShown() ? &mGravik->DocumentCreator() : nullptr;
    }
    bool CreatorShown() { return mGravik->DocumentCreator().isVisible(); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = mFiles.PathOf(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TempDir mSettings;
    TempDir mFiles;
    ScriptedAlerts mAlerts;
    std::unique_ptr<YKGravik> mGravik;
};

// --- Start-up ---

TEST_F(StartupTest, BadFilesAlertWhileTheGoodOnesOpenWithoutTheDialog) {
    const std::string missing = mFiles.PathOf("missing.gr");
    const std::string text = Write("notes.gr", "just some words\n");
    const std::string damaged = Write("damaged.gr", ReadAll(kBanner).substr(0, 300));
    YKGravik& gravik =
        Started({"-psn_0_1", QString::fromStdString(missing), QString::fromStdString(text),
                 QString::fromStdString(kBanner), QString::fromStdString(damaged)});

    ASSERT_EQ(gravik.Dispatcher().CountDocuments(), 1);
    EXPECT_STREQ(gravik.Dispatcher().DocumentAt(0)->Name(), "banner.gr");
    const std::vector<std::string> alerts = mAlerts.Texts();
    ASSERT_EQ(alerts.size(), 3u);
    const std::string bad[] = {missing, text, damaged};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(alerts[i].rfind("Error while loading document!\nError: ", 0), 0u) << alerts[i];
        EXPECT_NE(alerts[i].find("File: " + bad[i]), std::string::npos) << alerts[i];
    }
    QApplication::processEvents();
    EXPECT_FALSE(CreatorShown());
}

TEST_F(StartupTest, WithNoDocumentOpenItShowsTheDialogOrTheOpenPanel) {
    Started({QString::fromStdString(mFiles.PathOf("missing.gr"))});
    YKDocumentCreator* creator = ShownCreator();
    ASSERT_NE(creator, nullptr);
    EXPECT_EQ(mGravik->Dispatcher().CountDocuments(), 0);
    // Nothing is left to show once the dialog is cancelled: the application has quit.
    creator->reject();
    EXPECT_FALSE(mGravik->Quit());
    mGravik.reset();

    YKPrefSetting preferences;
    preferences.SetPrefStartup(1);
    ASSERT_TRUE(preferences.Save());
    mGravik = std::make_unique<YKGravik>();
    YKAlertPresenter::SetCurrent(&mAlerts);
    int panels = 0;
    mGravik->SetOpenPanel([&panels] {
        ++panels;
        return QStringList{QString::fromStdString(kBanner)};
    });
    mGravik->Start({});
    ASSERT_TRUE(Settle([this] { return mGravik->Dispatcher().CountDocuments() == 1; }));
    EXPECT_EQ(panels, 1);
    EXPECT_FALSE(CreatorShown());
}

TEST_F(StartupTest, DamagedPreferencesGiveTheDefaults) {
    YKPrefSetting preferences;
    preferences.SetPrefStartup(1);
    ASSERT_TRUE(preferences.Save());
    std::string path;
    ASSERT_TRUE(preferences.FilePath(&path));
    fs::resize_file(path, fs::file_size(path) - 5);

    testing::internal::CaptureStderr();
    Started({});
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(mGravik->Preferences().PrefStartup(), 0);
    const size_t line = printed.find("cannot be read; the defaults are used\n");
    EXPECT_NE(line, std::string::npos) << printed;
    EXPECT_EQ(printed.find("cannot be read", line + 1), std::string::npos);
    EXPECT_NE(ShownCreator(), nullptr);
}

TEST_F(StartupTest, SecondLaunchHandsItsFilesToTheRunningOne) {
    const QString channel =
        QStringLiteral("gravik-test-%1").arg(QCoreApplication::applicationPid());
    EXPECT_FALSE(YKGravik::HandOffToRunning(channel, {QString::fromStdString(kBanner)}));
    mGravik = std::make_unique<YKGravik>();
    YKAlertPresenter::SetCurrent(&mAlerts);
    ASSERT_TRUE(mGravik->ListenForLaunches(channel));
    mGravik->Start({QString::fromStdString(kBanner)});

    ASSERT_TRUE(YKGravik::HandOffToRunning(channel, {QString::fromStdString(kBanner)}));
    EXPECT_TRUE(Settle([this] { return mGravik->Dispatcher().CountDocuments() == 2; }));
    EXPECT_TRUE(mAlerts.Texts().empty());
}

TEST_F(StartupTest, FilesDroppedOnAWindowOpenAsTheyWouldFromTheCommandLine) {
    YKGravik& gravik = Started({QString::fromStdString(kBanner)});
    auto* window = dynamic_cast<YKDocumentWindow*>(gravik.Dispatcher().DocumentAt(0)->ViewerAt(0));
    ASSERT_NE(window, nullptr);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(mFiles.PathOf("missing.gr"))),
                   QUrl::fromLocalFile(QStringLiteral(GRAVIK_EXAMPLES "/sample_3d.gr"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);

    ASSERT_TRUE(Settle([&gravik] { return gravik.Dispatcher().CountDocuments() == 2; }));
    EXPECT_STREQ(gravik.Dispatcher().DocumentAt(1)->Name(), "sample_3d.gr");
    EXPECT_EQ(mAlerts.Texts().size(), 1u);
}

// --- The new-document dialog ---

TEST_F(StartupTest, DialogMakesADocumentFromTheChosenTemplate) {
    Started({});
    YKDocumentCreator* creator = ShownCreator();
    ASSERT_NE(creator, nullptr);
    ASSERT_EQ(creator->Templates().Count(), 7);
    creator->SelectTemplate(3);
    EXPECT_EQ(creator->WidthField()->text(), QStringLiteral("100"));
    EXPECT_TRUE(Settle([creator] {
        return creator->SizeStatus() == QString::fromUtf8("100 \u00d7 100 pixels, 40 KiB");
    })) << creator->SizeStatus().toStdString();

    // A size no canvas can have is refused in the dialog and makes nothing.
    creator->HeightField()->setText(QStringLiteral("0"));
    creator->Confirm();
    QApplication::processEvents();
    EXPECT_TRUE(creator->isVisible());
    EXPECT_EQ(mGravik->Dispatcher().CountDocuments(), 0);

    creator->HeightField()->setText(QStringLiteral("41"));
    creator->NameField()->setText(QStringLiteral("Tile"));
    creator->ColorButton()->SetColor(yk_color(10, 20, 30, 128));
    creator->Confirm();
    ASSERT_TRUE(Settle([this] { return mGravik->Dispatcher().CountDocuments() == 1; }));
    const YKDocument* document = mGravik->Dispatcher().DocumentAt(0);
    EXPECT_STREQ(document->Name(), "Tile");
    EXPECT_EQ(document->Frame(), (YKRect<int32>{-50, -20, 49, 20}));
    EXPECT_EQ(document->BackgroundColor(), yk_color(10, 20, 30, 128));
    EXPECT_FALSE(creator->isVisible());
}

TEST_F(StartupTest, TemplatesAreAddedEditedDeletedAndKeptForTheNextRun) {
    Started({});
    YKDocumentCreator* creator = ShownCreator();
    ASSERT_NE(creator, nullptr);

    YKTemplateEditorWindow* editor = creator->NewTemplate();
    editor->NameField()->setText(QStringLiteral("Icon"));
    editor->WidthField()->setText(QStringLiteral("48"));
    editor->HeightField()->setText(QStringLiteral("x"));
    editor->SaveTemplate();
    EXPECT_FALSE(editor->Problem().isEmpty());
    EXPECT_EQ(creator->Templates().Count(), 7);
    editor->HeightField()->setText(QStringLiteral("40"));
    editor->SaveTemplate();
    ASSERT_EQ(creator->Templates().Count(), 8);
    EXPECT_EQ(creator->SelectedTemplate(), 7);
    EXPECT_EQ(creator->HeightField()->text(), QStringLiteral("40"));

    creator->SelectTemplate(0);
    editor = creator->EditSelected();
    editor->WidthField()->setText(QStringLiteral("470"));
    editor->SaveTemplate();
    EXPECT_EQ(creator->Templates().At(0)->width, 470);

    creator->SelectTemplate(1);
    mAlerts.ScriptAnswers({0, 1});  // Cancel, then Delete
    EXPECT_FALSE(creator->DeleteSelected());
    EXPECT_TRUE(creator->DeleteSelected());
    ASSERT_EQ(mAlerts.Shown().size(), 2u);
    EXPECT_EQ(mAlerts.Shown()[0].text,
              "Do you really want to delete \"Small Web Banner (234x36)\"?");
    ASSERT_EQ(creator->Templates().Count(), 7);

    ASSERT_TRUE(mGravik->Quit());
    mGravik.reset();
    Started({});
    const YKDocTemplates& kept = mGravik->DocumentCreator().Templates();
    ASSERT_EQ(kept.Count(), 7);
    EXPECT_EQ(kept.At(0)->width, 470);
    EXPECT_EQ(kept.At(1)->name, "Long Web Banner (512x60)");
    EXPECT_EQ(*kept.At(6), (YKDocTemplate{"Icon", 48, 40}));
}

// --- Quit ---

TEST_F(StartupTest, QuitAsksOnceForEachModifiedDocumentAndCannotBeCancelled) {
    const std::string kept = mFiles.PathOf("kept.gr");
    fs::copy_file(kBanner, kept);
    EXPECT_FALSE(YKGravik().Quit());  // start-up has not finished there
    YKGravik& gravik = Started({QString::fromStdString(kept)});

    const yk_color blue(0, 0, 255, 255);
    YKDispatcher& dispatcher = gravik.Dispatcher();
    dispatcher.DocumentAt(0)->SetBackgroundColor(blue);
    dispatcher.CreateDocument(20, 10, "fresh", blue)->SetModified(true);
    dispatcher.CreateDocument(20, 10, "dropped", blue)->SetModified(true);
    dispatcher.CreateDocument(20, 10, "clean", blue);
    const std::string chosen = mFiles.PathOf("fresh.gr");
    std::vector<std::string> suggested;
    dispatcher.SetSavePathChooser([&](YKDocument*, const std::string& name) {
        suggested.push_back(name);
        return chosen;
    });
    mAlerts.ScriptAnswers({1, 1, 0});  // Save, Save, Don't Save

    ASSERT_TRUE(gravik.Quit());
    EXPECT_EQ(dispatcher.CountDocuments(), 0);
    const std::vector<ScriptedAlerts::Record> shown = mAlerts.Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "Save changes to \"kept.gr\"?");
    EXPECT_EQ(shown[2].text, "Save changes to \"dropped\"?");
    EXPECT_EQ(shown[1].buttons, (std::vector<std::string>{"Don't Save", "Save"}));
    EXPECT_EQ(suggested.size(), 1u);
    EXPECT_FALSE(gravik.Quit());

    // Both saves reached the disk; the settings too.
    YKDispatcher reader;
    for (const std::string& path : {kept, chosen}) {
        const YKDocument* saved = YKDocument::Load(path.c_str(), "saved", false, &reader);
        ASSERT_NE(saved, nullptr) << path;
        EXPECT_EQ(saved->BackgroundColor(), blue) << path;
        char type[64] = {};
        if (getxattr(path.c_str(), "user.mime_type", type, sizeof type - 1) >= 0 ||
            errno != ENOTSUP) {
            EXPECT_STREQ(type, "image/x-Tavernix-GravikDocument") << path;
        }
    }
    std::string settings;
    ASSERT_TRUE(gravik.Preferences().FilePath(&settings));
    EXPECT_TRUE(fs::exists(settings));
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
