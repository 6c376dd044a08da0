#pragma once

// A progress that writes down every call as a line of text and cancels before a chosen step.

#include <string>
#include <vector>

#include "YKRasterProgress.h"

class RecordingProgress : public YKRasterProgress {
public:
    explicit RecordingProgress(int32 cancelAt = -1) : mCancelAt(cancelAt) {}

    void SetStepCount(int32 count) override { lines.push_back("steps " + std::to_string(count)); }
    bool IsCancelled() override { return ++mAsked == mCancelAt; }
    void ShowStep(int32 step, const char* text) override {
        lines.push_back(std::to_string(step) + " " + text);
    }
    void ShowResult(const char* text) override { lines.push_back(text); }
    void Finish() override { lines.push_back("finish"); }

    std::vector<std::string> lines;

private:
    int32 mCancelAt;
    int32 mAsked = 0;
};
