#pragma once

// YKExportWizardWin: the "Gravik Export Wizard" of one document window: several exports of the
// document side by side, each with its file, its option groups, preview and size estimate, run
// one after another by "Export" with progress and cancel. It lives as long as its document
// window; closing it only hides it, and its exports remain until removed.

#include <QWidget>
#include <memory>

#include "yk_types.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QStackedWidget;
class YKDocumentWindow;
class YKExportOptionsView;
class YKExportRunBar;
class YKExportWizard;

class YKExportWizardWin : public QWidget {
    Q_OBJECT

public:
    explicit YKExportWizardWin(YKDocumentWindow* owner);
    ~YKExportWizardWin() override;

    YKExportWizard& Wizard() const { return *mWizard; }
    YKExportRunBar* Progress() const { return mProgress; }
    // "Add Export:": one action per format that writes, under the handlers' headings.
    QPushButton* AddButton() const { return mAdd; }
    QListWidget* ExportList() const { return mList; }
    // The options of export `index`, or null.
    YKExportOptionsView* OptionsAt(int32 index) const;

    // Adds an export of the format at registry `index`, beside the document; selects it.
    bool AddExport(int32 index);
    void SelectExport(int32 index);
    // "Previous": back to the export before the selected one.
    void Previous();
    QPushButton* PreviousButton() const { return mPrevious; }
    // "Remove": the selected export.
    void RemoveExport();
    // Sets the file export `index` writes.
    void SetPath(int32 index, const QString& path);
    // "Export": every export, one after another.
    bool Export();
    // "Cancel": stops the run under way, else hides the window.
    void Cancel();
    // "Rasters": renders every export's frames again (after the document changed).
    void UpdateRasters();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // "Add Export:": every format that writes, under the handlers' headings.
    void FillFormats(QMenu* formats);
    QWidget* ExportPage(int32 index);
    void Ended(bool ok, bool cancelled, const QString& error);
    void Refresh();

    YKDocumentWindow* mOwner;
    std::unique_ptr<YKExportWizard> mWizard;
    QLabel* mSize;
    QListWidget* mList;
    QPushButton* mAdd;
    QPushButton* mRemove;
    QCheckBox* mLive;
    QStackedWidget* mPages;
    YKExportRunBar* mProgress;
    QLabel* mError;
    QPushButton* mPrevious;
    QPushButton* mExport;
};
