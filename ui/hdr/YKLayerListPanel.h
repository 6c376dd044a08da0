#pragma once

// YKLayerListPanel: what the layers panel and the objects panel share. A list of layers, top
// of the stack first, each row with a visibility and a lock check box and a name renamed in
// place; below it the opacity (in percent) and the merge method of the layer the panel is
// on; a tool bar of commands. Every change goes through the core as one undoable action.
//
// A refresh rebuilds the rows only when the listed layers, their order or their names
// changed; otherwise it updates the check boxes, the chosen rows and the controls in place,
// which is what a drag on the canvas, notifying on every move, costs.

#include <string>
#include <utility>
#include <vector>

#include "YKPanel.h"

class QComboBox;
class QSpinBox;
class QToolBar;
class QTreeWidgetItem;
class YKLayer;
class YKLayerRowView;

class YKLayerListPanel : public YKPanel {
    Q_OBJECT

public:
    void Refresh() override;

    YKLayerRowView* Rows() const { return mRows; }
    QSpinBox* OpacityBox() const { return mOpacity; }
    QComboBox* MergeBox() const { return mMerge; }
    QToolBar* Tools() const { return mTools; }
    // The layer a row shows; null outside the rows.
    YKLayer* RowLayer(int row) const;
    // Moves the row `from` into the gap `to` (0 above the first row), as a drop does.
    void MoveRow(int from, int to);

protected:
    explicit YKLayerListPanel(YKDocumentWindow* window);

    // The layers to list, top first; called under the hierarchy lock.
    virtual std::vector<YKLayer*> Listed() = 0;
    // Whether a row is the current layer, or a selected object.
    virtual bool IsChosen(YKLayer* row) = 0;
    // The user clicked rows: they become the current layer, or the selection.
    virtual void Choose(const std::vector<YKLayer*>& rows) = 0;
    // Moves the child at `from` of the listed layers' parent into the gap `to` (0 the bottom).
    virtual void Move(int32 from, int32 to) = 0;
    // A tool bar button that sends a window command.
    void AddCommand(const char* label, const char* tip, uint32 code);
    // The user layer the window edits: the event manager's, else the viewer's.
    YKLayer* CurrentUserLayer() const;

private:
    using Keys = std::vector<std::pair<YKLayer*, std::string>>;

    void Rebuild(const std::vector<YKLayer*>& layers);
    void Update(QTreeWidgetItem* item, YKLayer* layer);
    void UpdateControls(YKLayer* target);
    void ItemChanged(QTreeWidgetItem* item, int column);
    void SelectionChanged();
    void CommitOpacity();
    void CommitMerge(int method);
    // The layer that the opacity and merge controls change: the first chosen row's.
    YKLayer* ControlsTarget() const;
    // Runs `change` on the layer a row shows as one undoable action.
    void Change(YKLayer* row, const char* name, const std::function<void(YKLayer*)>& change);
    void RefreshSoon();

    QToolBar* mTools;
    YKLayerRowView* mRows;
    QSpinBox* mOpacity;
    QComboBox* mMerge;
    Keys mKeys;
    // Set while the panel itself writes to its widgets, so that their signals are not edits.
    bool mUpdating = false;
};
