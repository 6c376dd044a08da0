#include "YKGravik.h"

#include <unistd.h>

#include <QApplication>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "YKAlert.h"
#include "YKCanvasView.h"
#include "YKDash.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKDocumentCreator.h"
#include "YKDocumentWindow.h"
#include "YKFilterManager.h"
#include "YKGammaWindow.h"
#include "YKPanelDocks.h"
#include "YKPanelNotifier.h"
#include "YKPreferencesWindow.h"
#include "yk_freetype.h"

// Sections: construction · start-up · files · quit · launches · drops.

namespace {

constexpr uint32 kShowCreator = 'ShoC';
constexpr uint32 kShowOpenPanel = 'OpOo';

// Brings a window of the application up, or to the front when it shows already.
void Raise(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}
// What a quit command of a window posts to the application.
constexpr uint32 kQuitRequested = '_QRQ';
constexpr int kSavePollMilliseconds = 500;
constexpr int kLaunchTimeoutMilliseconds = 2000;

QPixmap SplashPicture() {
    QPixmap picture(420, 180);
    picture.fill(QColor(0x2b, 0x3a, 0x55));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0xf2, 0xa6, 0x3b));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(28, 40, 72, 72));
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPointSize(28);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(120, 40, 280, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Gravik"));
    QFont version = painter.font();
    version.setPointSize(10);
    version.setBold(false);
    painter.setFont(version);
    painter.drawText(QRectF(120, 88, 280, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QApplication::applicationVersion());
    return picture;
}

}  // namespace

// --- Construction ---

YKGravik::YKGravik() {
    YKAlertPresenter::SetCurrent(&mAlerts);
}

YKGravik::~YKGravik() {
    Quit();
    if (mDispatcher != nullptr) {
        mDispatcher->SetWakeUp(nullptr);
    }
    mDocumentCreator.reset();
    mPreferencesWindow.reset();
    mGammaWindow.reset();
    mPanelNotifier.reset();
    YKPanelDocks::SetPreferences(nullptr);
    YKCanvasView::SetPreferences(nullptr);
    YKDocumentWindow::SetPreferences(nullptr);
    mDispatcher.reset();
    // The closed windows were only marked for deletion; the event loop may be over already.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    YKAlertPresenter::SetCurrent(nullptr);
    YKCanvasView::SetDisplayGamma(nullptr);
}

// --- Start-up ---

void YKGravik::ShowStep(const char* text) {
    if (mSplash != nullptr) {
        mSplash->showMessage(QString::fromUtf8(text), Qt::AlignBottom | Qt::AlignLeft, Qt::white);
    }
    // Lets the splash draw, and a second launch or a drop meanwhile be collected.
    QCoreApplication::processEvents();
}

void YKGravik::Start(const QStringList& arguments) {
    if (mStarted || mDispatcher != nullptr) {
        return;
    }
    QStringList files;
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            files.append(argument);
        }
    }
    OpenFiles(files);
    if (mSplashShown) {
        mSplash = std::make_unique<QSplashScreen>(SplashPicture());
        mSplash->show();
    }
    ShowStep("Initializing font engine \u2026");
    ShowStep("Loading preferences \u2026");
    LoadPreferences();
    // The engine carries kerning itself, so this one check covers both.
    if (yk_freetype_library() == nullptr) {
        std::fputs("Could not create engine instance !\n", stdout);
        std::exit(-1);
    }
    ShowStep("Loading tools \u2026");
    CreateDispatcher();
    StartServices();
    ShowStep("Finishing Initialization \u2026");
    // The panels come with a later version; their requests are posted so that they can hook
    // in without start-up changing.
    const std::pair<const char*, uint32> panels[] = {
        {"Initializing toolbox \u2026", 'grtp'},
        {"Initializing layer window \u2026", 'grLp'},
        {"Initializing object window \u2026", 'grOp'},
        {"Initializing inspector window \u2026", 'grFp'},
        {"Initializing timing window \u2026", 'grTp'},
    };
    for (const auto& [text, what] : panels) {
        ShowStep(text);
        mDispatcher->PostToApplication(YKMessage(what));
    }
    ShowStep("Checking Mime Types \u2026");
    CheckMimeType();
    const bool sent = mCollected.HasString("refs");
    if (sent) {
        ShowStep("Loading documents \u2026");
        // Sent, not posted: the documents are open before start-up decides what else to show.
        mDispatcher->HandleMessage(mCollected);
        mCollected = YKMessage('grRo');
    }
    if (!sent || mDispatcher->CountDocuments() == 0) {
        mDispatcher->PostToApplication(
            YKMessage(mPreferences.PrefStartup() == 1 ? kShowOpenPanel : kShowCreator));
    }
    if (mSplash != nullptr) {
        mSplash->close();
        mSplash.reset();
    }
    mStarted = true;
}

void YKGravik::LoadPreferences() {
    std::string path;
    std::error_code error;
    const bool present = mPreferences.FilePath(&path) && std::filesystem::exists(path, error);
    if (!mPreferences.Load() && present) {
        std::fprintf(stderr, "The preferences in %s cannot be read; the defaults are used\n",
                     path.c_str());
    }
    YKMessage archive;
    mPreferences.Archive(&archive);
    mPreferencesAtStart = YKPrefSetting::Instantiate(&archive);
    mGamma.LoadFromMessage(mPreferences.PrefGamma());
    YKCanvasView::SetDisplayGamma(&mGamma);
}

void YKGravik::CreateDispatcher() {
    mDispatcher = std::make_unique<YKDispatcher>(&mPreferences);
    mPanelNotifier = std::make_unique<YKPanelNotifier>(*mDispatcher);
    YKPanelDocks::SetPreferences(&mPreferences);
    YKCanvasView::SetPreferences(&mPreferences);
    YKDocumentWindow::SetPreferences(&mPreferences);
    mDispatcher->SetWindowFactory([this](YKDocument* document, int32 index, YKRect<int32> frame,
                                         bool show) -> YKDocumentView* {
        auto* window = new YKDocumentWindow(document, index, frame);
        window->setAcceptDrops(true);
        window->installEventFilter(this);
        if (show) {
            window->show();
        }
        return window;
    });
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        mDispatcher->SetScreenFrame({area.left(), area.top(), area.right(), area.bottom()});
    }
    mDispatcher->SetSavePathChooser([](YKDocument*, const std::string& suggested) {
        const QString chosen = QFileDialog::getSaveFileName(
            nullptr, tr("Save"), QString::fromStdString(suggested), tr("Gravik documents (*.gr)"));
        return chosen.isEmpty() ? std::string() : QFile::encodeName(chosen).toStdString();
    });
    mDispatcher->SetCommandHook(kShowCreator, [this](const YKMessage&) {
        YKDocumentCreator& creator = DocumentCreator();
        creator.show();
        creator.raise();
        creator.activateWindow();
    });
    mDispatcher->SetCommandHook(kShowOpenPanel, [this](const YKMessage&) { ShowOpenPanel(); });
    mDispatcher->SetCommandHook('grPp', [this](const YKMessage&) { Raise(PreferencesWindow()); });
    mDispatcher->SetCommandHook('gamm', [this](const YKMessage&) { Raise(GammaWindow()); });
    mDispatcher->SetCommandHook(kQuitRequested, [this](const YKMessage&) {
        if (Quit()) {
            QCoreApplication::quit();
        }
    });
    // Documents and their views came or went: every window's list of them is made again.
    mDispatcher->SetWindowListHook([] {
        for (YKDocumentWindow* window : YKDocumentWindow::DocumentWindows()) {
            window->UpdateWindowMenu();
        }
    });
    // Posts may come from any thread; they are carried out in order on the GUI thread.
    mDispatcher->SetWakeUp([this] {
        QMetaObject::invokeMethod(
            this, [this] { mDispatcher->DrainPosted(); }, Qt::QueuedConnection);
    });
}

void YKGravik::StartServices() {
    // The panels' icons are drawn by the panels themselves.
    ShowStep("Loading Bitmaps \u2026");
    ShowStep("Loading Filter Manager \u2026");
    ShowStep("Filter Manager:");
    YKFilterManager::Default();
    mDocumentExport = std::make_unique<YKDocumentExport>();
    ShowStep("Palettes:");
    mDocumentExport->LoadPalettes();
    YKDash::InitPredefDash();
}

void YKGravik::CheckMimeType() {
    if (!mPreferencesAtStart->PrefCheckFileType()) {
        return;
    }
    const QMimeType type =
        QMimeDatabase().mimeTypeForName(QStringLiteral("image/x-Tavernix-GravikDocument"));
    if (!type.isValid()) {
        std::fputs(
            "Gravik documents (*.gr) are not known to the desktop: install Gravik with "
            "cmake --install to register them\n",
            stderr);
    }
}

YKDocumentCreator& YKGravik::DocumentCreator() {
    if (mDocumentCreator == nullptr) {
        mDocumentCreator = std::make_unique<YKDocumentCreator>(
            &mPreferences,
            [this](const YKMessage& request) { mDispatcher->PostToApplication(request); });
        // With no document to go back to, cancelling the dialog is leaving the application.
        connect(mDocumentCreator.get(), &YKDocumentCreator::Cancelled, this, [this] {
            if (mDispatcher->CountDocuments() == 0 && Quit()) {
                QCoreApplication::quit();
            }
        });
    }
    return *mDocumentCreator;
}

YKPreferencesWindow& YKGravik::PreferencesWindow() {
    if (mPreferencesWindow == nullptr) {
        mPreferencesWindow = std::make_unique<YKPreferencesWindow>(&mPreferences);
        // The open windows follow the new preferences at once.
        connect(mPreferencesWindow.get(), &QDialog::accepted, this, [] {
            for (YKDocumentWindow* window : YKDocumentWindow::DocumentWindows()) {
                window->Panels().ApplyPreferences();
            }
        });
    }
    return *mPreferencesWindow;
}

YKGammaWindow& YKGravik::GammaWindow() {
    if (mGammaWindow == nullptr) {
        mGammaWindow = std::make_unique<YKGammaWindow>(&mGamma, &mPreferences);
    }
    return *mGammaWindow;
}

// --- Files ---

void YKGravik::OpenFiles(const QStringList& paths) {
    YKMessage posted('grRo');
    YKMessage& target = mStarted ? posted : mCollected;
    for (const QString& path : paths) {
        // Absolute, since a second launch may come from another folder.
        target.AddString("refs",
                         QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString());
    }
    if (mStarted && posted.HasString("refs")) {
        mDispatcher->PostToApplication(posted);
    }
}

void YKGravik::ShowOpenPanel() {
    const QStringList paths =
        mOpenPanel ? mOpenPanel()
                   : QFileDialog::getOpenFileNames(nullptr, tr("Open"), QString(),
                                                   tr("Gravik documents (*.gr);;All files (*)"));
    OpenFiles(paths);
}

// --- Quit ---

bool YKGravik::Quit() {
    if (!mStarted || mQuitDone) {
        return false;
    }
    mQuitDone = true;
    if (mDocumentCreator != nullptr) {
        mDocumentCreator->hide();
    }
    while (YKDocument* document = mDispatcher->DocumentAt(0)) {
        CloseForQuit(document);
    }
    mDispatcher->DrainPosted();
    YKMessage gamma;
    mGamma.SaveToMessage(&gamma);
    mPreferences.SetPrefGamma(gamma);
    mPreferences.Save();
    return true;
}

void YKGravik::CloseForQuit(YKDocument* document) {
    document->SetPlayMode(false);
    if (document->IsModified()) {
        const std::string question = "Save changes to \"" + std::string(document->Name()) + "\"?";
        if (YKAlert(question.c_str(), "Don't Save", "Save").Go() == 1) {
            document->SetCloseAfterSave();
            document->Save(false);
            // The save ends by posting the close (or a save panel first); a failed or cancelled
            // one clears the flag.
            for (;;) {
                mDispatcher->DrainPosted();
                if (!mDispatcher->HasDocument(document) || !document->CloseAfterSave()) {
                    break;
                }
                QEventLoop wait;
                QTimer::singleShot(kSavePollMilliseconds, &wait, &QEventLoop::quit);
                wait.exec();
            }
        }
    }
    if (mDispatcher->HasDocument(document)) {
        // Quitting cannot be cancelled: what was not saved now is given up.
        document->SetModified(false);
        YKMessage close('grDd');
        close.AddPointer("document", document);
        mDispatcher->HandleMessage(close);
    }
}

// --- Launches ---

QString YKGravik::LaunchChannelName() {
    return QStringLiteral("gravik-%1").arg(::getuid());
}

bool YKGravik::ListenForLaunches(const QString& name) {
    auto* server = new QLocalServer(this);
    if (!server->listen(name)) {
        // A socket left by an instance that crashed answers nobody; take its place.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(kLaunchTimeoutMilliseconds) ||
            !QLocalServer::removeServer(name) || !server->listen(name)) {
            delete server;
            return false;
        }
    }
    connect(server, &QLocalServer::newConnection, this, &YKGravik::AcceptLaunch);
    mLaunches = server;
    return true;
}

void YKGravik::AcceptLaunch() {
    while (QLocalSocket* socket = mLaunches->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            QStringList paths;
            for (const QByteArray& line : socket->readAll().split('\n')) {
                if (!line.isEmpty()) {
                    paths.append(QFile::decodeName(line));
                }
            }
            socket->deleteLater();
            if (!paths.isEmpty()) {
                OpenFiles(paths);
            } else if (mStarted) {
                mDispatcher->PostToApplication(YKMessage(kShowCreator));
            }
        });
    }
}

bool YKGravik::HandOffToRunning(const QString& name, const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kLaunchTimeoutMilliseconds)) {
        return false;
    }
    QByteArray lines;
    for (const QString& path : paths) {
        lines += QFile::encodeName(QFileInfo(path).absoluteFilePath()) + '\n';
    }
    socket.write(lines);
    if (!socket.waitForBytesWritten(kLaunchTimeoutMilliseconds)) {
        return false;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(kLaunchTimeoutMilliseconds);
    }
    return true;
}

// --- Drops ---

bool YKGravik::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter) {
        auto* enter = static_cast<QDragEnterEvent*>(event);
        if (enter->mimeData()->hasUrls()) {
            enter->acceptProposedAction();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        QStringList paths;
        for (const QUrl& url : drop->mimeData()->urls()) {
            if (url.isLocalFile()) {
                paths.append(url.toLocalFile());
            }
        }
        if (!paths.isEmpty()) {
            OpenFiles(paths);
            drop->acceptProposedAction();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
