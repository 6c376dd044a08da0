#pragma once

// YKInvertKernel: every colour channel c becomes 255 - c; alpha stays. No parameters.

#include "YKPointKernel.h"

class YKInvertKernel : public YKPointKernel {
protected:
    void MapRow(const uint32* in, uint32* out, int32 width) const override;
};
