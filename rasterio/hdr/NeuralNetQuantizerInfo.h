#pragma once

// NeuralNetQuantizerInfo: "Neural Network", builds a palette by a self-organising network.

#include "QuantizerInfo.h"

class NeuralNetQuantizerInfo : public QuantizerInfo {
public:
    NeuralNetQuantizerInfo();
    std::unique_ptr<Quantizer> CreateQuantizer(int32 colors, int32 width, int32 height,
                                               int32 images) const override;
};
