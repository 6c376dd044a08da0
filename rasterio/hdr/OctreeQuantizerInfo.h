#pragma once

// OctreeQuantizerInfo: "Adaptive Reduction", builds a palette from the images or searches a given
// one.

#include "QuantizerInfo.h"

class OctreeQuantizerInfo : public QuantizerInfo {
public:
    OctreeQuantizerInfo();
    std::unique_ptr<Quantizer> CreateQuantizer(int32 colors, int32 width, int32 height,
                                               int32 images) const override;
};
