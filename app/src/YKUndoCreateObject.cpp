#include "YKUndoCreateObject.h"

#include "YKLayer.h"

YKUndoCreateObject::YKUndoCreateObject(YKLayer* object, const char* name)
    : mPlacement(YKUndoLayerPlacement::Kind::kObject, object, object->Parent(), -1, true),
      mName(YKUndoLayerName("", name)) {}
