#pragma once

// InverseQuantizer: maps onto a given palette through a 32 x 32 x 32 table of the entry nearest
// to each cell's corner, refined by a search among that entry's close neighbours. Exact for
// well separated palettes; otherwise within twice the cell's diagonal of the nearest entry.

#include <memory>

#include "Quantizer.h"

class InverseQuantizer : public Quantizer {
public:
    InverseQuantizer(int32 colors, int32 width, int32 height, int32 images);
    ~InverseQuantizer() override;

    // Builds the neighbour lists and the table for the palette.
    void SetCmap(const Cmap& cmap) override;
    int32 QuantizePixel(uint8 red, uint8 green, uint8 blue) override;

    // Prints the palette to stderr.
    void _Dump() const;

private:
    struct Tables;

    std::unique_ptr<Tables> mTables;
};
