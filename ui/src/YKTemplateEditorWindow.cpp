#include "YKTemplateEditorWindow.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "YKColorButton.h"
#include "YKSizeUpdateThread.h"

YKTemplateEditorWindow::YKTemplateEditorWindow(const YKDocTemplate& start, const QString& title,
                                               Apply apply, QWidget* parent)
    : QDialog(parent),
      mApply(std::move(apply)),
      mName(new QLineEdit(QString::fromStdString(start.name))),
      mWidth(new QLineEdit(QString::number(start.width))),
      mHeight(new QLineEdit(QString::number(start.height))),
      mColor(new YKColorButton(tr("Colour\u2026"))),
      mProblem(new QLabel) {
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    mName->setMaxLength(static_cast<int>(YKDocTemplates::kMaxNameLength));
    mColor->SetColor(start.color);
    auto* fields = new QFormLayout;
    fields->addRow(tr("Name:"), mName);
    fields->addRow(tr("Width:"), mWidth);
    fields->addRow(tr("Height:"), mHeight);
    fields->addRow(tr("Background:"), mColor);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, this, &YKTemplateEditorWindow::SaveTemplate);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(mProblem);
    layout->addWidget(buttons);
}

QString YKTemplateEditorWindow::Problem() const {
    return mProblem->text();
}

void YKTemplateEditorWindow::SaveTemplate() {
    const YKSizeUpdateThread::Verdict size =
        YKSizeUpdateThread::Check(mWidth->text().toStdString(), mHeight->text().toStdString());
    if (!size.ok) {
        mProblem->setText(QString::fromStdString(size.text));
        return;
    }
    const std::string problem =
        mApply({mName->text().trimmed().toStdString(), size.width, size.height, mColor->Color()});
    if (!problem.empty()) {
        mProblem->setText(QString::fromStdString(problem));
        return;
    }
    accept();
}
