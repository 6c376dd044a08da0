#pragma once

// YKVectorFreeHand: the chain of points captured while the freehand tool is dragged (object
// type 4). It keeps the points it is given: no smoothing, no point reduction.

#include "YKVectorChain.h"

class YKVectorFreeHand : public YKVectorChain {
public:
    using YKVectorChain::YKVectorChain;

    // Points stream in fast: the point list grows by at least five entries at a time.
    int32 segmentGranularity() const override { return 5; }
    // A stroke of fewer than two segments is discarded; one of fewer than three cannot be
    // filled (but keeps its fill envelopes); a longer one closes when its ends meet within `tol`.
    YKVectorEntity* endCreationWithTol(double tol) override;
    int32 Type() const override { return kTypeFreeHand; }

protected:
    YKVectorEntity* instantiate() const override { return new YKVectorFreeHand(); }
};
