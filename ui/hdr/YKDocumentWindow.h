#pragma once

// YKDocumentWindow: one view of a document: the canvas with its scroll bars, a status line with
// the zoom control, and the menu bar. It is the core's YKDocumentView for that view. The core
// may call it from another thread (a rendering or playing thread); such calls lock it first and
// whatever touches widgets is carried over to the GUI thread.
//
// The window deletes itself when it closes. Closing by the user asks the document first; the
// document closes the window through Quit(), after which the window never touches it again.

#include <QMainWindow>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "YKDocumentView.h"

class QComboBox;
class YKCanvasListener;
class YKCanvasView;
class YKDocument;
class YKEventManager;
class YKPlayback;

class YKDocumentWindow : public QMainWindow, public YKDocumentView {
    Q_OBJECT

public:
    // View `index` of `document`, placed at `frame` (screen coordinates).
    YKDocumentWindow(YKDocument* document, int32 index, YKRect<int32> frame);
    ~YKDocumentWindow() override;

    YKCanvasView* Canvas() const { return mCanvas; }
    int32 ViewIndex() const { return mIndex; }
    // Chooses an entry of the zoom control (clamped to its entries); the canvas follows.
    void SetZoomEntry(int entry);
    int ZoomEntry() const;

    // --- Editing and playback: the canvas's events, and this window's playing of the animation
    YKEventManager* Events() const { return mEvents.get(); }
    YKPlayback* Playback() const { return mPlayback.get(); }
    // Its hooks tell the window of selection changes and of the frames played.
    YKCanvasListener* CanvasListener() const { return mCanvasListener; }

    // --- YKDocumentView

    bool Lock() override;
    void Unlock() override;
    void InvalidateRect(YKRect<int32> rect) override;
    void SetBackgroundColor(yk_color color) override;
    void Retitle(const char* title) override;
    void DocumentFrameChanged(YKRect<int32> frame) override;
    void Quit() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FillMainMenu();
    // Moves the document's animation `delta` frames, within its frames, and redraws the views.
    void StepFrame(int32 delta);
    // Runs `work` on the GUI thread: now when called there, else queued (and dropped if the
    // window is gone by then).
    void RunInGui(std::function<void()> work);

    YKDocument* mDocument;
    const int32 mIndex;
    YKCanvasView* mCanvas;
    QComboBox* mZoomControl;
    std::recursive_mutex mLock;
    // Set by Quit(): from then on the core's calls are refused and the document is not used.
    std::atomic<bool> mQuitting{false};

    // --- Editing and playback. Both end in Quit(), while the document is still there.
    YKCanvasListener* mCanvasListener;  // a child of the canvas
    std::unique_ptr<YKEventManager> mEvents;
    std::unique_ptr<YKPlayback> mPlayback;
};
