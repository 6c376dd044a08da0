#pragma once

// YKExportRunBar: the progress area of the export windows. It runs exports on the export
// thread (YKExportRun) and shows the writer's steps, from "Starting" to "Ending", as they come;
// Cancel stops the writer at its next step. The window stays responsive all along.

#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "YKExportRun.h"

class QLabel;
class QProgressBar;
class QTimer;
class YKExportWizard;
class YKRasterIOView;

class YKExportRunBar : public QWidget {
    Q_OBJECT

public:
    explicit YKExportRunBar(QWidget* parent = nullptr);
    // Cancels the run under way and waits for it.
    ~YKExportRunBar() override;

    // Starts writing `views` one after another; false when a run is under way.
    bool Start(std::vector<YKRasterIOView*> views);
    // Starts the wizard's exports; false when it has none or a run is under way.
    bool Start(YKExportWizard& wizard);
    bool Running() const { return mRun != nullptr && !mEnded; }
    // Shows "Cancelling"; the run ends at the writer's next step.
    void Cancel();
    // Cancels and waits: the views may go once this returns.
    void Abandon();

    // The text shown: the step under way, or how the run ended.
    QString Text() const;
    const std::vector<std::string>& Written() const { return mWritten; }

Q_SIGNALS:
    // The run ended: `ok` when every export was written; else it was cancelled, or failed with
    // `error`.
    void Ended(bool ok, bool cancelled, const QString& error);

private:
    YKExportRun::Listener Listener();
    void Show(const YKExportRun::Event& event);
    void Begin();
    void CheckEnded();

    QLabel* mText;
    QProgressBar* mBar;
    QTimer* mPoll;
    std::unique_ptr<YKExportRun> mRun;
    // The wizard owns its run; this bar only watches it.
    YKExportRun* mWatched = nullptr;
    bool mEnded = true;
    std::vector<std::string> mWritten;
};
