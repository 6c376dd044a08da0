#pragma once

// YKTimelineGrid: the timeline's frames as columns (number and duration in the header) and the
// document's layers and objects as rows, each with its key frames marked. The current frame's
// column is highlighted. It paints only what is visible, so a long animation of many objects
// costs no more to show than a short one.

#include <QAbstractScrollArea>
#include <QString>
#include <vector>

#include "yk_types.h"

class YKTimelineGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    // One row: a user layer (a group, which may be collapsed) or an object of one.
    struct Row {
        QString name;
        int32 id = 0;
        bool group = false;
        bool collapsed = false;
        // Frames holding key frames, ascending, each once.
        std::vector<int32> keys;

        bool operator==(const Row&) const = default;
    };

    explicit YKTimelineGrid(QWidget* parent = nullptr);

    // What to show; each repaints only when it changes something.
    void SetFrames(const std::vector<float>& durations);
    void SetRows(std::vector<Row> rows);
    void SetCurrentFrame(int32 frame);

    int32 FrameCount() const { return static_cast<int32>(mDurations.size()); }
    int32 CurrentFrame() const { return mCurrent; }
    const std::vector<Row>& Rows() const { return mRows; }
    // Where the header cell of `frame` shows, in the viewport; empty when scrolled away.
    QRect FrameRect(int32 frame) const;
    // Where row `index` shows, in the viewport, name column included.
    QRect RowRect(int32 index) const;
    // The frame under a viewport point, 0 for none.
    int32 FrameAt(QPoint point) const;

Q_SIGNALS:
    // The user clicked a frame's column.
    void FrameClicked(int32 frame);
    // The user clicked a group row's name: it opens or closes.
    void GroupToggled(int32 id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();
    // Scrolls so that the current frame's column shows.
    void KeepCurrentVisible();
    int32 FirstColumnX() const;
    QRect ColumnRect(int32 frame) const;

    std::vector<float> mDurations;
    std::vector<Row> mRows;
    int32 mCurrent = 1;
};
