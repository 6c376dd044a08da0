#pragma once

// YKGravik: the desktop application around the dispatcher. It loads the preferences and the
// monitor gamma the canvases are shown with (and saves them when it ends) and the palette
// files the writers offer, shows alerts as
// message boxes, makes a document window for every view a document opens, runs what documents
// post to the application on the GUI thread, and opens the files it is started with.

#include <QObject>
#include <QStringList>
#include <memory>

#include "YKDocumentExport.h"
#include "YKGammaCorrection.h"
#include "YKPrefSetting.h"
#include "YKQtAlertPresenter.h"

class YKDispatcher;

class YKGravik : public QObject {
    Q_OBJECT

public:
    YKGravik();
    // Closes every document (and with them their windows) without asking, then stores the
    // gamma into the preferences and saves them.
    ~YKGravik() override;

    // Opens each argument that does not begin with "-" as a document; a file that fails shows
    // its error and the others still open. When no document is open afterwards, a new empty
    // one of the default size is made.
    void Start(const QStringList& arguments);

    YKDispatcher& Dispatcher() { return *mDispatcher; }
    YKGammaCorrection& Gamma() { return mGamma; }

private:
    YKQtAlertPresenter mAlerts;
    YKPrefSetting mPreferences;
    YKGammaCorrection mGamma;
    YKDocumentExport mDocumentExport;
    std::unique_ptr<YKDispatcher> mDispatcher;
};
