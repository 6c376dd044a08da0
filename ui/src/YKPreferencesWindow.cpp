#include "YKPreferencesWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "YKPrefSetting.h"

YKPreferencesWindow::YKPreferencesWindow(YKPrefSetting* preferences, QWidget* parent)
    : QDialog(parent),
      mPreferences(preferences),
      mStartup(new QComboBox(this)),
      mView(new QComboBox(this)),
      mTranslatorsOnly(
          new QCheckBox(tr("Import and export through the system's image formats only"), this)),
      mFloatingLook(new QCheckBox(tr("Panels open as floating windows"), this)),
      mFloatPanel(new QCheckBox(tr("Floating panels stay above the document windows"), this)),
      mCheckFileType(new QCheckBox(
          tr("Check that Gravik documents are known to the desktop at start-up"), this)),
      mFirstClick(new QCheckBox(tr("A click on an inactive document window also acts"), this)) {
    setWindowTitle(tr("General & Start-up"));
    // In the order of the values they stand for.
    mStartup->addItems({tr("Show the new document dialog"), tr("Show the open panel")});
    mView->addItems({tr("Full view"), tr("Stroke preview"), tr("Shape preview")});

    auto* column = new QVBoxLayout(this);
    auto* general = new QGroupBox(tr("Start-up and documents"), this);
    auto* form = new QFormLayout(general);
    form->addRow(tr("When no document opens at start-up"), mStartup);
    form->addRow(tr("New and opened documents show in"), mView);
    form->addRow(mCheckFileType);
    column->addWidget(general);
    auto* windows = new QGroupBox(tr("Windows and panels"), this);
    auto* checks = new QVBoxLayout(windows);
    checks->addWidget(mFloatingLook);
    checks->addWidget(mFloatPanel);
    checks->addWidget(mFirstClick);
    column->addWidget(windows);
    auto* files = new QGroupBox(tr("Files"), this);
    (new QVBoxLayout(files))->addWidget(mTranslatorsOnly);
    column->addWidget(files);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &YKPreferencesWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &YKPreferencesWindow::reject);
    Load();
}

void YKPreferencesWindow::Load() {
    mStartup->setCurrentIndex(mPreferences->PrefStartup());
    mView->setCurrentIndex(mPreferences->PrefView());
    mTranslatorsOnly->setChecked(mPreferences->PrefTranslatorsOnly());
    mFloatingLook->setChecked(mPreferences->PrefFloatingLook());
    mFloatPanel->setChecked(mPreferences->PrefFloatPanel());
    mCheckFileType->setChecked(mPreferences->PrefCheckFileType());
    mFirstClick->setChecked(mPreferences->PrefFirstClick());
}

void YKPreferencesWindow::showEvent(QShowEvent* event) {
    // Cancelled edits of a last opening do not show again.
    Load();
    QDialog::showEvent(event);
}

void YKPreferencesWindow::accept() {
    mPreferences->SetPrefStartup(mStartup->currentIndex());
    mPreferences->SetPrefView(mView->currentIndex());
    mPreferences->SetPrefTranslatorsOnly(mTranslatorsOnly->isChecked());
    mPreferences->SetPrefFloatingLook(mFloatingLook->isChecked());
    mPreferences->SetPrefFloatPanel(mFloatPanel->isChecked());
    mPreferences->SetPrefCheckFileType(mCheckFileType->isChecked());
    mPreferences->SetPrefFirstClick(mFirstClick->isChecked());
    // Kept at once: a crash later should not lose them.
    mPreferences->Save();
    QDialog::accept();
}
