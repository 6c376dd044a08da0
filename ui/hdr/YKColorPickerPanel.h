#pragma once

// YKColorPickerPanel: a colour picker kept open beside the canvas. The colour picked becomes the
// fill colour of the selected objects; picking goes on while the user drags in the picker, and
// one pick (up to a pause) is one undo action.

#include "YKVectorPanel.h"

class QColorDialog;

class YKColorPickerPanel : public YKVectorPanel {
    Q_OBJECT

public:
    static YKPanel* Create(YKDocumentWindow* window);
    explicit YKColorPickerPanel(YKDocumentWindow* window);

    // Shows the fill colour of the first selected object.
    void Refresh() override;

    QColorDialog* Picker() const { return mPicker; }

private:
    QColorDialog* mPicker;
    // Set while Refresh shows a colour, which is no pick.
    bool mShowing = false;
};
