// Pixelate: each row of cells averaged once (pass 0), then the rows filled from the cells.

#include "YKPixelateKernel.h"

#include <algorithm>

#include "yk_premultiplied_internal.h"

YKPixelateKernel::YKPixelateKernel(int32 size) : mSize(std::clamp(size, 1, kMaxSize)) {}

void YKPixelateKernel::Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) {
    mSource = source;
    mDestination = destination;
    mCellsAcross = (destination.width + mSize - 1) / mSize;
    mCells.resize(static_cast<size_t>(mCellsAcross) * RowCount(0));
}

int32 YKPixelateKernel::RowCount(int32 pass) const {
    return pass == 0 ? (mDestination.height + mSize - 1) / mSize : mDestination.height;
}

void YKPixelateKernel::RunPass(int32 pass, int32 rowBegin, int32 rowEnd) {
    if (pass == 0) {
        for (int32 cellRow = rowBegin; cellRow < rowEnd; ++cellRow) {
            AverageCells(cellRow);
        }
        return;
    }
    for (int32 y = rowBegin; y < rowEnd; ++y) {
        const uint32* cells = &mCells[static_cast<size_t>(y / mSize) * mCellsAcross];
        uint32* out = mDestination.Row(y);
        for (int32 cell = 0, left = 0; cell < mCellsAcross; ++cell, left += mSize) {
            std::fill(out + left, out + std::min(left + mSize, mDestination.width), cells[cell]);
        }
    }
}

// Column sums over the cell's rows first (a vector add per row), then each cell's columns.
// A column of premultiplied channels fits 32 bits up to kMaxSize rows; a cell needs 64.
void YKPixelateKernel::AverageCells(int32 cellRow) {
    const int32 width = mDestination.width;
    const int32 top = cellRow * mSize;
    const int32 rows = std::min(mSize, mDestination.height - top);
    std::vector<int32> row(static_cast<size_t>(width) * 4);
    std::vector<uint32> columns(row.size(), 0);
    for (int32 y = top; y < top + rows; ++y) {
        PremultiplyRow(mSource.Row(y), width, row.data());
        for (size_t i = 0; i < row.size(); ++i) {
            columns[i] += static_cast<uint32>(row[i]);
        }
    }
    uint32* cells = &mCells[static_cast<size_t>(cellRow) * mCellsAcross];
    for (int32 cell = 0, left = 0; cell < mCellsAcross; ++cell, left += mSize) {
        const int32 right = std::min(left + mSize, width);
        uint64 sums[4] = {};
        for (int32 x = left; x < right; ++x) {
            for (int32 c = 0; c < 4; ++c) {
                sums[c] += columns[4 * static_cast<size_t>(x) + c];
            }
        }
        // The sum of straight alphas; each colour's sum is of colour times alpha.
        const uint64 alpha = sums[3] / 255;
        const uint64 pixels = static_cast<uint64>(right - left) * rows;
        uint32 pixel = static_cast<uint32>((2 * alpha + pixels) / (2 * pixels)) << 24;
        for (int32 c = 0; c < 3 && alpha > 0; ++c) {
            pixel |= static_cast<uint32>((2 * sums[c] + alpha) / (2 * alpha)) << (8 * c);
        }
        cells[cell] = pixel;
    }
}
