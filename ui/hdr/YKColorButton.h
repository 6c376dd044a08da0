#pragma once

// YKColorButton: a button that shows a colour as a swatch and lets the user pick another
// (with its alpha) in a colour dialog that does not block the window.

#include <QPushButton>

#include "yk_color.h"

class YKColorButton : public QPushButton {
    Q_OBJECT

public:
    explicit YKColorButton(const QString& text, QWidget* parent = nullptr);

    yk_color Color() const { return mColor; }
    void SetColor(yk_color color);

Q_SIGNALS:
    // The user chose a colour in the dialog (not sent by SetColor).
    void ColorChosen(yk_color color);

private:
    void Choose();

    yk_color mColor{255, 255, 255, 255};
};
