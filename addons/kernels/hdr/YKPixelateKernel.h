#pragma once

// YKPixelateKernel: the picture as square cells aligned to its top-left corner, each filled with
// the alpha-weighted average of the pixels it covers (the cells along the right and bottom edges
// may be cut short, and average only what they cover).

#include <vector>

#include "YKFilterKernel.h"

class YKPixelateKernel : public YKFilterKernel {
public:
    static constexpr int32 kMaxSize = 1024;

    // `size`: the cells' side in pixels, 1..kMaxSize (1 gives the picture back).
    explicit YKPixelateKernel(int32 size);

    int32 PassCount() const override { return 2; }
    void Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) override;
    int32 RowCount(int32 pass) const override;
    void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) override;

private:
    void AverageCells(int32 cellRow);

    int32 mSize;
    int32 mCellsAcross = 0;
    YKPixelPlane mSource, mDestination;
    std::vector<uint32> mCells;  // pass 0's output: one pixel per cell, row after row
};
