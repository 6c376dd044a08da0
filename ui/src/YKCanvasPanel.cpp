#include "YKCanvasPanel.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include "YKAlert.h"
#include "YKCanvasResize.h"
#include "YKDocument.h"

namespace {

// Wide enough that a wrong size reaches the check and its explanation rather than being
// silently clamped by the field.
constexpr int kFieldLimit = 1000000;

// The arrows of the windrose, row by row; the centre is a dot.
constexpr const char* kRose[] = {"↖", "↑", "↗", "←", "•", "→", "↙", "↓", "↘"};

}  // namespace

YKCanvasPanel* YKCanvasPanel::Open(YKDocument* document, QWidget* parent) {
    auto* panel = new YKCanvasPanel(document, parent);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->show();
    return panel;
}

YKCanvasPanel::YKCanvasPanel(YKDocument* document, QWidget* parent)
    : QDialog(parent),
      mDocument(document),
      mWidth(new QSpinBox(this)),
      mHeight(new QSpinBox(this)),
      mCurrent(new QLabel(this)),
      mAnchors(new QButtonGroup(this)),
      mColorButton(new QPushButton(this)),
      mBackground(document->BackgroundColor()) {
    setWindowTitle(tr("Canvas"));
    const YKRect<int32> frame = document->Frame();
    for (QSpinBox* field : {mWidth, mHeight}) {
        field->setRange(-kFieldLimit, kFieldLimit);
    }
    mWidth->setValue(frame.Width() + 1);
    mHeight->setValue(frame.Height() + 1);
    mCurrent->setText(QString::asprintf("Current: %dx%d", frame.Width() + 1, frame.Height() + 1));

    auto* rose = new QGridLayout;
    rose->setSpacing(2);
    for (int32 anchor = 0; anchor < YKCanvasResize::kAnchorCount; ++anchor) {
        auto* button = new QToolButton(this);
        button->setText(QString::fromUtf8(kRose[anchor]));
        button->setCheckable(true);
        button->setFixedSize(28, 28);
        mAnchors->addButton(button, anchor);
        rose->addWidget(button, anchor / 3, anchor % 3);
    }
    SetAnchor(4);

    connect(mColorButton, &QPushButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(
            QColor(mBackground.red, mBackground.green, mBackground.blue, mBackground.alpha), this,
            tr("Background color"), QColorDialog::ShowAlphaChannel);
        if (chosen.isValid()) {
            SetBackground(yk_color(chosen.red(), chosen.green(), chosen.blue(), chosen.alpha()));
        }
    });
    ShowBackground();

    auto* form = new QFormLayout;
    form->addRow(tr("Width"), mWidth);
    form->addRow(tr("Height"), mHeight);
    form->addRow(QString(), mCurrent);
    form->addRow(tr("Anchor"), rose);
    form->addRow(tr("Background color:"), mColorButton);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void YKCanvasPanel::SetNewSize(int32 width, int32 height) {
    mWidth->setValue(width);
    mHeight->setValue(height);
}

void YKCanvasPanel::SetAnchor(int32 anchor) {
    if (QAbstractButton* button = mAnchors->button(anchor)) {
        button->setChecked(true);
    }
}

int32 YKCanvasPanel::Anchor() const {
    return mAnchors->checkedId();
}

void YKCanvasPanel::SetBackground(yk_color color) {
    mBackground = color;
    ShowBackground();
}

void YKCanvasPanel::ShowBackground() {
    mColorButton->setText(QString::asprintf("#%02X%02X%02X, alpha %d", mBackground.red,
                                            mBackground.green, mBackground.blue,
                                            mBackground.alpha));
}

void YKCanvasPanel::accept() {
    const std::string refused = YKCanvasResize::CheckSize(mWidth->value(), mHeight->value());
    if (!refused.empty()) {
        YKAlert(refused.c_str(), "OK").Go();
        return;
    }
    const YKRect<int32> frame =
        YKCanvasResize::NewFrame(mDocument->Frame(), mWidth->value(), mHeight->value(), Anchor());
    mDocument->PostToApplication(YKCanvasResize::Message(mDocument, frame, mBackground));
    QDialog::accept();
}
