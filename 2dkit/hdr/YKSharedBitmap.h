#pragma once

// YKSharedBitmap: one entry of the bitmap roster, a named pattern with the number of its users
// and a mark telling whether it was already written into the document being saved (so that a
// pattern used by many objects is stored once).

#include <memory>
#include <string>

#include "YKPattern.h"
#include "yk_types.h"

class YKMessage;
class YKRaster;

class YKSharedBitmap {
public:
    // Names are kept to this many bytes.
    static constexpr std::size_t kMaxNameLength = 1023;

    // One user, not saved; the pattern copies the raster's pixels (none for an unusable raster).
    YKSharedBitmap(const char* name, const YKRaster* raster);
    // From ArchiveIn()'s keys: "shared_name" and the pattern's. One user, not saved.
    explicit YKSharedBitmap(const YKMessage& archive);
    YKSharedBitmap(const YKSharedBitmap&) = delete;
    YKSharedBitmap& operator=(const YKSharedBitmap&) = delete;

    const char* Name() const { return mName.c_str(); }
    void SetName(const char* name);
    // Never null; owned by the shared bitmap.
    YKPattern* Pattern() const { return mPattern.get(); }
    // Replaces the pattern's pixels by the raster's; false (and no pixels) for an unusable one.
    bool SetPattern(const YKRaster* raster);

    void IncOccurrence() { ++mCount; }
    void DecOccurrence() { --mCount; }
    int32 NbrOccurrence() const { return mCount; }
    bool Saved() const { return mSaved; }
    void ResetSaved() { mSaved = false; }

    // Adds "shared_name" and the pattern's keys, and marks the bitmap saved.
    void ArchiveIn(YKMessage* archive);

private:
    std::string mName;
    int32 mCount = 1;
    bool mSaved = false;
    std::unique_ptr<YKPattern> mPattern;
};
