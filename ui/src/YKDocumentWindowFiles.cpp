// The document window's commands that go through files and the printer: Open, Save As, Import,
// Export and Print.

#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
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
#include "YKExportRun.h"
#include "YKRaster.h"
#include "YKRasterAnimIO.h"
#include "YKRasterFilters.h"
#include "YKRasterIOView.h"
#include "YKRasterStillIO.h"

namespace {

YKDocumentWindow::FileChooser& Chooser() {
    static YKDocumentWindow::FileChooser chooser;
    return chooser;
}

QStringList Choose(QWidget* parent, const QString& title, bool save, const QString& suggested) {
    if (Chooser()) {
        return Chooser()(title, save, suggested);
    }
    if (save) {
        const QString path = QFileDialog::getSaveFileName(parent, title, suggested);
        return path.isEmpty() ? QStringList() : QStringList{path};
    }
    return QFileDialog::getOpenFileNames(parent, title);
}

}  // namespace

void YKDocumentWindow::SetFileChooser(FileChooser chooser) {
    Chooser() = std::move(chooser);
}

void YKDocumentWindow::SaveAs() {
    const QStringList chosen =
        Choose(this, tr("Save As"), true, QString::fromStdString(mDocument->SuggestedFileName()));
    if (!chosen.isEmpty()) {
        mDocument->SaveChosen(QFile::encodeName(chosen.front()).constData());
    }
}

void YKDocumentWindow::OpenFiles() {
    const QStringList chosen = Choose(this, tr("Open"), false, {});
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
        Choose(this, sequence ? tr("Import Image Sequence") : tr("Import Image"), false, {});
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
    YKRasterIO* io = YKRasterFilters::Instantiate()->FilterForId(rasterIOId);
    if (io == nullptr) {
        return;
    }
    const std::string extension = io->Extension();
    const QString suggested = QFileInfo(QString::fromUtf8(mDocument->Name())).completeBaseName() +
                              QString::fromStdString(extension.substr(0, extension.find(';')));
    const QStringList chosen = Choose(this, tr("Export"), true, suggested);
    if (chosen.isEmpty()) {
        return;
    }
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    YKRasterIOView view(
        dynamic_cast<YKRasterStillIO*>(io),
        dynamic_cast<YKRasterStillIO*>(io) == nullptr ? dynamic_cast<YKRasterAnimIO*>(io) : nullptr,
        mDocument, manager != nullptr ? manager->CurrentFrame() : 1, nullptr,
        QFile::encodeName(chosen.front()).constData());
    // The window waits: an export of a banner takes a moment, and the view must outlive it.
    YKExportRun run({&view}, {});
    run.Start();
    if (!run.Wait()) {
        YKAlert(run.Error().c_str(), "OK").Go();
    }
}

// --- Printing ---

void YKDocumentWindow::Print() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        PrintTo(&printer);
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
