#include "YKDocumentWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <algorithm>
#include <cmath>

#include "YKCanvasListener.h"
#include "YKCanvasView.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKExportRunBar.h"
#include "YKPanelDocks.h"
#include "YKPlayback.h"
#include "YKQtClipboard.h"
#include "YKToolState.h"
#include "YKViewerLayer.h"
#include "YKZoomLevels_internal.h"

// Sections: construction · zoom · document view · closing. The menus and their commands are
// in YKDocumentWindowMenus.cpp and YKDocumentWindowCommands.cpp.

namespace {

QRect Covering(YKRect<float> rect) {
    return QRect(
        QPoint(static_cast<int>(std::floor(rect.left)), static_cast<int>(std::floor(rect.top))),
        QPoint(static_cast<int>(std::ceil(rect.right)), static_cast<int>(std::ceil(rect.bottom))));
}

YKRect<float> ToFloat(YKRect<int32> rect) {
    return {static_cast<float>(rect.left), static_cast<float>(rect.top),
            static_cast<float>(rect.right), static_cast<float>(rect.bottom)};
}

}  // namespace

// --- Construction ---

YKDocumentWindow::YKDocumentWindow(YKDocument* document, int32 index, YKRect<int32> frame)
    : mDocument(document),
      mIndex(index),
      mCanvas(new YKCanvasView(this)),
      mZoomControl(new QComboBox(this)),
      mCanvasListener(new YKCanvasListener(mCanvas, index)) {
    setAttribute(Qt::WA_DeleteOnClose);
    // Objects cut and copied here go through the desktop's clipboard.
    YKQtClipboard::Install();
    setCentralWidget(mCanvas);
    for (const YKZoomLevel& level : kYKZoomLevels) {
        mZoomControl->addItem(QString::fromLatin1(level.label));
    }
    mZoomControl->setCurrentIndex(kYKActualSizeEntry);
    mZoomControl->setFocusPolicy(Qt::NoFocus);
    statusBar()->addPermanentWidget(mZoomControl);
    FillMainMenu();
    connect(mZoomControl, &QComboBox::currentIndexChanged, this,
            [this](int entry) { mCanvas->SetZoom(kYKZoomLevels[entry].zoom); });
    setWindowTitle(QString::fromUtf8(document->Name()));
    mCanvas->SetDocumentFrame(document->Frame());
    setGeometry(frame.left, frame.top, frame.Width() + 1, frame.Height() + 1);

    // --- Editing and playback: the canvas's events go to this view's event manager; the
    //     zoom tool moves the zoom control.
    mCanvasListener->stepZoom = [this](int32 steps) { SetZoomEntry(ZoomEntry() + steps); };
    mEvents =
        std::make_unique<YKEventManager>(document, &YKToolState::Application(), mCanvasListener);
    mCanvas->SetEventManager(mEvents.get(), &YKToolState::Application(), document->ViewerLayer(),
                             index);
    mPlayback = std::make_unique<YKPlayback>(document);
    mPlayback->SetListener(mCanvasListener);
    mPanels = std::make_unique<YKPanelDocks>(this);
    PlaceAround(frame);
    // The document's preview mode: the preferences' for a new one, the stored one for a file.
    if (document->PreviewMode() != 0) {
        SetPreviewMode(document->PreviewMode());
    }
}

YKDocumentWindow::~YKDocumentWindow() = default;

void YKDocumentWindow::PlaceAround(YKRect<int32> frame) {
    // The frame asked for holds the canvas alone: with its panels the window is larger, so it is
    // centred where the frame was and kept on the screen.
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    QRect place({0, 0}, size().expandedTo(sizeHint()).boundedTo(area.size()));
    place.moveCenter(QPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2));
    place.moveLeft(std::clamp(place.left(), area.left(), area.right() + 1 - place.width()));
    place.moveTop(std::clamp(place.top(), area.top(), area.bottom() + 1 - place.height()));
    setGeometry(place);
}

// --- Zoom ---

void YKDocumentWindow::SetZoomEntry(int entry) {
    mZoomControl->setCurrentIndex(std::clamp(entry, 0, kYKZoomEntryCount - 1));
}

int YKDocumentWindow::ZoomEntry() const {
    return mZoomControl->currentIndex();
}

void YKDocumentWindow::RunInGui(std::function<void()> work) {
    if (QThread::currentThread() == thread()) {
        work();
    } else {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    }
}

// --- Document view ---

bool YKDocumentWindow::Lock() {
    if (mQuitting) {
        return false;
    }
    mLock.lock();
    if (mQuitting) {
        mLock.unlock();
        return false;
    }
    return true;
}

void YKDocumentWindow::Unlock() {
    mLock.unlock();
}

void YKDocumentWindow::InvalidateRect(YKRect<int32> rect) {
    YKViewerLayer* viewer = mQuitting ? nullptr : mDocument->ViewerLayer();
    if (viewer == nullptr || !viewer->LockHirarchy()) {
        return;
    }
    mCanvas->TakeComposition(viewer->Bitmap(mIndex), rect);
    mCanvas->GatherOverlay();
    viewer->UnlockHirarchy();
    RunInGui([this, rect] {
        const YKRect<int32> damaged = rect & mCanvas->DocumentFrame();
        if (damaged.IsValid()) {
            mCanvas->viewport()->update(Covering(mCanvas->BitmapToView(ToFloat(damaged))));
        }
    });
}

void YKDocumentWindow::SetBackgroundColor(yk_color color) {
    RunInGui([this, color] { mCanvas->SetBoardColor(color); });
}

void YKDocumentWindow::Retitle(const char* title) {
    RunInGui([this, title = QString::fromUtf8(title)] { setWindowTitle(title); });
}

void YKDocumentWindow::DocumentFrameChanged(YKRect<int32> frame) {
    RunInGui([this, frame] { mCanvas->SetDocumentFrame(frame); });
}

void YKDocumentWindow::Quit() {
    mQuitting = true;
    // --- Editing and playback end while the document can still take their last changes.
    mPlayback->UrgentStop();
    // Exports write the options into the document when they end: they end now.
    for (YKExportRunBar* exports : findChildren<YKExportRunBar*>()) {
        exports->Abandon();
    }
    mCanvas->SetEventManager(nullptr, nullptr, nullptr, 0);
    mEvents.reset();
    RunInGui([this] { close(); });
}

// --- Closing ---

void YKDocumentWindow::closeEvent(QCloseEvent* event) {
    if (!mQuitting) {
        // The document decides: another view of it closes at once (through Quit); the last
        // one asks about the document, which closes its windows when it goes.
        mDocument->DeleteViewer(this, nullptr);
    }
    if (mQuitting) {
        mPanels->Save();
    }
    event->setAccepted(mQuitting);
}
