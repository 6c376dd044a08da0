#pragma once

// A two-pass kernel for the tests, shaped to catch banding faults: pass 0 copies the source
// moved `shift` pixels right and down (its reach), pass 1 rolls the rows by half the height
// (each band reads rows of another band's share of pass 0) and turns colours over by `amount`.

#include <vector>

#include "YKFilterKernel.h"

class TestRollKernel : public YKFilterKernel {
public:
    TestRollKernel(double amount, int32 shift) : mAmount(amount), mShift(shift) {}

    int32 Reach() const override { return mShift; }
    int32 PassCount() const override { return 2; }
    void Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) override {
        mSource = source;
        mDestination = destination;
        mScratch.assign(static_cast<std::size_t>(destination.width) * destination.height, 0);
    }
    int32 RowCount(int32) const override { return mDestination.height; }
    void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) override {
        const int32 width = mDestination.width;
        for (int32 y = rowBegin; y < rowEnd; ++y) {
            uint32* scratch = &mScratch[static_cast<std::size_t>(y) * width];
            if (pass == 0) {
                for (int32 x = 0; x < width; ++x) {
                    scratch[x] = mSource.Row(y)[x];
                }
                continue;
            }
            const int32 from = (y + mDestination.height / 2) % mDestination.height;
            for (int32 x = 0; x < width; ++x) {
                mDestination.Row(y)[x] =
                    Turned(mScratch[static_cast<std::size_t>(from) * width + x], mAmount);
            }
        }
    }
    // Each colour channel c moves by amount x (255 - 2c), rounded; alpha stays.
    static uint32 Turned(uint32 pixel, double amount) {
        uint32 out = pixel & 0xFF000000u;
        for (int32 shift = 0; shift < 24; shift += 8) {
            const int32 c = static_cast<int32>((pixel >> shift) & 0xFF);
            const int32 moved =
                c + static_cast<int32>(amount * (255 - 2 * c) + (amount >= 0 ? 0.5 : -0.5));
            out |= static_cast<uint32>(moved) << shift;
        }
        return out;
    }

private:
    double mAmount;
    int32 mShift;
    YKPixelPlane mSource;
    YKPixelPlane mDestination;
    std::vector<uint32> mScratch;
};
