#pragma once

// YKJavaScriptIOWin: the export window of a roll-over page. Besides the options it lists the
// mouse events ("Events") and the rendered frames ("Frames"); double-clicking a frame gives it
// to the selected event. "Save As" asks for the page; the images go beside it.

#include "YKRasterIOWin.h"

class QListWidget;
class QTreeWidget;

class YKJavaScriptIOWin : public YKRasterIOWin {
    Q_OBJECT

public:
    YKJavaScriptIOWin(YKDocumentWindow* owner, YKRasterIO* io, int32 frame);

    QTreeWidget* Events() const { return mEvents; }
    QListWidget* Frames() const { return mFrames; }
    // The frame given to `event` (from 1, in the exported range; 0: none).
    int32 FrameOf(const char* event) const;
    // Gives frame `frame` (from 1) to the selected event, as double-clicking it does.
    void AssignToSelected(int32 frame);

protected:
    bool Prepare() override;

private:
    void ShowFrames();
    void ShowEvents();

    QTreeWidget* mEvents;
    QListWidget* mFrames;
};
