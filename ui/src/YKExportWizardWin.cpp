// The window of several exports of one document.

#include "YKExportWizardWin.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKExportOptionsView.h"
#include "YKExportRunBar.h"
#include "YKExportWizard.h"
#include "YKRasterFilters.h"
#include "YKRasterIO.h"
#include "YKRasterIOView.h"

namespace {

// Beside the document when it has been saved, else in the home folder.
QString DefaultPath(YKDocument* document, const YKRasterIO& io) {
    const std::string extension = io.Extension();
    const QString name = QFileInfo(QString::fromUtf8(document->Name())).completeBaseName() +
                         QString::fromStdString(extension.substr(0, extension.find(';')));
    const QDir folder = document->Path() != nullptr
                            ? QFileInfo(QFile::decodeName(document->Path())).dir()
                            : QDir::home();
    return folder.filePath(name);
}

QString Entry(const YKRasterIOView& view) {
    return QStringLiteral("%1 — %2").arg(
        QString::fromUtf8(view.IO()->MenuName()),
        QFileInfo(QFile::decodeName(view.FileName().c_str())).fileName());
}

}  // namespace

YKExportWizardWin::YKExportWizardWin(YKDocumentWindow* owner)
    : QWidget(owner, Qt::Window),
      mOwner(owner),
      mWizard(std::make_unique<YKExportWizard>(owner->Document())),
      mSize(new QLabel(this)),
      mList(new QListWidget(this)),
      mAdd(new QPushButton(tr("Add Export:"), this)),
      mRemove(new QPushButton(tr("Remove"), this)),
      mLive(new QCheckBox(tr("Live Update"), this)),
      mPages(new QStackedWidget(this)),
      mProgress(new YKExportRunBar(this)),
      mError(new QLabel(this)),
      mPrevious(new QPushButton(tr("Previous"), this)),
      mExport(new QPushButton(tr("Export"), this)) {
    setWindowTitle(tr("Gravik Export Wizard"));

    // --- The document, the exports and what can be added ---
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QString::fromStdString(mWizard->DocumentText()), this));
    side->addWidget(mSize);
    side->addWidget(new QLabel(tr("Select Export:"), this));
    side->addWidget(mList, 1);
    auto* formats = new QMenu(mAdd);
    // Filled as it opens, so that it follows the preferences.
    connect(formats, &QMenu::aboutToShow, this, [this, formats] { FillFormats(formats); });
    FillFormats(formats);
    mAdd->setMenu(formats);
    auto* edit = new QHBoxLayout;
    edit->addWidget(mAdd);
    edit->addWidget(mRemove);
    side->addLayout(edit);
    auto* update = new QHBoxLayout;
    auto* rasters = new QPushButton(tr("Rasters"), this);
    update->addWidget(new QLabel(tr("Update:"), this));
    update->addWidget(rasters);
    update->addWidget(mLive);
    side->addLayout(update);
    mLive->setChecked(YKExportOptionsView::SavedLiveUpdate());

    // --- The selected export ---
    auto* empty = new QWidget(mPages);
    auto* emptyColumn = new QVBoxLayout(empty);
    emptyColumn->addStretch(1);
    emptyColumn->addWidget(new QLabel(tr("(no export selected)"), empty), 0, Qt::AlignCenter);
    emptyColumn->addWidget(new QLabel(tr("No Parameters to display"), empty), 0, Qt::AlignCenter);
    emptyColumn->addStretch(1);
    mPages->addWidget(empty);

    auto* row = new QHBoxLayout;
    row->addLayout(side);
    row->addWidget(mPages, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row, 1);
    mError->setWordWrap(true);
    mError->setStyleSheet(QStringLiteral("color: #b00020"));
    mError->hide();
    column->addWidget(mError);
    column->addWidget(mProgress);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    buttons->addButton(mPrevious, QDialogButtonBox::ActionRole);
    buttons->addButton(mExport, QDialogButtonBox::AcceptRole);
    column->addWidget(buttons);

    connect(mList, &QListWidget::currentRowChanged, this, &YKExportWizardWin::SelectExport);
    connect(mRemove, &QPushButton::clicked, this, &YKExportWizardWin::RemoveExport);
    connect(rasters, &QPushButton::clicked, this, &YKExportWizardWin::UpdateRasters);
    connect(mLive, &QCheckBox::toggled, this, [this](bool live) {
        YKExportOptionsView::KeepLiveUpdate(live);
        for (int32 i = 0; i < mWizard->CountExports(); ++i) {
            OptionsAt(i)->SetLiveUpdate(live);
        }
    });
    connect(mPrevious, &QPushButton::clicked, this, &YKExportWizardWin::Previous);
    connect(mExport, &QPushButton::clicked, this, &YKExportWizardWin::Export);
    connect(cancel, &QPushButton::clicked, this, &YKExportWizardWin::Cancel);
    connect(mProgress, &YKExportRunBar::Ended, this, &YKExportWizardWin::Ended);
    Refresh();
}

void YKExportWizardWin::FillFormats(QMenu* formats) {
    formats->clear();
    const YKRasterFilters* registry = YKRasterFilters::Instantiate();
    bool internals = false;
    bool translators = false;
    for (const int32 index : mWizard->AddableFormats(YKDocumentWindow::TranslatorsOnly())) {
        const YKRasterIO* io = registry->FilterAt(index);
        if (io->IsInternal() && !internals) {
            formats->addSection(QStringLiteral("--(Internal Handlers)--"));
            internals = true;
        } else if (!io->IsInternal() && !translators) {
            formats->addSection(QStringLiteral("--(BeOS Translators)--"));
            translators = true;
        }
        formats->addAction(QString::fromUtf8(io->MenuName()), this,
                           [this, index] { AddExport(index); });
    }
}

YKExportWizardWin::~YKExportWizardWin() {
    // The run belongs to the wizard, which goes before the progress area that watches it.
    mProgress->Abandon();
}

YKExportOptionsView* YKExportWizardWin::OptionsAt(int32 index) const {
    QWidget* page = mPages->widget(index + 1);
    return page != nullptr && index >= 0 ? page->findChild<YKExportOptionsView*>() : nullptr;
}

// --- Exports ---

bool YKExportWizardWin::AddExport(int32 index) {
    const YKRasterIO* io = YKRasterFilters::Instantiate()->FilterAt(index);
    if (io == nullptr || mOwner->IsQuitting() || mProgress->Running()) {
        return false;
    }
    const QString path = DefaultPath(mOwner->Document(), *io);
    YKRasterIOView* view = mWizard->addExport(index, QFile::encodeName(path).constData());
    if (view == nullptr) {
        return false;
    }
    const int32 added = mWizard->CountExports() - 1;
    mPages->addWidget(ExportPage(added));
    OptionsAt(added)->SetLiveUpdate(mLive->isChecked());
    OptionsAt(added)->RenderFrames(nullptr);
    mList->addItem(Entry(*view));
    mList->setCurrentRow(added);
    return true;
}

QWidget* YKExportWizardWin::ExportPage(int32 index) {
    YKRasterIOView* view = mWizard->ExportAt(index);
    auto* page = new QWidget(mPages);
    auto* column = new QVBoxLayout(page);
    auto* file = new QHBoxLayout;
    auto* path = new QLineEdit(QFile::decodeName(view->FileName().c_str()), page);
    auto* choose = new QPushButton(tr("Choose…"), page);
    file->addWidget(new QLabel(tr("File"), page));
    file->addWidget(path, 1);
    file->addWidget(choose);
    column->addLayout(file);
    column->addWidget(new YKExportOptionsView(view, page), 1);
    // The page moves when an export before it is removed: it finds its row when edited.
    connect(path, &QLineEdit::editingFinished, this,
            [this, page, path] { SetPath(mPages->indexOf(page) - 1, path->text()); });
    connect(choose, &QPushButton::clicked, this, [this, page, path] {
        const QStringList chosen =
            YKDocumentWindow::ChooseFiles(this, tr("Export"), true, path->text());
        if (!chosen.isEmpty()) {
            path->setText(chosen.front());
            SetPath(mPages->indexOf(page) - 1, chosen.front());
        }
    });
    return page;
}

void YKExportWizardWin::SetPath(int32 index, const QString& path) {
    YKRasterIOView* view = mWizard->ExportAt(index);
    if (view == nullptr || path.isEmpty() || mProgress->Running()) {
        return;
    }
    view->SetFileName(QFile::encodeName(path).constData());
    if (QLineEdit* field = mPages->widget(index + 1)->findChild<QLineEdit*>();
        field->text() != path) {
        field->setText(path);
    }
    mList->item(index)->setText(Entry(*view));
}

void YKExportWizardWin::SelectExport(int32 index) {
    mWizard->selectExport(index);
    const int32 selected = index >= 0 && index < mWizard->CountExports() ? index : -1;
    mPages->setCurrentIndex(selected + 1);
    if (mList->currentRow() != selected) {
        mList->setCurrentRow(selected);
    }
    Refresh();
}

void YKExportWizardWin::Previous() {
    if (mWizard->Selected() > 0) {
        SelectExport(mWizard->Selected() - 1);
    }
}

void YKExportWizardWin::RemoveExport() {
    const int32 selected = mWizard->Selected();
    if (selected < 0 || mProgress->Running()) {
        return;
    }
    // Its options view watches the export's view: it goes first.
    QWidget* page = mPages->widget(selected + 1);
    mPages->removeWidget(page);
    delete page;
    mWizard->removeExport();
    {
        // The list's own change of row would select in the wizard before it caught up.
        const QSignalBlocker quiet(mList);
        delete mList->takeItem(selected);
    }
    SelectExport(mWizard->Selected());
}

void YKExportWizardWin::UpdateRasters() {
    if (mOwner->IsQuitting() || mProgress->Running()) {
        return;
    }
    for (int32 i = 0; i < mWizard->CountExports(); ++i) {
        OptionsAt(i)->RenderFrames(nullptr);
    }
    Refresh();
}

void YKExportWizardWin::Refresh() {
    mSize->setText(QString::fromStdString(mWizard->SizeText()));
    const bool idle = !mProgress->Running();
    mRemove->setEnabled(idle && mWizard->Selected() >= 0);
    mPrevious->setEnabled(mWizard->Selected() > 0);
    mExport->setEnabled(idle && mWizard->CountExports() > 0);
    mAdd->setEnabled(idle);
}

// --- Running ---

bool YKExportWizardWin::Export() {
    if (mOwner->IsQuitting() || !mProgress->Start(*mWizard)) {
        return false;
    }
    mError->hide();
    // The export thread reads the options: they hold still until it ends.
    mPages->setEnabled(false);
    Refresh();
    return true;
}

void YKExportWizardWin::Cancel() {
    if (mProgress->Running()) {
        mProgress->Cancel();
    } else {
        hide();
    }
}

void YKExportWizardWin::Ended(bool ok, bool cancelled, const QString& error) {
    if (!ok && !cancelled) {
        mError->setText(error);
        mError->show();
    }
    mPages->setEnabled(true);
    Refresh();
}

void YKExportWizardWin::closeEvent(QCloseEvent* event) {
    // Closing hides: the exports stay for the next time. A run goes on in the background.
    event->ignore();
    hide();
}
