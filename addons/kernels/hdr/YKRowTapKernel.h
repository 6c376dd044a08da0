#pragma once

// YKRowTapKernel: a kernel that makes each output row from weighted, shifted rows of the source
// premultiplied (its taps). Each band premultiplies the source rows its taps reach into a ring
// of its own just before they are needed, so a source row is read from memory once and summed
// while it is still in the cache, and the bands never wait for one another. The subclass turns
// the sums into pixels.

#include <span>

#include "YKFilterKernel.h"
#include "yk_row_tap.h"

class YKRowTapKernel : public YKFilterKernel {
public:
    void Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) override;
    int32 RowCount(int32) const override { return mDestination.height; }
    void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) override;

protected:
    // The neighbours every output pixel weighs; Reach() covers all of them.
    virtual std::span<const yk_row_tap> Taps() const = 0;
    // Destination row `y` from `sum`: the taps' weighted premultiplied channels (0..65025, four
    // per pixel) at each of its pixels. `sum` may be used as scratch.
    virtual void StoreRow(int32 y, float* sum) = 0;

    const YKPixelPlane& Source() const { return mSource; }
    const YKPixelPlane& Destination() const { return mDestination; }

private:
    YKPixelPlane mSource, mDestination;
};
