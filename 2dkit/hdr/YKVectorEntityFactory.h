#pragma once

// Builds vector objects by their object type number: from an archive when a document is loaded,
// or from a first point when a tool starts drawing.

#include "YKPoint.h"
#include "yk_types.h"

class YKEnvelopManager;
class YKMessage;
class YKVectorEntity;

namespace YKVectorEntityFactory {

// The object an archive describes, owned by the caller; null for an unknown or missing
// "object_type" and for an archive whose outline cannot be used (no points or segments, or
// segments that index outside the points).
YKVectorEntity* Instantiate(const YKMessage* archive, int32 id, YKEnvelopManager* manager);
// A new object of `type` being created at `start`; null for a type no tool draws.
YKVectorEntity* Create(int32 type, YKPoint<double> start, int32 id, YKEnvelopManager* manager);

}  // namespace YKVectorEntityFactory
