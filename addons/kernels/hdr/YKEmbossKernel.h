#pragma once

// YKEmbossKernel: the picture as a relief lit from one side, on mid-grey: each channel is 128
// plus its slope towards the light over the 3x3 neighbourhood, so flat areas turn grey and edges
// facing the light brighten while those facing away darken. Slopes are taken over colours as
// they show (premultiplied), so a shape's outline stands out against transparency and the colour
// of transparent pixels never counts; alpha is left alone.

#include <array>
#include <vector>

#include "YKRowTapKernel.h"

class YKEmbossKernel : public YKRowTapKernel {
public:
    static constexpr float kMaxStrength = 10.0f;

    // `strength`: 0..kMaxStrength; at 1 a black-white edge spans the whole range (0 gives flat
    // grey). `angle`: where the light comes from, degrees counter-clockwise on screen from the x
    // axis (135 lights from the top left).
    YKEmbossKernel(float strength, float angle);

    // The 3x3 weights (rows top to bottom) a channel's levels go through before 128 is added.
    std::array<float, 9> Weights() const;

    int32 Reach() const override { return 1; }

private:
    std::span<const yk_row_tap> Taps() const override { return mTaps; }
    void StoreRow(int32 y, float* sum) override;

    std::vector<yk_row_tap> mTaps;  // weights over premultiplied channels (0..65025)
};
