#pragma once

// YKCanvasPanel: the "Canvas" panel of "Canvas Properties…": the new width and height beside
// the current size, the anchor that keeps part of the old canvas in place, and the background
// colour. "OK" sends the new canvas to the application, which resizes the document undoably.

#include <QDialog>

#include "yk_color.h"
#include "yk_types.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QSpinBox;
class YKDocument;

class YKCanvasPanel : public QDialog {
    Q_OBJECT

public:
    // Opens a panel for `document` beside `parent`, which owns it; it goes when closed.
    static YKCanvasPanel* Open(YKDocument* document, QWidget* parent);

    YKCanvasPanel(YKDocument* document, QWidget* parent);

    void SetNewSize(int32 width, int32 height);
    // 0 top left to 8 bottom right, row by row.
    void SetAnchor(int32 anchor);
    int32 Anchor() const;
    void SetBackground(yk_color color);
    // What "OK" does: a size the canvas cannot take shows why and keeps the panel open.
    void accept() override;

private:
    void ShowBackground();

    YKDocument* mDocument;
    QSpinBox* mWidth;
    QSpinBox* mHeight;
    QLabel* mCurrent;
    QButtonGroup* mAnchors;
    QPushButton* mColorButton;
    yk_color mBackground;
};
