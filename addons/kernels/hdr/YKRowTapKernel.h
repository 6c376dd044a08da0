#pragma once

// YKRowTapKernel: a kernel that first premultiplies the source (pass 0, over every source row)
// and then makes each output row from weighted, shifted rows of that (pass 1). The second pass is
// the subclass's.

#include <vector>

#include "YKFilterKernel.h"
#include "yk_row_tap.h"

class YKRowTapKernel : public YKFilterKernel {
public:
    int32 PassCount() const override { return 2; }
    void Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) override;
    int32 RowCount(int32 pass) const override;
    void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) override;

protected:
    // Output rows [rowBegin, rowEnd) from Premultiplied().
    virtual void SumRows(int32 rowBegin, int32 rowEnd) = 0;

    const YKPixelPlane& Source() const { return mSource; }
    const YKPixelPlane& Destination() const { return mDestination; }
    // The source's channels times its alpha (0..65025), four per pixel, row after row.
    const uint16* Premultiplied() const { return mPremultiplied.data(); }

private:
    YKPixelPlane mSource, mDestination;
    std::vector<uint16> mPremultiplied;
};
