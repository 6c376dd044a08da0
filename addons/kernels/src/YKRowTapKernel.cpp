// Premultiply, then sum rows.

#include "YKRowTapKernel.h"

#include "yk_row_taps_internal.h"

void YKRowTapKernel::Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) {
    mSource = source;
    mDestination = destination;
    mPremultiplied.resize(static_cast<size_t>(source.width) * source.height * 4);
}

int32 YKRowTapKernel::RowCount(int32 pass) const {
    return pass == 0 ? mSource.height : mDestination.height;
}

void YKRowTapKernel::RunPass(int32 pass, int32 rowBegin, int32 rowEnd) {
    if (pass == 0) {
        PremultiplyRows(mSource, rowBegin, rowEnd, mPremultiplied.data());
    } else {
        SumRows(rowBegin, rowEnd);
    }
}
