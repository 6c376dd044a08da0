#pragma once

// YKPreferencesWindow: "General & Start-up", every preference the user sets by hand: what
// start-up shows, the preview mode of new documents, the image translators, how panels float,
// the file-type check and the first click. OK writes them into the preferences and saves them;
// Cancel leaves the preferences as they were.

#include <QDialog>

class QCheckBox;
class QComboBox;
class YKPrefSetting;

class YKPreferencesWindow : public QDialog {
    Q_OBJECT

public:
    // `preferences` outlives the window.
    explicit YKPreferencesWindow(YKPrefSetting* preferences, QWidget* parent = nullptr);

    // Shows the preferences as they are.
    void Load();
    QComboBox* Startup() const { return mStartup; }
    QComboBox* View() const { return mView; }
    QCheckBox* TranslatorsOnly() const { return mTranslatorsOnly; }
    QCheckBox* FloatingLook() const { return mFloatingLook; }
    QCheckBox* FloatPanel() const { return mFloatPanel; }
    QCheckBox* CheckFileType() const { return mCheckFileType; }
    QCheckBox* FirstClick() const { return mFirstClick; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    YKPrefSetting* mPreferences;
    QComboBox* mStartup;
    QComboBox* mView;
    QCheckBox* mTranslatorsOnly;
    QCheckBox* mFloatingLook;
    QCheckBox* mFloatPanel;
    QCheckBox* mCheckFileType;
    QCheckBox* mFirstClick;
};
