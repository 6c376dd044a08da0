#pragma once

// YKEventListener: what the event manager tells the window it works for. The desktop window
// implements it; the command line and the tests supply their own.

#include "YKPoint.h"
#include "yk_types.h"

class YKEventListener {
public:
    YKEventListener() = default;
    YKEventListener(const YKEventListener&) = delete;
    YKEventListener& operator=(const YKEventListener&) = delete;
    virtual ~YKEventListener() = default;

    // The view's index in its document (0 to 7): the object-mode slot its events use.
    virtual int32 ViewID() const { return 0; }
    // 'yksn': the set of selected objects changed.
    virtual void SelectionChanged() {}
    // The hand tool asks to scroll the view by `delta` document units.
    virtual void ScrollRequested(YKPoint<double> delta) { (void)delta; }
    // The zoom tool asks to zoom in (or out) around `point`.
    virtual void ZoomRequested(YKPoint<double> point, bool zoomIn) {
        (void)point;
        (void)zoomIn;
    }
    // The cursor to show changed (a YKToolState::Cursor).
    virtual void CursorChanged(int32 cursor) { (void)cursor; }
};
