#pragma once

// InverseQuantizerInfo: "Fixed Palette Reduction", maps onto a given palette.

#include "QuantizerInfo.h"

class InverseQuantizerInfo : public QuantizerInfo {
public:
    InverseQuantizerInfo();
    std::unique_ptr<Quantizer> CreateQuantizer(int32 colors, int32 width, int32 height,
                                               int32 images) const override;
};
