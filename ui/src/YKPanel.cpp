#include "YKPanel.h"

#include <QTimer>

#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKViewerLayer.h"

YKPanel::YKPanel(YKDocumentWindow* window)
    : QWidget(window), mWindow(window), mRefreshTimer(new QTimer(this)) {
    mRefreshTimer->setSingleShot(true);
    mRefreshTimer->setInterval(kRefreshInterval);
    connect(mRefreshTimer, &QTimer::timeout, this, &YKPanel::RefreshNow);
}

YKDocument* YKPanel::Document() const {
    return mWindow->Document();
}

void YKPanel::Notify(const YKMessage&) {
    ScheduleRefresh();
}

void YKPanel::SaveSettings(YKMessage&) const {}

void YKPanel::RestoreSettings(const YKMessage&) {}

void YKPanel::RefreshNow() {
    mRefreshTimer->stop();
    if (mWindow->IsQuitting()) {
        return;
    }
    mStale = false;
    Refresh();
}

void YKPanel::ScheduleRefresh() {
    mStale = true;
    if (isVisible() && !mRefreshTimer->isActive()) {
        mRefreshTimer->start();
    }
}

bool YKPanel::Edit(const std::function<void(YKViewerLayer*)>& change) {
    YKViewerLayer* viewer = mWindow->IsQuitting() ? nullptr : Document()->ViewerLayer();
    if (viewer == nullptr || !viewer->LockHirarchy()) {
        return false;
    }
    viewer->BeginInvalidate();
    change(viewer);
    viewer->EndInvalidate();
    viewer->UnlockHirarchy();
    ScheduleRefresh();
    return true;
}

void YKPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (mStale) {
        RefreshNow();
    }
}
