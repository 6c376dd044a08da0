#pragma once

// YKRasterSteps: takes a writer through the steps it shows to a YKRasterProgress, in the order
// the progress expects; without a progress nothing is shown and nothing is ever cancelled.

#include "yk_types.h"

class YKRasterProgress;

class YKRasterSteps {
public:
    // `progress` may be null.
    YKRasterSteps(YKRasterProgress* progress, int32 count);

    // Shows step `step`; false when the person waiting has cancelled (the progress is then
    // finished, and the writer stops).
    bool Begin(int32 step, const char* text);
    // Shows "Done !" or "Error while writing !" and finishes; returns `written`.
    bool End(bool written);

private:
    YKRasterProgress* mProgress;
};
