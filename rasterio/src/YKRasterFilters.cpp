// The raster registry.

#include "YKRasterFilters.h"

#include "InverseQuantizerInfo.h"
#include "NeuralNetQuantizerInfo.h"
#include "OctreeQuantizerInfo.h"

YKRasterFilters* YKRasterFilters::Instantiate() {
    static YKRasterFilters filters;
    return &filters;
}

// The order fixes the ids: the default quantizer id 0 is the octree.
YKRasterFilters::YKRasterFilters() {
    mQuantizers.AddItem(new OctreeQuantizerInfo);
    mQuantizers.AddItem(new InverseQuantizerInfo);
    mQuantizers.AddItem(new NeuralNetQuantizerInfo);
}

YKRasterFilters::~YKRasterFilters() {
    for (int32 i = 0; i < mQuantizers.CountItems(); ++i) {
        delete mQuantizers.ItemAt(i);
    }
}

QuantizerInfo* YKRasterFilters::QuantizerInfoForId(int32 id) const {
    for (int32 i = 0; i < mQuantizers.CountItems(); ++i) {
        if (mQuantizers.ItemAt(i)->Id() == id) {
            return mQuantizers.ItemAt(i);
        }
    }
    return nullptr;
}
