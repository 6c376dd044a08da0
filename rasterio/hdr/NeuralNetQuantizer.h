#pragma once

// NeuralNetQuantizer: an adaptive palette learnt by a one-dimensional self-organising map of
// colours, in integer fixed point. The last index is kept for transparency, so the network has
// one neuron fewer than the target count. Images of fewer than 100 pixels teach it nothing.

#include "Quantizer.h"

class NeuralNetQuantizer : public Quantizer {
public:
    NeuralNetQuantizer(int32 colors, int32 width, int32 height, int32 images);

    // Learns from every pixel, visited in a prime stride; rows must be packed (fatal otherwise).
    void Submit(const Pixmap<uint32>& image, bool reserveTransparent) override;
    // Turns the neurons into the palette and indexes them by green for the search.
    void Reduce() override;
    // The nearest neuron by the sum of channel differences.
    int32 QuantizePixel(uint8 red, uint8 green, uint8 blue) override;

    // Prints the palette to stderr.
    void _Dump() const;

private:
    struct Neuron {
        int32 blue, green, red;  // scaled by 16 while learning
        int32 index;             // the neuron's palette entry
    };

    void InitNet();
    void Learn(const uint32* pixels, int32 count, int32 sampleFactor);
    void SetRadPower(int32 rad, int32 alpha);
    int32 Contest(int32 blue, int32 green, int32 red);
    void AlterSingle(int32 alpha, int32 j, int32 blue, int32 green, int32 red);
    void AlterNeigh(int32 rad, int32 j, int32 blue, int32 green, int32 red);
    void UnbiasNet();
    void InxBuild();
    int32 InxSearch(int32 blue, int32 green, int32 red) const;

    int32 mNetSize;
    Neuron mNetwork[_QUANTIZER_MAX_COLORS];
    int32 mFreq[_QUANTIZER_MAX_COLORS];
    int32 mBias[_QUANTIZER_MAX_COLORS];
    int32 mDistance[_QUANTIZER_MAX_COLORS] = {};  // Contest's work space
    int32 mBiased[_QUANTIZER_MAX_COLORS] = {};
    int32 mNetIndex[256] = {};                         // by green: where the search starts
    int32 mRadPower[_QUANTIZER_MAX_COLORS >> 3] = {};  // neighbour learning rates by distance
};
