#include "YKPaintEditor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>

#include "YKColorButton.h"
#include "YKKeyFrameButton.h"
#include "YKVectorEntity.h"

YKPaintEditor::YKPaintEditor(bool fill, QWidget* parent)
    : QWidget(parent),
      mKind(new QComboBox(this)),
      mColor(new YKColorButton(tr("Colour"), this)),
      mKey(new YKKeyFrameButton(this)),
      mPattern(new QComboBox(this)),
      mGradient(new QPushButton(tr("Gradient…"), this)) {
    mKind->addItem(tr("None"), kColorFlagNone);
    mKind->addItem(tr("Colour"), kColorFlagColor);
    mKind->addItem(tr("Gradient"), kColorFlagGradient);
    mKind->addItem(tr("Pattern"), kColorFlagPattern);
    mKind->setToolTip(fill ? tr("How the inside is painted") : tr("How the outline is painted"));
    mColor->setToolTip(fill ? tr("Fill colour") : tr("Stroke colour"));
    mPattern->setToolTip(tr("Pattern"));
    mGradient->setToolTip(tr("Edit the gradient in the gradient composer"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    grid->addWidget(mKind, 0, 0);
    grid->addWidget(mColor, 0, 1);
    grid->addWidget(mKey, 0, 2);
    grid->addWidget(mPattern, 1, 0);
    grid->addWidget(mGradient, 1, 1, 1, 2);
    grid->setColumnStretch(0, 1);

    connect(mKind, &QComboBox::activated, this, [this](int index) {
        Q_EMIT KindChosen(static_cast<int16>(mKind->itemData(index).toInt()));
    });
    connect(mColor, &YKColorButton::ColorChosen, this,
            [this] { Q_EMIT ColorChosen(mColor->Color()); });
    connect(mKey, &QToolButton::clicked, this, &YKPaintEditor::KeyClicked);
    connect(mPattern, &QComboBox::activated, this,
            [this](int index) { Q_EMIT PatternChosen(mPattern->itemText(index)); });
    connect(mGradient, &QPushButton::clicked, this, &YKPaintEditor::GradientWanted);
}

void YKPaintEditor::Show(int16 flag, yk_color color, bool mixedColor, bool keyed,
                         const std::string& pattern) {
    // Open paths and text have no inside to fill.
    setEnabled(flag != kColorFlagNotFillable);
    mKind->setCurrentIndex(mKind->findData(flag));
    mColor->SetColor(color);
    mColor->setText(mixedColor ? tr("Mixed") : tr("Colour"));
    mKey->SetKeyed(keyed);
    mPattern->setCurrentIndex(mPattern->findText(QString::fromStdString(pattern)));
    mPattern->setEnabled(flag == kColorFlagPattern);
    mGradient->setEnabled(flag == kColorFlagGradient);
}

void YKPaintEditor::SetPatterns(const std::vector<std::string>& names) {
    if (names == mPatterns) {
        return;
    }
    mPatterns = names;
    const QString current = mPattern->currentText();
    mPattern->clear();
    for (const std::string& name : names) {
        mPattern->addItem(QString::fromStdString(name));
    }
    mPattern->setCurrentIndex(mPattern->findText(current));
}
