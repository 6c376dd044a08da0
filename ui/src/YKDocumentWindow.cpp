#include "YKDocumentWindow.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenuBar>
#include <QStatusBar>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "YKCanvasListener.h"
#include "YKCanvasView.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKPlayback.h"
#include "YKToolState.h"
#include "YKViewerLayer.h"

// Sections: zoom table · construction · menus · commands · document view · closing.

namespace {

// --- Zoom table ---

// An entry of the zoom control. The Zoom menu offers the entries that have a menu percent.
struct ZoomLevel {
    const char* label;
    int32 zoom;
    int menuPercent;
};

// 25 % really shows a sixth: the users' habit, kept.
constexpr ZoomLevel kZoomLevels[] = {
    {"1.5%", -63, 0}, {"3%", -31, 0},      {"6%", -15, 0},   {"12.5%", -7, 0}, {"25%", -5, 25},
    {"33%", -2, 0},   {"50%", -1, 50},     {"100%", 0, 100}, {"200%", 1, 200}, {"400%", 3, 400},
    {"800%", 7, 800}, {"1600%", 15, 1600}, {"3200%", 31, 0}, {"6400%", 63, 0},
};
constexpr int kEntryCount = static_cast<int>(std::size(kZoomLevels));
constexpr int kActualSize = 7;

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
    setCentralWidget(mCanvas);
    for (const ZoomLevel& level : kZoomLevels) {
        mZoomControl->addItem(QString::fromLatin1(level.label));
    }
    mZoomControl->setCurrentIndex(kActualSize);
    mZoomControl->setFocusPolicy(Qt::NoFocus);
    statusBar()->addPermanentWidget(mZoomControl);
    FillMainMenu();
    connect(mZoomControl, &QComboBox::currentIndexChanged, this,
            [this](int entry) { mCanvas->SetZoom(kZoomLevels[entry].zoom); });
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
}

YKDocumentWindow::~YKDocumentWindow() = default;

// --- Menus ---

void YKDocumentWindow::FillMainMenu() {
    QMenu* animation = menuBar()->addMenu(tr("Animation"));
    animation->addAction(tr("Next Frame"), this, [this] { StepFrame(1); });
    animation->addAction(tr("Previous Frame"), this, [this] { StepFrame(-1); });

    QMenu* view = menuBar()->addMenu(tr("View"));
    QMenu* zoom = view->addMenu(tr("Zoom"));
    auto* levels = new QActionGroup(this);
    for (int entry = 0; entry < kEntryCount; ++entry) {
        if (kZoomLevels[entry].menuPercent == 0) {
            continue;
        }
        QAction* level = zoom->addAction(QString::asprintf("%d %%", kZoomLevels[entry].menuPercent),
                                         this, [this, entry] { SetZoomEntry(entry); });
        level->setCheckable(true);
        level->setChecked(entry == kActualSize);
        levels->addAction(level);
        // The mark follows the zoom control, whoever changed it.
        connect(mZoomControl, &QComboBox::currentIndexChanged, level,
                [level, entry](int chosen) { level->setChecked(chosen == entry); });
    }
    view->addAction(tr("Zoom In"), QKeySequence(Qt::CTRL | Qt::Key_Plus), this,
                    [this] { SetZoomEntry(ZoomEntry() + 1); });
    view->addAction(tr("Zoom Out"), QKeySequence(Qt::CTRL | Qt::Key_Minus), this,
                    [this] { SetZoomEntry(ZoomEntry() - 1); });
}

// --- Commands ---

void YKDocumentWindow::SetZoomEntry(int entry) {
    mZoomControl->setCurrentIndex(std::clamp(entry, 0, kEntryCount - 1));
}

int YKDocumentWindow::ZoomEntry() const {
    return mZoomControl->currentIndex();
}

void YKDocumentWindow::StepFrame(int32 delta) {
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    if (manager == nullptr || viewer == nullptr || !viewer->LockHirarchy()) {
        return;
    }
    const int32 current = manager->CurrentFrame();
    const int32 next = std::clamp(current + delta, 1, manager->MaxFrame());
    if (next != current) {
        // While the frame moves, no view sets values into the envelopes.
        mDocument->SetPlayMode(true);
        manager->SetCurrentFrame(next);
        viewer->SwitchToFrame(current);
        mDocument->SetPlayMode(false);
    }
    viewer->UnlockHirarchy();
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
    event->setAccepted(mQuitting);
}
