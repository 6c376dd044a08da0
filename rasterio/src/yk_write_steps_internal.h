#pragma once

// The steps a writer shows to its progress; without a progress nothing is ever cancelled.

#include "YKRasterProgress.h"

class yk_write_steps {
public:
    yk_write_steps(YKRasterProgress* progress, int32 count) : mProgress(progress) {
        if (mProgress != nullptr) {
            mProgress->SetStepCount(count);
        }
    }
    // False when the person waiting has cancelled; the progress is then finished.
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
