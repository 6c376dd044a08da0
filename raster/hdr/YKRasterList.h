#pragma once

// YKRasterList: the frames of an animation, in order. A list made owning deletes its rasters
// with itself.

#include "YKList.h"
#include "YKRaster.h"

class YKRasterList : public YKList<YKRaster*> {
public:
    explicit YKRasterList(bool ownsRasters = true) : YKList(32), mOwnsRasters(ownsRasters) {}
    ~YKRasterList() override {
        if (mOwnsRasters) {
            DeleteRasters();
        }
    }

    bool OwnsRasters() const { return mOwnsRasters; }
    // Deletes every raster and empties the list.
    void DeleteRasters() {
        for (int32 i = 0; i < CountItems(); ++i) {
            delete ItemAt(i);
        }
        MakeEmpty();
    }

private:
    bool mOwnsRasters;
};
