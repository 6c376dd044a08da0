// Row loop shared by the point operations.

#include "YKPointKernel.h"

void YKPointKernel::Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) {
    mSource = source;
    mDestination = destination;
    BuildTables();
}

int32 YKPointKernel::RowCount(int32) const {
    return mDestination.height;
}

void YKPointKernel::RunPass(int32, int32 rowBegin, int32 rowEnd) {
    for (int32 y = rowBegin; y < rowEnd; ++y) {
        MapRow(mSource.Row(y), mDestination.Row(y), mDestination.width);
    }
}
