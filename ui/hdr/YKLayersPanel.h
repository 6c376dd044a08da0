#pragma once

// YKLayersPanel: the user layers of the document, top of the stack first. Clicking a row makes
// it the current layer (the one new objects go into and the Layer menu acts on); the tool bar
// carries the Layer menu's new, duplicate, delete, merge down and flatten.

#include "YKLayerListPanel.h"

class YKLayersPanel : public YKLayerListPanel {
    Q_OBJECT

public:
    static YKPanel* Create(YKDocumentWindow* window);
    explicit YKLayersPanel(YKDocumentWindow* window);

protected:
    std::vector<YKLayer*> Listed() override;
    bool IsChosen(YKLayer* row) override;
    void Choose(const std::vector<YKLayer*>& rows) override;
    void Move(int32 from, int32 to) override;
};
