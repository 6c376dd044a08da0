// The progress of a writer, step by step.

#include "YKRasterSteps.h"

#include "YKRasterProgress.h"

YKRasterSteps::YKRasterSteps(YKRasterProgress* progress, int32 count) : mProgress(progress) {
    if (mProgress != nullptr) {
        mProgress->SetStepCount(count);
    }
}

bool YKRasterSteps::Begin(int32 step, const char* text) {
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

bool YKRasterSteps::End(bool written) {
    if (mProgress != nullptr) {
        mProgress->ShowResult(written ? "Done !" : "Error while writing !");
        mProgress->Finish();
    }
    return written;
}
