// The export window of one format.

#include "YKRasterIOWin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEnvelopManager.h"
#include "YKExportOptionsView.h"
#include "YKExportRunBar.h"
#include "YKJavaScriptIO.h"
#include "YKJavaScriptIOWin.h"
#include "YKRasterAnimIO.h"
#include "YKRasterIOView.h"
#include "YKRasterStillIO.h"

namespace {

YKRasterIOView* MakeView(YKDocument* document, YKRasterIO* io, int32 frame) {
    auto* still = dynamic_cast<YKRasterStillIO*>(io);
    auto* animation = still == nullptr ? dynamic_cast<YKRasterAnimIO*>(io) : nullptr;
    return new YKRasterIOView(still, animation, document, frame, nullptr, "");
}

// The document's name with the format's extension, in the document's folder when it has one.
QString SuggestedPath(YKDocument* document, const YKRasterIO& io) {
    const std::string extension = io.Extension();
    const QString name = QFileInfo(QString::fromUtf8(document->Name())).completeBaseName() +
                         QString::fromStdString(extension.substr(0, extension.find(';')));
    if (document->Path() == nullptr) {
        return name;
    }
    return QFileInfo(QFile::decodeName(document->Path())).dir().filePath(name);
}

}  // namespace

YKRasterIOWin* YKRasterIOWin::Open(YKDocumentWindow* owner, YKRasterIO* io) {
    if (io == nullptr || owner->IsQuitting() ||
        (io->Capabilities() & (YKRasterIO::kWritesStills | YKRasterIO::kWritesAnimations)) == 0) {
        return nullptr;
    }
    const int32 frame = owner->Document()->EnvelopManager()->CurrentFrame();
    YKRasterIOWin* window = dynamic_cast<YKJavaScriptIO*>(io) != nullptr
                                ? new YKJavaScriptIOWin(owner, io, frame)
                                : new YKRasterIOWin(owner, io, frame);
    window->show();
    window->Prepare();
    return window;
}

YKRasterIOWin::YKRasterIOWin(YKDocumentWindow* owner, YKRasterIO* io, int32 frame)
    : QWidget(owner, Qt::Window),
      mOwner(owner),
      mView(MakeView(owner->Document(), io, frame)),
      mOptions(new YKExportOptionsView(mView.get(), this)),
      mProgress(new YKExportRunBar(this)),
      mSections(new QVBoxLayout),
      mError(new QLabel(this)),
      mSave(new QPushButton(tr("Save As"), this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(mView->IsAnimation() ? tr("Gravik Anim Export") : tr("Gravik Export"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(mOptions, 1);
    column->addLayout(mSections);
    mError->setWordWrap(true);
    mError->setStyleSheet(QStringLiteral("color: #b00020"));
    mError->hide();
    column->addWidget(mError);
    if (mView->Shows(YKRasterIOView::kProgressAndButtons)) {
        column->addWidget(mProgress);
    } else {
        mProgress->hide();
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    buttons->addButton(mSave, QDialogButtonBox::AcceptRole);
    mSave->setDefault(true);
    column->addWidget(buttons);
    connect(cancel, &QPushButton::clicked, this, &YKRasterIOWin::Cancel);
    connect(mSave, &QPushButton::clicked, this, &YKRasterIOWin::SaveAs);
    connect(mProgress, &YKExportRunBar::Ended, this, &YKRasterIOWin::Ended);
}

YKRasterIOWin::~YKRasterIOWin() {
    // The export thread writes through the view: it ends before the view goes.
    mProgress->Abandon();
}

bool YKRasterIOWin::Prepare() {
    if (mOwner->IsQuitting()) {
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    const bool rendered = mOptions->RenderFrames(&error);
    QApplication::restoreOverrideCursor();
    if (!rendered) {
        mError->setText(QString::fromStdString(error));
        mError->show();
    }
    return rendered;
}

void YKRasterIOWin::SaveAs() {
    const QStringList chosen = YKDocumentWindow::ChooseFiles(
        this, tr("Save As"), true, SuggestedPath(mView->Document(), *mView->IO()));
    if (!chosen.isEmpty()) {
        SaveTo(chosen.front());
    }
}

bool YKRasterIOWin::SaveTo(const QString& path) {
    if (mOwner->IsQuitting() || mProgress->Running()) {
        return false;
    }
    mView->SetFileName(QFile::encodeName(path).constData());
    mError->hide();
    // The export thread reads the options: they hold still until it ends.
    SetEditable(false);
    if (!mProgress->Start({mView.get()})) {
        SetEditable(true);
        return false;
    }
    return true;
}

QString YKRasterIOWin::ErrorText() const {
    return mError->isHidden() ? QString() : mError->text();
}

void YKRasterIOWin::Cancel() {
    if (mProgress->Running()) {
        mProgress->Cancel();
    } else {
        close();
    }
}

void YKRasterIOWin::SetEditable(bool editable) {
    mOptions->setEnabled(editable);
    for (int32 i = 0; i < mSections->count(); ++i) {
        if (QLayout* section = mSections->itemAt(i)->layout()) {
            for (int32 j = 0; j < section->count(); ++j) {
                if (QWidget* widget = section->itemAt(j)->widget()) {
                    widget->setEnabled(editable);
                }
            }
        }
    }
    mSave->setEnabled(editable);
}

void YKRasterIOWin::Ended(bool ok, bool cancelled, const QString& error) {
    SetEditable(true);
    if (ok) {
        close();
        return;
    }
    // Cancelled, the progress says so and the user may change the options and try again.
    if (!cancelled) {
        mError->setText(error);
        mError->show();
    }
}

void YKRasterIOWin::closeEvent(QCloseEvent* event) {
    mProgress->Abandon();
    event->accept();
}
