#pragma once

// YKRasterProgress: what a writer tells the person waiting for an export. The export window
// implements it; writers call it in this order: SetStepCount once, then per step IsCancelled
// and ShowStep, then ShowResult and Finish.

#include "yk_types.h"

class YKRasterProgress {
public:
    virtual ~YKRasterProgress() = default;

    virtual void SetStepCount(int32 count) = 0;
    // Asked before each step: a cancelled write stops after the step under way.
    virtual bool IsCancelled() = 0;
    virtual void ShowStep(int32 step, const char* text) = 0;
    // "Done !" or "Error while writing !".
    virtual void ShowResult(const char* text) = 0;
    virtual void Finish() = 0;
};
