#pragma once

// YKColorMap: a named 256-entry palette with its inverse map, so that a colour finds its entry
// with one look-up instead of a search. The screen's colour map and every palette file are one.

#include <string>

#include "Quantizer.h"
#include "yk_color.h"
#include "yk_types.h"

class YKColorMap {
public:
    static constexpr int32 kColorCount = 256;
    // One entry per colour of 5 bits a channel, red most significant.
    static constexpr int32 kInverseSize = 32768;
    static constexpr std::size_t kMaxNameLength = 256;

    // The inverse-map cell of a colour.
    static constexpr int32 InverseIndex(uint8 red, uint8 green, uint8 blue) {
        return (red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3);
    }

    // Fills `inverse` with the nearest entry to each cell's colour (the first of equals).
    // Entries with alpha 0 are left out, unless every entry has it.
    void BuildInverseMap();
    // The entry the inverse map gives for an opaque colour.
    uint8 IndexOf(uint8 red, uint8 green, uint8 blue) const {
        return inverse[InverseIndex(red, green, blue)];
    }
    // The palette a quantizer maps onto: trailing repeats of the last entry are not counted,
    // and the first entry with alpha 0 is the transparent one.
    Quantizer::Cmap ToCmap() const;

    rgb_color colors[kColorCount] = {};
    uint8 inverse[kInverseSize] = {};
    std::string name;  // at most kMaxNameLength bytes
};
