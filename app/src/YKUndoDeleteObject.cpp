#include "YKUndoDeleteObject.h"

YKUndoDeleteObject::YKUndoDeleteObject(YKLayer* object, YKLayer* parent, int32 index,
                                       const char* name)
    : mPlacement(YKUndoLayerPlacement::Kind::kObject, object, parent, index, false),
      mName(YKUndoLayerName("Delete ", name)) {}
