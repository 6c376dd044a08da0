#pragma once

#include <string>
#include <vector>

#include "YKDocumentView.h"

// A document window that notes what it was told: the rectangles redrawn (and whether the window
// was locked for each), the background, the title, the canvas frame, and whether it was closed.
class RecordingView : public YKDocumentView {
public:
    bool Lock() override { return locked = true; }
    void Unlock() override { locked = false; }
    void InvalidateRect(YKRect<int32> rect) override {
        rects.push_back(rect);
        allLocked = allLocked && locked;
    }
    void SetBackgroundColor(yk_color color) override { background = color; }
    void Retitle(const char* text) override { title = text; }
    void DocumentFrameChanged(YKRect<int32> changed) override { frame = changed; }
    void Quit() override { quit = true; }

    std::vector<YKRect<int32>> rects;
    bool locked = false;
    bool allLocked = true;
    yk_color background;
    std::string title;
    YKRect<int32> frame = YKRect<int32>::None();
    bool quit = false;
};
