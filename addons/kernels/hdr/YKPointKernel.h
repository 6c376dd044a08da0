#pragma once

// YKPointKernel: a kernel whose output pixel depends on the input pixel at the same place only.
// One pass, no reach; alpha is carried over untouched. Source and destination may be the same
// plane. Subclasses turn their parameters into tables once per run and map rows with them.

#include "YKFilterKernel.h"

class YKPointKernel : public YKFilterKernel {
public:
    void Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) final;
    int32 RowCount(int32 pass) const final;
    void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) final;

protected:
    // Builds the run's tables from the parameters (on one thread, before any row).
    virtual void BuildTables() {}
    // Maps `width` pixels; `in` and `out` may be the same row.
    virtual void MapRow(const uint32* in, uint32* out, int32 width) const = 0;

private:
    YKPixelPlane mSource;
    YKPixelPlane mDestination;
};
