#pragma once

// YKVectorPolyline: the chain the polyline tool draws point by point (object type 7). An open
// polyline of fewer than three segments cannot be filled.

#include "YKVectorChain.h"

class YKVectorPolyline : public YKVectorChain {
public:
    using YKVectorChain::YKVectorChain;

    // Drops the point under the pointer; a chain of fewer than three segments loses its fill,
    // a longer one closes when its end lies within `tol` of its start.
    YKVectorEntity* endCreationWithTol(double tol) override;
    int32 Type() const override { return kTypePolyline; }

protected:
    YKVectorEntity* instantiate() const override { return new YKVectorPolyline(); }
};
