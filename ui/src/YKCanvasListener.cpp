#include "YKCanvasListener.h"

#include "YKCanvasView.h"

YKCanvasListener::YKCanvasListener(YKCanvasView* canvas, int32 view)
    : QObject(canvas), mCanvas(canvas), mView(view) {}

void YKCanvasListener::SelectionChanged() {
    if (selectionChanged) {
        selectionChanged();
    }
}

void YKCanvasListener::ScrollRequested(YKPoint<double> delta) {
    mCanvas->ScrollBy(delta);
}

void YKCanvasListener::ZoomRequested(YKPoint<double> point, bool zoomIn) {
    if (stepZoom) {
        stepZoom(zoomIn ? 1 : -1);
    }
    // The clicked point comes to the middle, where the next click finds it again.
    mCanvas->CentreOn(point);
}

void YKCanvasListener::CursorChanged(int32 cursor) {
    mCanvas->ShowCursor(cursor);
}

// Queued on this object, so nothing runs once the canvas (its parent) is gone.
void YKCanvasListener::FrameShown(int32 frame) {
    QMetaObject::invokeMethod(
        this,
        [this, frame] {
            if (frameShown) {
                frameShown(frame);
            }
        },
        Qt::QueuedConnection);
}

void YKCanvasListener::PlayingChanged(bool playing) {
    QMetaObject::invokeMethod(
        this,
        [this, playing] {
            if (playingChanged) {
                playingChanged(playing);
            }
        },
        Qt::QueuedConnection);
}
