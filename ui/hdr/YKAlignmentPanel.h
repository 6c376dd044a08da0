#pragma once

// YKAlignmentPanel: the alignment actions as buttons. Each aligns, centres, enlarges or packs the
// selected objects of the current layer, as the Object menu's Alignment items do, and is undone
// as one step.

#include "YKPanel.h"

class QToolButton;

class YKAlignmentPanel : public YKPanel {
    Q_OBJECT

public:
    static YKPanel* Create(YKDocumentWindow* window);
    explicit YKAlignmentPanel(YKDocumentWindow* window);

    // Carries out the action of one of the YKViewerLayer alignment flags, as its button does.
    void Align(int32 action);
    // The buttons are enabled while two objects or more are selected.
    void Refresh() override;

private:
    std::vector<QToolButton*> mButtons;
};
