#pragma once

// YKRasterFilters: the one registry of the raster side, made on first use. It lists the colour
// quantizers: "Adaptive Reduction", "Fixed Palette Reduction" and "Neural Network", with the ids
// 0, 1 and 2 in that order.

#include "QuantizerInfo.h"
#include "YKList.h"

class YKRasterFilters {
public:
    static YKRasterFilters* Instantiate();

    int32 CountQuantizers() const { return mQuantizers.CountItems(); }
    // Null out of range.
    QuantizerInfo* QuantizerInfoAt(int32 index) const { return mQuantizers.ItemAt(index); }
    // The info whose Id() is `id`, or null.
    QuantizerInfo* QuantizerInfoForId(int32 id) const;

private:
    YKRasterFilters();
    ~YKRasterFilters();
    YKRasterFilters(const YKRasterFilters&) = delete;
    YKRasterFilters& operator=(const YKRasterFilters&) = delete;

    YKList<QuantizerInfo*> mQuantizers{16};  // owned
};
