#pragma once

// YKUndoAddFilter: a filter put at the end of a cache layer's filters (a user layer's, or the
// dedicated parent of an object). Undo takes it out again and keeps it; redo puts it back.

#include <memory>

#include "YKUndoModify.h"

class YKCacheLayer;
class YKGenericFilter;

class YKUndoAddFilter : public YKUndoModify {
public:
    // `filter` is one of `layer`'s filters now.
    YKUndoAddFilter(YKCacheLayer* layer, YKGenericFilter* filter);
    ~YKUndoAddFilter() override;

    const char* Name() const override { return "Apply Filter"; }
    void Undo() override;
    void Redo() override;

private:
    YKCacheLayer* mLayer;
    YKGenericFilter* mFilter;
    // The filter while it is out of the layer.
    std::unique_ptr<YKGenericFilter> mRemoved;
    int32 mIndex = 0;
};
