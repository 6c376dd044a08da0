#pragma once

// YKComputingRastersWindow: the small "Computing rasters..." window an export window shows
// while it renders the frames it will write, one step per frame. Rendering runs on the GUI
// thread, so each step paints the window before the next frame.

#include <QWidget>

#include "YKRasterProgress.h"

class QProgressBar;

class YKComputingRastersWindow : public QWidget, public YKRasterProgress {
    Q_OBJECT

public:
    explicit YKComputingRastersWindow(QWidget* parent);

    QProgressBar* Bar() const { return mBar; }

    // --- YKRasterProgress
    void SetStepCount(int32 count) override;
    // Rendering the frames cannot be stopped half-way: the export window's Cancel does that.
    bool IsCancelled() override { return false; }
    void ShowStep(int32 step, const char* text) override;
    void ShowResult(const char* text) override;
    void Finish() override;

private:
    QProgressBar* mBar;
};
