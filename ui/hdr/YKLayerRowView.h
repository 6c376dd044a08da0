#pragma once

// YKLayerRowView: the list of a layer panel, one row per layer with its visibility and lock
// check boxes and its name. Rows are dragged to reorder them; the panel carries the move out
// in the document and lists the rows again, so the view never moves a row by itself.

#include <QTreeWidget>

class YKLayerRowView : public QTreeWidget {
    Q_OBJECT

public:
    enum Column { kVisible, kLocked, kName };

    explicit YKLayerRowView(QWidget* parent);

Q_SIGNALS:
    // The row `from` was dropped into the gap `to`: 0 above the first row, the row count below
    // the last.
    void RowMoved(int from, int to);

protected:
    void dropEvent(QDropEvent* event) override;
};
