#include "YKLayerRowView.h"

#include <QDropEvent>
#include <QHeaderView>

YKLayerRowView::YKLayerRowView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(3);
    setHeaderLabels({tr("Show"), tr("Lock"), tr("Name")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(kVisible, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(kLocked, QHeaderView::ResizeToContents);
    // Renaming starts on a double click on the name only (the panel opens the editor).
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
}

void YKLayerRowView::dropEvent(QDropEvent* event) {
    QTreeWidgetItem* dragged = currentItem();
    if (event->source() != this || dragged == nullptr) {
        event->ignore();
        return;
    }
    const QModelIndex target = indexAt(event->position().toPoint());
    int gap = topLevelItemCount();
    if (target.isValid()) {
        const QRect row = visualRect(target);
        const bool lowerHalf = event->position().toPoint().y() > row.center().y();
        gap = target.row() + (dropIndicatorPosition() == BelowItem ||
                                      (dropIndicatorPosition() == OnItem && lowerHalf)
                                  ? 1
                                  : 0);
    }
    // Accepted without letting the view move anything: the document decides.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    Q_EMIT RowMoved(indexOfTopLevelItem(dragged), gap);
}
