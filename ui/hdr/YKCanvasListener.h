#pragma once

// YKCanvasListener: what the event manager and the playback of one document window tell it.
// The hand and zoom tools scroll and zoom the canvas; a changed selection repaints it. Whatever
// comes from the playing thread is carried over to the GUI thread, where the window's hooks run.

#include <QObject>
#include <functional>

#include "YKEventListener.h"
#include "YKPlaybackListener.h"

class YKCanvasView;

class YKCanvasListener : public QObject, public YKEventListener, public YKPlaybackListener {
    Q_OBJECT

public:
    // For view `view` of its document, shown in `canvas`.
    YKCanvasListener(YKCanvasView* canvas, int32 view);

    // Moves the window's zoom control by `steps` entries (the zoom tool's clicks).
    std::function<void(int32 steps)> stepZoom;
    // The window's own reactions, on the GUI thread.
    std::function<void()> selectionChanged;
    std::function<void(int32 frame)> frameShown;
    std::function<void(bool playing)> playingChanged;

    // --- YKEventListener (GUI thread)
    int32 ViewID() const override { return mView; }
    void SelectionChanged() override;
    void ScrollRequested(YKPoint<double> delta) override;
    void ZoomRequested(YKPoint<double> point, bool zoomIn) override;
    void CursorChanged(int32 cursor) override;

    // --- YKPlaybackListener (playing thread)
    void FrameShown(int32 frame) override;
    void PlayingChanged(bool playing) override;

private:
    YKCanvasView* mCanvas;
    const int32 mView;
};
