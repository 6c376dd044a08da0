// The self-organising map: learning, then a palette and a search index sorted by green.

#include "NeuralNetQuantizer.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "YKDebug.h"

namespace {

constexpr int32 kNetBiasShift = 4;   // colour channels carry 4 extra bits while learning
constexpr int32 kIntBiasShift = 16;  // frequencies and biases in 16.16
constexpr int32 kBetaShift = 10;     // frequency decay
constexpr int32 kGammaShift = 10;    // bias gain from the decay
constexpr int32 kBeta = (1 << kIntBiasShift) >> kBetaShift;
constexpr int32 kBetaGamma = (1 << kIntBiasShift) << (kGammaShift - kBetaShift);
constexpr int32 kRadiusBiasShift = 6;  // the radius in 26.6
constexpr int32 kRadiusDec = 30;
constexpr int32 kInitAlpha = 1 << 10;  // learning rate in 22.10
constexpr int32 kRadBiasShift = 8;
constexpr int32 kAlphaRadBias = 1 << (10 + kRadBiasShift);
constexpr int32 kSamplesPerStep = 100;  // the rates shrink this many times over a run

// A radius below 2 only moves the winner.
int32 RadOf(int32 radius) {
    const int32 rad = radius >> kRadiusBiasShift;
    return rad <= 1 ? 0 : rad;
}

// A stride through the pixels that does not divide their count, so every pixel comes round.
int32 PrimeStep(int32 count) {
    for (const int32 prime : {499, 491, 487}) {
        if (count % prime != 0) {
            return prime;
        }
    }
    return 503;
}

// The index of the first smallest value: the smallest first, in a pass without branches.
int32 FirstMinimum(const int32* values, int32 count) {
    int32 smallest = INT32_MAX;
    for (int32 i = 0; i < count; ++i) {
        smallest = std::min(smallest, values[i]);
    }
    int32 i = 0;
    while (values[i] != smallest) {
        ++i;
    }
    return i;
}

}  // namespace

NeuralNetQuantizer::NeuralNetQuantizer(int32 colors, int32 width, int32 height, int32 images)
    : Quantizer(colors, width, height, images), mNetSize(colors - 1) {
    InitNet();
}

// --- Learning ---

// A grey ramp of equally likely neurons.
void NeuralNetQuantizer::InitNet() {
    for (int32 i = 0; i < mNetSize; ++i) {
        const int32 v = (i << (kNetBiasShift + 8)) / mNetSize;
        mNetwork[i] = {v, v, v, i};
        mFreq[i] = (1 << kIntBiasShift) / mNetSize;
        mBias[i] = 0;
    }
}

void NeuralNetQuantizer::Submit(const Pixmap<uint32>& image, bool reserveTransparent) {
    if (image.w * 4 != image.bpr) {
        yk_debug::AssertionFailed(__FILE__, __LINE__, "src.w*4==src.bpr");
    }
    if (reserveTransparent) {
        mCmap.transparent = mNetSize;
        mCmap.colors[mNetSize] = {};
    }
    if (image.w != 0 && image.h != 0) {
        Learn(image.bits, image.w * image.h, 1);
    }
}

void NeuralNetQuantizer::SetRadPower(int32 rad, int32 alpha) {
    for (int32 i = 0; i < rad; ++i) {
        mRadPower[i] = alpha * (((rad * rad - i * i) << kRadBiasShift) / (rad * rad));
    }
}

void NeuralNetQuantizer::Learn(const uint32* pixels, int32 count, int32 sampleFactor) {
    const int32 samples = count / sampleFactor;
    const int32 delta = samples / kSamplesPerStep;
    if (delta < 1) {
        return;
    }
    const int32 alphaDec = 30 + (sampleFactor - 1) / 3;
    int32 alpha = kInitAlpha;
    int32 radius = (mNetSize >> 3) << kRadiusBiasShift;
    int32 rad = RadOf(radius);
    SetRadPower(rad, alpha);
    const int32 step = PrimeStep(count);
    int32 at = 0;
    for (int32 i = 1; i <= samples; ++i) {
        const uint32 p = pixels[at];
        if (p >> 24 == 0) {
            mCmap.transparent = mNetSize;
            mCmap.colors[mNetSize] = {uint8(p >> 16), uint8(p >> 8), uint8(p)};
        } else {
            const int32 blue = int32(p & 255) << kNetBiasShift;
            const int32 green = int32(p >> 8 & 255) << kNetBiasShift;
            const int32 red = int32(p >> 16 & 255) << kNetBiasShift;
            const int32 j = Contest(blue, green, red);
            AlterSingle(alpha, j, blue, green, red);
            if (rad > 0) {
                AlterNeigh(rad, j, blue, green, red);
            }
        }
        // A stride longer than a small image wraps more than once.
        at = int32((int64(at) + step) % count);
        if (i % delta == 0) {
            alpha -= alpha / alphaDec;
            radius -= radius / kRadiusDec;
            rad = RadOf(radius);
            SetRadPower(rad, alpha);
        }
    }
}

// The neuron to train: nearest after the bias against frequent winners. Every neuron's
// frequency decays towards the mean while the plain nearest one gains. Written as whole-array
// passes (distances, the two first minima, the decay), which the compiler can vectorise.
int32 NeuralNetQuantizer::Contest(int32 blue, int32 green, int32 red) {
    for (int32 i = 0; i < mNetSize; ++i) {
        const Neuron& n = mNetwork[i];
        mDistance[i] = std::abs(n.blue - blue) + std::abs(n.green - green) + std::abs(n.red - red);
        mBiased[i] = mDistance[i] - (mBias[i] >> (kIntBiasShift - kNetBiasShift));
    }
    const int32 best = FirstMinimum(mDistance, mNetSize);
    const int32 bestBiased = FirstMinimum(mBiased, mNetSize);
    for (int32 i = 0; i < mNetSize; ++i) {
        const int32 betaFreq = mFreq[i] >> kBetaShift;
        mFreq[i] -= betaFreq;
        mBias[i] += betaFreq << kGammaShift;
    }
    mFreq[best] += kBeta;
    mBias[best] -= kBetaGamma;
    return bestBiased;
}

void NeuralNetQuantizer::AlterSingle(int32 alpha, int32 j, int32 blue, int32 green, int32 red) {
    Neuron& n = mNetwork[j];
    n.blue -= (alpha * (n.blue - blue)) / kInitAlpha;
    n.green -= (alpha * (n.green - green)) / kInitAlpha;
    n.red -= (alpha * (n.red - red)) / kInitAlpha;
}

// Pulls the neighbours within rad of j towards the colour, less the farther they are.
void NeuralNetQuantizer::AlterNeigh(int32 rad, int32 j, int32 blue, int32 green, int32 red) {
    const int32 low = std::max(j - rad, -1);
    const int32 high = std::min(j + rad, mNetSize);
    const auto alter = [&](Neuron& n, int32 a) {
        n.blue -= (a * (n.blue - blue)) / kAlphaRadBias;
        n.green -= (a * (n.green - green)) / kAlphaRadBias;
        n.red -= (a * (n.red - red)) / kAlphaRadBias;
    };
    int32 up = j + 1, down = j - 1;
    for (int32 k = 1; up < high || down > low; ++k) {
        const int32 a = mRadPower[k];
        if (up < high) {
            alter(mNetwork[up++], a);
        }
        if (down > low) {
            alter(mNetwork[down--], a);
        }
    }
}

// --- Palette and search ---

void NeuralNetQuantizer::UnbiasNet() {
    for (int32 i = 0; i < mNetSize; ++i) {
        Neuron& n = mNetwork[i];
        n.blue >>= kNetBiasShift;
        n.green >>= kNetBiasShift;
        n.red >>= kNetBiasShift;
        n.index = i;
        mCmap.colors[i] = {uint8(n.red), uint8(n.green), uint8(n.blue)};
    }
}

// Sorts the neurons by green; each green value's index entry points into the middle of its run
// of neurons, or to the next run when no neuron has that green.
void NeuralNetQuantizer::InxBuild() {
    int32 previous = 0, start = 0;
    for (int32 i = 0; i < mNetSize; ++i) {
        int32 smallest = i;
        for (int32 j = i + 1; j < mNetSize; ++j) {
            if (mNetwork[j].green < mNetwork[smallest].green) {
                smallest = j;
            }
        }
        std::swap(mNetwork[i], mNetwork[smallest]);
        const int32 green = mNetwork[i].green;
        if (green != previous) {
            mNetIndex[previous] = (start + i) >> 1;
            for (int32 g = previous + 1; g < green; ++g) {
                mNetIndex[g] = i;
            }
            previous = green;
            start = i;
        }
    }
    mNetIndex[previous] = (start + mNetSize - 1) >> 1;
    for (int32 g = previous + 1; g < 256; ++g) {
        mNetIndex[g] = mNetSize - 1;
    }
}

void NeuralNetQuantizer::Reduce() {
    UnbiasNet();
    InxBuild();
    mCmap.count = mNetSize + (mCmap.transparent >= 0 ? 1 : 0);
}

// Walks up and down the green-sorted neurons from the index entry, each way until the green
// difference alone is no better than the best sum found.
int32 NeuralNetQuantizer::InxSearch(int32 blue, int32 green, int32 red) const {
    int32 bestDistance = 1000, best = -1;
    const auto consider = [&](const Neuron& n, int32 greenDistance) {
        int32 distance = greenDistance + std::abs(n.blue - blue);
        if (distance < bestDistance) {
            distance += std::abs(n.red - red);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = n.index;
            }
        }
    };
    int32 up = mNetIndex[green], down = up - 1;
    while (up < mNetSize || down >= 0) {
        if (up < mNetSize) {
            const Neuron& n = mNetwork[up];
            const int32 greenDistance = n.green - green;
            if (greenDistance >= bestDistance) {
                up = mNetSize;
            } else {
                ++up;
                consider(n, std::abs(greenDistance));
            }
        }
        if (down >= 0) {
            const Neuron& n = mNetwork[down];
            const int32 greenDistance = green - n.green;
            if (greenDistance >= bestDistance) {
                down = -1;
            } else {
                --down;
                consider(n, std::abs(greenDistance));
            }
        }
    }
    return best;
}

int32 NeuralNetQuantizer::QuantizePixel(uint8 red, uint8 green, uint8 blue) {
    return InxSearch(blue, green, red);
}

void NeuralNetQuantizer::_Dump() const {
    std::fprintf(stderr, "%p NeuralNetQuantizer::_Dump (target %d)\n",
                 static_cast<const void*>(this), mNumColors);
    DumpCmap();
}
