#pragma once

// YKPanel: one of a document window's panels (tools, layers, objects, inspector, …). It shows a
// part of the window's document and changes it through the core, so that every change it makes
// is undoable as the menu command's would be.
//
// A panel does not redraw on every notification: notifications mark it stale and it refreshes at
// most every kRefreshInterval, and only while it shows. A drag on the canvas that notifies on
// every mouse move so costs the panels one refresh per interval.

#include <QWidget>
#include <functional>

#include "YKMessage.h"

class QTimer;
class YKDocument;
class YKDocumentWindow;
class YKViewerLayer;

class YKPanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshInterval = 100;  // milliseconds

    explicit YKPanel(YKDocumentWindow* window);

    YKDocumentWindow* Window() const { return mWindow; }
    YKDocument* Document() const;

    // Brings the widgets up to date with the document.
    virtual void Refresh() = 0;
    // A notification of the document's layers ('l…'), objects ('o…'), filler or tool bar, or
    // a timeline message (codes 11 to 36). By default the panel refreshes soon.
    virtual void Notify(const YKMessage& message);
    // What the panel keeps in the preferences between sessions, and takes back.
    virtual void SaveSettings(YKMessage& settings) const;
    virtual void RestoreSettings(const YKMessage& settings);

    // Runs a pending refresh now (tests, and before the panel is read).
    void RefreshNow();

protected:
    // Refreshes within kRefreshInterval, or when next shown.
    void ScheduleRefresh();
    // Runs `change` as one editing step of the document: hierarchy lock, one invalidation
    // bracket, one recomposition. False (nothing done) when the tree cannot be locked.
    bool Edit(const std::function<void(YKViewerLayer*)>& change);

    void showEvent(QShowEvent* event) override;

private:
    YKDocumentWindow* mWindow;
    QTimer* mRefreshTimer;
    bool mStale = true;
};
