#pragma once

// YKRasterIOWin: the export window of one format ("Gravik Export" for a still image, "Gravik
// Anim Export" for an animation). It shows the option groups of the format with a preview and
// the size estimate; "Save As" asks for the file and writes it on the export thread with its
// progress, "Cancel" stops a running export or closes the window. The window closes when the
// export has been written; a failed one shows why and leaves the window open.

#include <QWidget>
#include <memory>

#include "yk_types.h"

class QLabel;
class QPushButton;
class QVBoxLayout;
class YKDocumentWindow;
class YKExportOptionsView;
class YKExportRunBar;
class YKRasterIO;
class YKRasterIOView;

class YKRasterIOWin : public QWidget {
    Q_OBJECT

public:
    // Opens the window of `io` for the document of `owner` at its current frame: a roll-over
    // page gets its own window. Null when the format cannot write.
    static YKRasterIOWin* Open(YKDocumentWindow* owner, YKRasterIO* io);

    YKRasterIOWin(YKDocumentWindow* owner, YKRasterIO* io, int32 frame);
    ~YKRasterIOWin() override;

    YKRasterIOView* View() const { return mView.get(); }
    YKExportOptionsView* Options() const { return mOptions; }
    YKExportRunBar* Progress() const { return mProgress; }
    // The reason the last export failed, shown under the options; empty when none.
    QString ErrorText() const;

    // "Save As": asks for the file (through the document window's file chooser), then writes.
    void SaveAs();
    // Writes to `path` on the export thread; false when an export is under way.
    bool SaveTo(const QString& path);
    // "Cancel": stops the export under way, else closes the window.
    void Cancel();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Renders what the export writes; after the window is built.
    virtual bool Prepare();
    // Where sections of a derived window go, above the buttons.
    QVBoxLayout* Sections() const { return mSections; }
    YKDocumentWindow* Owner() const { return mOwner; }

private:
    void Ended(bool ok, bool cancelled, const QString& error);
    // Options and sections, off while an export runs.
    void SetEditable(bool editable);

    YKDocumentWindow* mOwner;
    std::unique_ptr<YKRasterIOView> mView;
    YKExportOptionsView* mOptions;
    YKExportRunBar* mProgress;
    QVBoxLayout* mSections;
    QLabel* mError;
    QPushButton* mSave;
};
