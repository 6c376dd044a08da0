#pragma once

// YKObjectsPanel: the objects of the current layer, top first. The rows' selection is the
// canvas selection, both ways: selecting rows (Shift and Ctrl for several) selects the
// objects, and a selection made on the canvas shows in the rows. The tool bar duplicates and
// deletes the selected objects.

#include "YKLayerListPanel.h"

class YKObjectsPanel : public YKLayerListPanel {
    Q_OBJECT

public:
    static YKPanel* Create(YKDocumentWindow* window);
    explicit YKObjectsPanel(YKDocumentWindow* window);

protected:
    std::vector<YKLayer*> Listed() override;
    bool IsChosen(YKLayer* row) override;
    void Choose(const std::vector<YKLayer*>& rows) override;
    void Move(int32 from, int32 to) override;
};
