#include "YKColorButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

YKColorButton::YKColorButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    SetColor(mColor);
    connect(this, &QPushButton::clicked, this, &YKColorButton::Choose);
}

void YKColorButton::SetColor(yk_color color) {
    mColor = color;
    QPixmap swatch(16, 16);
    swatch.fill(QColor(color.red, color.green, color.blue, color.alpha));
    // Outlined, so that a white or clear colour still shows on the button.
    QPainter outline(&swatch);
    outline.setPen(Qt::darkGray);
    outline.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    setIcon(QIcon(swatch));
}

void YKColorButton::Choose() {
    auto* dialog =
        new QColorDialog(QColor(mColor.red, mColor.green, mColor.blue, mColor.alpha), this);
    dialog->setOption(QColorDialog::ShowAlphaChannel);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this, [this](const QColor& chosen) {
        SetColor(yk_color(static_cast<uint8>(chosen.red()), static_cast<uint8>(chosen.green()),
                          static_cast<uint8>(chosen.blue()), static_cast<uint8>(chosen.alpha())));
        Q_EMIT ColorChosen(mColor);
    });
    dialog->open();
}
