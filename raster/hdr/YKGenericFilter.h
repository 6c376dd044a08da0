#pragma once

// YKGenericFilter: an image filter that processes a region of a bitmap. Layers hold chains of
// them (applied to a group's rendering) and one as the "Filter" merge method (which merges a
// layer into what lies under it). Filters with animated parameters keep them in envelopes
// registered with the document's envelope manager.

#include "YKRect.h"
#include "yk_types.h"

class YKBitmap;
class YKEnvelopManager;
class YKMessage;

class YKGenericFilter {
public:
    virtual ~YKGenericFilter() = default;

    // The filter's fixed name, by which a document finds it again; null when it has none.
    virtual const char* Name() const { return nullptr; }
    // Filters `rect` of `source` into `destination`; `extra` is a mask or second source.
    virtual void PerformFilter(YKBitmap* source, YKBitmap* destination, YKBitmap* extra,
                               YKRect<int32> rect, bool preview) = 0;
    // The rectangle the output covers for an input rectangle.
    virtual YKRect<int32> Frame(YKRect<int32> rect) const { return rect; }
    // Whether the filter can work in place (source and destination the same bitmap).
    virtual bool UseSrcBitmapAsDest() const { return false; }
    virtual void SetEnvelopOwner(int32 owner, int32 realOwner) {
        (void)owner;
        (void)realOwner;
    }
    virtual void AddEnvelopToManager(YKEnvelopManager* manager) { (void)manager; }
    virtual void RemoveEnvelopFromManager(YKEnvelopManager* manager) { (void)manager; }
    // The filter's parameters and "YKGF:Name".
    virtual void Archive(YKMessage* message) const = 0;
};
