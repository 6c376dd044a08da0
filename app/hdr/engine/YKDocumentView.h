#pragma once

// YKDocumentView: what the core asks of one document window. The window runs in a thread of
// its own, so a caller on another thread locks it around each change. The desktop window
// implements it; headless programs and tests supply their own.

#include "YKRect.h"
#include "yk_color.h"
#include "yk_types.h"

class YKDocumentView {
public:
    YKDocumentView() = default;
    YKDocumentView(const YKDocumentView&) = delete;
    YKDocumentView& operator=(const YKDocumentView&) = delete;
    virtual ~YKDocumentView() = default;

    // Taken before another thread changes the window; false when the window can no longer be
    // changed (it is closing), and the caller then leaves it alone.
    virtual bool Lock() = 0;
    virtual void Unlock() = 0;

    // Redraws the part of the document given in document coordinates.
    virtual void InvalidateRect(YKRect<int32> rect) = 0;
    virtual void SetBackgroundColor(yk_color color) = 0;
    // The document's name changed; the window shows the new title.
    virtual void Retitle(const char* title) = 0;
    // The canvas rectangle changed: scroll ranges and the drawn board follow it.
    virtual void DocumentFrameChanged(YKRect<int32> frame) = 0;
    // Closes the window.
    virtual void Quit() = 0;
};
