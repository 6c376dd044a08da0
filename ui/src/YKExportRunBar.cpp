// The progress area of the export windows.

#include "YKExportRunBar.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "YKExportWizard.h"

namespace {

// How often the window looks whether the export thread has ended.
constexpr int kPollMilliseconds = 40;

}  // namespace

YKExportRunBar::YKExportRunBar(QWidget* parent)
    : QWidget(parent),
      mText(new QLabel(this)),
      mBar(new QProgressBar(this)),
      mPoll(new QTimer(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(mText);
    column->addWidget(mBar);
    mBar->setRange(0, 1);
    mBar->setValue(0);
    mBar->setTextVisible(false);
    mPoll->setInterval(kPollMilliseconds);
    connect(mPoll, &QTimer::timeout, this, &YKExportRunBar::CheckEnded);
}

YKExportRunBar::~YKExportRunBar() {
    Abandon();
}

YKExportRun::Listener YKExportRunBar::Listener() {
    // The writer calls from the export thread; the widgets change on the GUI thread, and not at
    // all once this bar is gone.
    QPointer<YKExportRunBar> self(this);
    return [self](const YKExportRun::Event& event) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, event] {
                if (self != nullptr) {
                    self->Show(event);
                }
            },
            Qt::QueuedConnection);
    };
}

bool YKExportRunBar::Start(std::vector<YKRasterIOView*> views) {
    if (Running() || views.empty()) {
        return false;
    }
    mRun = std::make_unique<YKExportRun>(std::move(views), Listener());
    mWatched = mRun.get();
    Begin();
    mRun->Start();
    return true;
}

bool YKExportRunBar::Start(YKExportWizard& wizard) {
    if (Running()) {
        return false;
    }
    mRun.reset();
    mWatched = wizard.doExport(Listener());
    if (mWatched == nullptr) {
        return false;
    }
    Begin();
    return true;
}

void YKExportRunBar::Begin() {
    mEnded = false;
    mWritten.clear();
    mText->setText(tr("Starting"));
    mBar->setRange(0, 0);
    mPoll->start();
}

void YKExportRunBar::Show(const YKExportRun::Event& event) {
    if (mEnded || (mWatched != nullptr && mWatched->Cancelled())) {
        return;
    }
    mText->setText(QString::fromStdString(event.text));
    if (event.stepCount > 0) {
        mBar->setRange(0, event.stepCount);
        mBar->setValue(std::min(event.step, event.stepCount));
    }
}

void YKExportRunBar::Cancel() {
    if (Running()) {
        mWatched->Cancel();
        mText->setText(tr("Cancelling"));
    }
}

void YKExportRunBar::Abandon() {
    if (mWatched != nullptr && !mEnded) {
        mWatched->Cancel();
        mWatched->Wait();
        mEnded = true;
        mPoll->stop();
    }
}

QString YKExportRunBar::Text() const {
    return mText->text();
}

void YKExportRunBar::CheckEnded() {
    if (mWatched == nullptr || !mWatched->Finished()) {
        return;
    }
    mPoll->stop();
    const bool ok = mWatched->Wait();
    mEnded = true;
    mWritten = mWatched->Written();
    const bool cancelled = !ok && mWatched->Cancelled();
    const QString error = ok || cancelled ? QString() : QString::fromStdString(mWatched->Error());
    mBar->setRange(0, 1);
    mBar->setValue(ok ? 1 : 0);
    // A failure may come before the writer's first step (a file that cannot be made): the
    // writer's final text is shown either way, the reason by the window.
    mText->setText(ok ? tr("Ending") : cancelled ? tr("Cancelled") : tr("Error while writing !"));
    Q_EMIT Ended(ok, cancelled, error);
}
