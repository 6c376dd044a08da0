#pragma once

// YKTimelinePanel: the document's animation. Its grid shows the frames with their durations and
// the key frames of every object, grouped by user layer; a click on a frame makes it current.
// Its buttons play and stop the window's playback and carry out the frame edits (insert,
// delete, copy, paste, replace, key frames), each one undo action; the duration box sets the
// current frame's duration. The current frame follows playback as the frames are shown.

#include <functional>
#include <set>

#include "YKPanel.h"

class QLabel;
class QSpinBox;
class QToolButton;
class YKTimelineGrid;

class YKTimelinePanel : public YKPanel {
    Q_OBJECT

public:
    static YKPanel* Create(YKDocumentWindow* window);
    explicit YKTimelinePanel(YKDocumentWindow* window);

    void Refresh() override;
    // Timeline messages of other documents are not this panel's business.
    void Notify(const YKMessage& message) override;

    YKTimelineGrid* Grid() const { return mGrid; }
    // The Animation menu's row commands: 17 expands every layer, 18 minimizes every layer; the
    // rows are objects already, so 19 and 20 expand and minimize every layer too, 21 expands the
    // layers holding selected objects and 22 minimizes those holding none.
    void ShowRows(int32 code);

private:
    QToolButton* AddButton(const QString& text, const QString& tip,
                           const std::function<void()>& action);
    QToolButton* AddCommand(const QString& text, const QString& tip, uint32 code);
    void Send(uint32 code);
    void InsertFrames();
    void CommitDuration();
    void FrameShown(int32 frame);
    void PlayingChanged(bool playing);
    void ToggleGroup(int32 id);
    // The rows of the grid: each user layer and, unless collapsed, its objects.
    void ReadRows();

    YKTimelineGrid* mGrid;
    QLabel* mFrameLabel;
    QSpinBox* mDuration;
    // The frame whose duration the box shows.
    int32 mDurationFrame = 0;
    // Whether the user changed the box since it last showed a duration.
    bool mDurationTyped = false;
    QSpinBox* mInsertCount;
    QToolButton* mStop;
    // Everything that changes the frames: disabled while playing.
    std::vector<QWidget*> mEditing;
    std::set<int32> mCollapsed;
    bool mPlaying = false;
};
