// The document window's commands that go through files and the printer: Open, Save As, Import,
// Export, Page Setup and Print.

#include <QFileDialog>
#include <QImage>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>
#include <string>

#include "YKAlert.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKExportWizardWin.h"
#include "YKRaster.h"
#include "YKRasterFilters.h"
#include "YKRasterIOWin.h"

namespace {

YKDocumentWindow::FileChooser& Chooser() {
    static YKDocumentWindow::FileChooser chooser;
    return chooser;
}

}  // namespace

QStringList YKDocumentWindow::ChooseFiles(QWidget* parent, const QString& title, bool save,
                                          const QString& suggested) {
    if (Chooser()) {
        return Chooser()(title, save, suggested);
    }
    if (save) {
        const QString path = QFileDialog::getSaveFileName(parent, title, suggested);
        return path.isEmpty() ? QStringList() : QStringList{path};
    }
    return QFileDialog::getOpenFileNames(parent, title);
}

void YKDocumentWindow::SetFileChooser(FileChooser chooser) {
    Chooser() = std::move(chooser);
}

void YKDocumentWindow::SaveAs() {
    const QStringList chosen = ChooseFiles(this, tr("Save As"), true,
                                           QString::fromStdString(mDocument->SuggestedFileName()));
    if (!chosen.isEmpty()) {
        mDocument->SaveChosen(QFile::encodeName(chosen.front()).constData());
    }
}

void YKDocumentWindow::OpenFiles() {
    const QStringList chosen = ChooseFiles(this, tr("Open"), false, {});
    if (chosen.isEmpty()) {
        return;
    }
    YKMessage open('grRo');
    for (const QString& path : chosen) {
        open.AddString("refs", QFile::encodeName(path).constData());
    }
    mDocument->PostToApplication(open);
}

void YKDocumentWindow::ImportFiles(bool sequence) {
    const QStringList chosen =
        ChooseFiles(this, sequence ? tr("Import Image Sequence") : tr("Import Image"), false, {});
    if (chosen.isEmpty() || mEvents == nullptr) {
        return;
    }
    // An import is a drop in the middle of the canvas: the files land there, selected, as one
    // undo action, and a sequence becomes one object with a frame per image.
    YKMessage files('DATA');
    for (const QString& path : chosen) {
        files.AddString(YKEventManager::kDroppedFiles, QFile::encodeName(path).constData());
    }
    files.AddBool("force_image_sequence", sequence);
    const YKRect<int32> canvas = mDocument->Frame();
    mEvents->RefDropped(&files,
                        {(canvas.left + canvas.right) / 2.0, (canvas.top + canvas.bottom) / 2.0});
}

void YKDocumentWindow::ExportDocument(int32 rasterIOId) {
    YKRasterIOWin::Open(this, YKRasterFilters::Instantiate()->FilterForId(rasterIOId));
}

void YKDocumentWindow::ShowExportWizard() {
    if (mQuitting) {
        return;
    }
    if (mExportWizard == nullptr) {
        mExportWizard = new YKExportWizardWin(this);
    }
    mExportWizard->show();
    mExportWizard->raise();
    mExportWizard->activateWindow();
}

// --- Printing ---

QPrinter* YKDocumentWindow::Printer() {
    if (mPrinter == nullptr) {
        mPrinter = std::make_unique<QPrinter>();
    }
    return mPrinter.get();
}

void YKDocumentWindow::PageSetup() {
    // Waited for: the dialog hands what the user accepts to the printer only then.
    QPageSetupDialog dialog(Printer(), this);
    dialog.exec();
}

void YKDocumentWindow::Print() {
    QPrintDialog dialog(Printer(), this);
    if (dialog.exec() == QDialog::Accepted) {
        PrintTo(Printer());
    }
}

bool YKDocumentWindow::PrintTo(QPrinter* printer) {
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    std::unique_ptr<YKRaster> frame(
        mDocument->RenderFrame(manager != nullptr ? manager->CurrentFrame() : 1));
    if (frame == nullptr) {
        return false;
    }
    const YKRect<int32> rect = frame->Frame();
    const QImage image(frame->Bits(), rect.Width() + 1, rect.Height() + 1,
                       static_cast<qsizetype>(frame->BytesPerRow()), QImage::Format_ARGB32);
    QPainter painter;
    if (!painter.begin(printer)) {
        return false;
    }
    const QRect page = painter.viewport();
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), image);
    return painter.end();
}
