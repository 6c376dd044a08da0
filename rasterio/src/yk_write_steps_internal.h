#pragma once

// The writers' walk through their progress steps. Without a progress nothing is ever cancelled.

#include "YKRasterProgress.h"

class YKWriteSteps {
public:
    YKWriteSteps(YKRasterProgress* progress, int32 count) : mProgress(progress) {
        if (mProgress != nullptr) {
            mProgress->SetStepCount(count);
        }
    }
    // False when the person waiting has cancelled.
    bool Begin(int32 step, const char* text) {
        if (mProgress == nullptr) {
            return true;
        }
        if (mProgress->IsCancelled()) {
            mProgress->Finish();
            return false;
        }
        mProgress->ShowStep(step, text);
        return true;
    }
    // Shows the outcome and passes `written` on.
    bool End(bool written) {
        if (mProgress != nullptr) {
            mProgress->ShowResult(written ? "Done !" : "Error while writing !");
            mProgress->Finish();
        }
        return written;
    }

private:
    YKRasterProgress* mProgress;
};
