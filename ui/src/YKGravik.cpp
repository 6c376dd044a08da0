#include "YKGravik.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include "YKCanvasView.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "yk_color.h"

namespace {

// The standard web banner on opaque white: the first of the built-in new-document templates.
constexpr int32 kNewWidth = 468;
constexpr int32 kNewHeight = 60;

}  // namespace

YKGravik::YKGravik() {
    // Missing or unreadable preferences leave the defaults.
    mPreferences.Load();
    mGamma.LoadFromMessage(mPreferences.PrefGamma());
    YKCanvasView::SetDisplayGamma(&mGamma);
    mDocumentExport.LoadPalettes();
    mDispatcher = std::make_unique<YKDispatcher>(&mPreferences);
    YKAlertPresenter::SetCurrent(&mAlerts);
    mDispatcher->SetWindowFactory(
        [](YKDocument* document, int32 index, YKRect<int32> frame, bool show) -> YKDocumentView* {
            auto* window = new YKDocumentWindow(document, index, frame);
            if (show) {
                window->show();
            }
            return window;
        });
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        mDispatcher->SetScreenFrame({area.left(), area.top(), area.right(), area.bottom()});
    }
    // Posts may come from any thread; they are carried out in order on the GUI thread.
    mDispatcher->SetWakeUp([this] {
        QMetaObject::invokeMethod(
            this, [this] { mDispatcher->DrainPosted(); }, Qt::QueuedConnection);
    });
}

YKGravik::~YKGravik() {
    mDispatcher->SetWakeUp(nullptr);
    mDispatcher.reset();
    // The closed windows were only marked for deletion; the event loop may be over already.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    YKAlertPresenter::SetCurrent(nullptr);
    YKCanvasView::SetDisplayGamma(nullptr);
    YKMessage gamma;
    mGamma.SaveToMessage(&gamma);
    mPreferences.SetPrefGamma(gamma);
    mPreferences.Save();
}

void YKGravik::Start(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1Char('-'))) {
            continue;
        }
        const QByteArray path = QFile::encodeName(argument);
        const QByteArray name = QFileInfo(argument).fileName().toUtf8();
        YKDocument::Load(path.constData(), name.constData(), true, mDispatcher.get());
    }
    if (mDispatcher->CountDocuments() == 0) {
        mDispatcher->CreateDocument(kNewWidth, kNewHeight, nullptr, yk_color(255, 255, 255, 255));
    }
}
