#include "YKDocumentCreator.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "YKAlert.h"
#include "YKColorButton.h"
#include "YKMessage.h"
#include "YKPrefSetting.h"
#include "YKTemplateEditorWindow.h"

YKDocumentCreator::YKDocumentCreator(YKPrefSetting* preferences, Post post, QWidget* parent)
    : QDialog(parent),
      mPreferences(preferences),
      mPost(std::move(post)),
      mList(new QListWidget),
      mName(new QLineEdit(tr("Untitled"))),
      mWidth(new QLineEdit),
      mHeight(new QLineEdit),
      mColor(new YKColorButton(tr("Colour\u2026"))),
      mSizeStatus(new QLabel),
      mOk(new QPushButton(tr("OK"))) {
    setWindowTitle(tr("New Document"));
    mTemplates.LoadFromPref(*mPreferences);

    auto* fields = new QFormLayout;
    fields->addRow(tr("Name:"), mName);
    fields->addRow(tr("Width:"), mWidth);
    fields->addRow(tr("Height:"), mHeight);
    fields->addRow(tr("Background:"), mColor);
    fields->addRow(mSizeStatus);

    auto* newButton = new QPushButton(tr("New Template\u2026"));
    auto* editButton = new QPushButton(tr("Edit Template\u2026"));
    auto* deleteButton = new QPushButton(tr("Delete Template"));
    auto* templateButtons = new QHBoxLayout;
    templateButtons->addWidget(newButton);
    templateButtons->addWidget(editButton);
    templateButtons->addWidget(deleteButton);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    buttons->addButton(mOk, QDialogButtonBox::AcceptRole);
    mOk->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Templates:")));
    layout->addWidget(mList);
    layout->addLayout(templateButtons);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    connect(mList, &QListWidget::currentRowChanged, this, &YKDocumentCreator::SelectTemplate);
    connect(mWidth, &QLineEdit::textChanged, this, &YKDocumentCreator::SubmitSize);
    connect(mHeight, &QLineEdit::textChanged, this, &YKDocumentCreator::SubmitSize);
    connect(newButton, &QPushButton::clicked, this, &YKDocumentCreator::NewTemplate);
    connect(editButton, &QPushButton::clicked, this, &YKDocumentCreator::EditSelected);
    connect(deleteButton, &QPushButton::clicked, this, &YKDocumentCreator::DeleteSelected);
    connect(buttons, &QDialogButtonBox::accepted, this, &YKDocumentCreator::Confirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, &YKDocumentCreator::Cancelled);
    FillList();
}

YKDocumentCreator::~YKDocumentCreator() {
    // Before the widgets go: the thread's reports are queued onto them.
    mSizeThread.reset();
}

// --- Templates ---

void YKDocumentCreator::FillList() {
    const int keep = mList->currentRow();
    mList->clear();
    for (int32 i = 0; i < mTemplates.Count(); ++i) {
        mList->addItem(QString::fromStdString(mTemplates.At(i)->name));
    }
    SelectTemplate(std::clamp(keep, 0, static_cast<int>(mTemplates.Count()) - 1));
}

int YKDocumentCreator::SelectedTemplate() const {
    return mList->currentRow();
}

void YKDocumentCreator::SelectTemplate(int index) {
    const YKDocTemplate* chosen = mTemplates.At(index);
    if (chosen == nullptr) {
        return;
    }
    if (mList->currentRow() != index) {
        mList->setCurrentRow(index);  // comes back here through the list's signal
        return;
    }
    mWidth->setText(QString::number(chosen->width));
    mHeight->setText(QString::number(chosen->height));
    mColor->SetColor(chosen->color);
}

void YKDocumentCreator::StoreTemplates() {
    mTemplates.SaveToPref(mPreferences);
    FillList();
}

bool YKDocumentCreator::DeleteSelected() {
    const int index = SelectedTemplate();
    const YKDocTemplate* chosen = mTemplates.At(index);
    if (chosen == nullptr) {
        return false;
    }
    const std::string question = "Do you really want to delete \"" + chosen->name + "\"?";
    if (YKAlert(question.c_str(), "Cancel", "Delete").Go() != 1) {
        return false;
    }
    // An open editor would write back over the row that moves up.
    if (mEditor != nullptr) {
        mEditor->close();
    }
    mTemplates.Remove(index);
    StoreTemplates();
    return true;
}

YKTemplateEditorWindow* YKDocumentCreator::EditSelected() {
    const YKDocTemplate* chosen = mTemplates.At(SelectedTemplate());
    return chosen != nullptr ? OpenEditor(*chosen, SelectedTemplate()) : nullptr;
}

YKTemplateEditorWindow* YKDocumentCreator::NewTemplate() {
    const YKSizeUpdateThread::Verdict size =
        YKSizeUpdateThread::Check(mWidth->text().toStdString(), mHeight->text().toStdString());
    YKDocTemplate start{tr("New Template").toStdString()};
    if (size.ok) {
        start.width = size.width;
        start.height = size.height;
    }
    start.color = mColor->Color();
    return OpenEditor(start, -1);
}

YKTemplateEditorWindow* YKDocumentCreator::OpenEditor(const YKDocTemplate& start, int index) {
    // One editor at a time: the index it edits must not shift under it.
    if (mEditor != nullptr) {
        mEditor->close();
    }
    const QString title = index < 0 ? tr("New Template") : tr("Edit Template");
    mEditor = new YKTemplateEditorWindow(
        start, title,
        [this, index](const YKDocTemplate& edited) {
            std::string problem = YKDocTemplates::Problem(edited);
            if (!problem.empty()) {
                return problem;
            }
            if (index < 0) {
                mTemplates.Add(edited);
                mList->setCurrentRow(-1);
                StoreTemplates();
                SelectTemplate(mTemplates.Count() - 1);
            } else {
                mTemplates.Replace(index, edited);
                StoreTemplates();
                SelectTemplate(index);
            }
            return std::string();
        },
        this);
    mEditor->show();
    return mEditor;
}

// --- Size and confirmation ---

void YKDocumentCreator::SubmitSize() {
    if (mSizeThread != nullptr) {
        mLatestSize =
            mSizeThread->Submit(mWidth->text().toStdString(), mHeight->text().toStdString());
    }
}

QString YKDocumentCreator::SizeStatus() const {
    return mSizeStatus->text();
}

void YKDocumentCreator::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    mSizeThread =
        std::make_unique<YKSizeUpdateThread>([this](const YKSizeUpdateThread::Verdict& verdict) {
            QMetaObject::invokeMethod(
                this,
                [this, verdict] {
                    // An answer to texts typed over since is of no use.
                    if (verdict.serial == mLatestSize) {
                        mSizeStatus->setText(QString::fromStdString(verdict.text));
                        mOk->setEnabled(verdict.ok);
                    }
                },
                Qt::QueuedConnection);
        });
    SubmitSize();
}

void YKDocumentCreator::hideEvent(QHideEvent* event) {
    mSizeThread.reset();
    QDialog::hideEvent(event);
}

void YKDocumentCreator::Confirm() {
    // Checked here too: the thread's verdict may still be on its way.
    const YKSizeUpdateThread::Verdict size =
        YKSizeUpdateThread::Check(mWidth->text().toStdString(), mHeight->text().toStdString());
    const std::string name = mName->text().trimmed().toStdString();
    if (!size.ok || name.empty()) {
        mSizeStatus->setText(size.ok ? tr("The document needs a name.")
                                     : QString::fromStdString(size.text));
        return;
    }
    mPost(YKDocTemplates::CreateRequest({name, size.width, size.height, mColor->Color()}));
    hide();
}
