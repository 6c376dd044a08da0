#pragma once

// YKChannelTableKernel: a point operation that maps red, green and blue each through the same
// curve, looked up in a 256-entry table built once per run.

#include "YKPointKernel.h"

class YKChannelTableKernel : public YKPointKernel {
protected:
    // The value a channel of value `value` (0..255) becomes.
    virtual uint8 Level(int32 value) const = 0;

    void BuildTables() final;
    void MapRow(const uint32* in, uint32* out, int32 width) const final;

private:
    uint8 mTable[256] = {};
};
