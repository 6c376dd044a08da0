#pragma once

// YKGravik: the desktop application around the dispatcher. Start() brings the services up in
// their fixed order behind a splash screen, opens the files it was given (and those that came
// meanwhile from a second launch or a drop) as one 'grRo', and shows the new-document dialog or
// the open panel when no document is open. Quit() closes every document, asking about unsaved
// changes, and saves the preferences. Alerts are shown as message boxes, every view a document
// opens gets a document window, and what documents post runs on the GUI thread.

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

#include "YKDocumentExport.h"
#include "YKGammaCorrection.h"
#include "YKMessage.h"
#include "YKPrefSetting.h"
#include "YKQtAlertPresenter.h"

class QLocalServer;
class QSplashScreen;
class YKDispatcher;
class YKDocument;
class YKDocumentCreator;
class YKGammaWindow;
class YKPreferencesWindow;
class YKPanelNotifier;

class YKGravik : public QObject {
    Q_OBJECT

public:
    // Installs the message-box alerts; nothing else starts before Start().
    YKGravik();
    // Quits when that has not happened yet.
    ~YKGravik() override;

    // Whether Start() shows the splash screen (off by default, for tests).
    void SetSplashShown(bool shown) { mSplashShown = shown; }
    // Replaces the open panel (a modal file dialog) that 'OpOo' shows; it returns the chosen
    // paths, none when cancelled.
    void SetOpenPanel(std::function<QStringList()> panel) { mOpenPanel = std::move(panel); }

    // Start-up. `arguments` are the command line without the program name; those beginning
    // with "-" are ignored.
    void Start(const QStringList& arguments);
    bool IsStarted() const { return mStarted; }
    // Files to open: collected while starting, afterwards opened at once (through a 'grRo').
    void OpenFiles(const QStringList& paths);
    // Closes every document, asking "Save changes to ..." for each modified one and waiting
    // for the saves asked for, then saves the preferences. False (nothing done) before start-up
    // has finished or after a quit.
    bool Quit();

    // Takes the files of later launches (HandOffToRunning) under `name`; false when another
    // instance listens already or the name cannot be used.
    bool ListenForLaunches(const QString& name);
    // Gives `paths` to the instance listening under `name`; false when there is none.
    static bool HandOffToRunning(const QString& name, const QStringList& paths);
    // The name a user's instances meet under.
    static QString LaunchChannelName();

    YKDispatcher& Dispatcher() { return *mDispatcher; }
    YKGammaCorrection& Gamma() { return mGamma; }
    YKPrefSetting& Preferences() { return mPreferences; }
    // The preferences as they were loaded.
    const YKPrefSetting& PreferencesAtStart() const { return *mPreferencesAtStart; }
    // The new-document dialog, made on first use.
    YKDocumentCreator& DocumentCreator();
    // File > Preferences: "General & Start-up…" ('grPp') and "Monitor Gamma Adjustment…"
    // ('gamm'), made on first use.
    YKPreferencesWindow& PreferencesWindow();
    YKGammaWindow& GammaWindow();

protected:
    // Drops of files on the document windows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowStep(const char* text);
    void LoadPreferences();
    void CreateDispatcher();
    void StartServices();
    void CheckMimeType();
    void ShowOpenPanel();
    void AcceptLaunch();
    // Asks about one document and removes it, waiting for a save the user asked for.
    void CloseForQuit(YKDocument* document);

    YKQtAlertPresenter mAlerts;
    bool mSplashShown = false;
    std::unique_ptr<QSplashScreen> mSplash;
    YKPrefSetting mPreferences;
    std::unique_ptr<YKPrefSetting> mPreferencesAtStart;
    YKGammaCorrection mGamma;
    std::unique_ptr<YKDocumentExport> mDocumentExport;
    std::unique_ptr<YKDispatcher> mDispatcher;
    std::unique_ptr<YKPanelNotifier> mPanelNotifier;
    std::unique_ptr<YKDocumentCreator> mDocumentCreator;
    std::unique_ptr<YKPreferencesWindow> mPreferencesWindow;
    std::unique_ptr<YKGammaWindow> mGammaWindow;
    std::function<QStringList()> mOpenPanel;
    QPointer<QLocalServer> mLaunches;
    // Files collected while starting ('grRo', "refs").
    YKMessage mCollected{'grRo'};
    bool mStarted = false;
    bool mQuitDone = false;
};
