#pragma once

// YKBitmapRoster: the process-wide register of the patterns objects paint with, shared by name
// and counted by use. Objects add a pattern when they take it on and delete it when they let it
// go; the roster frees a pattern with its last user. Every operation is safe from any thread.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "YKSharedBitmap.h"
#include "yk_types.h"

class YKMessage;
class YKRaster;

class YKBitmapRoster {
public:
    YKBitmapRoster() = default;
    YKBitmapRoster(const YKBitmapRoster&) = delete;
    YKBitmapRoster& operator=(const YKBitmapRoster&) = delete;

    // The roster every document uses.
    static YKBitmapRoster& Default();

    // A name already held gains a user (the raster is dropped); a new name gets a shared bitmap
    // copying the raster's pixels. Returns the shared bitmap, or null for a null name.
    YKSharedBitmap* AddBitmap(std::unique_ptr<YKRaster> raster, const char* name);
    // The same with a shared bitmap's archive (as ArchiveIn writes it) for a new name.
    YKSharedBitmap* AddBitmap(const YKMessage& archive, const char* name);
    // Adds a user to a name already held (an object taking on a pattern the roster has); false
    // when the name is not held.
    bool Retain(const char* name);
    // Takes a user away; the bitmap goes with its last user. False when it is not held.
    bool DeleteBitmap(const char* name);
    bool DeleteBitmap(const YKSharedBitmap* bitmap);
    // The first shared bitmap of that name, or null. It stays valid while its user holds it.
    YKSharedBitmap* Bitmap(const char* name) const;
    int32 CountBitmaps() const;
    // The names held, in the order they were added (what a pattern menu offers).
    std::vector<std::string> Names() const;

    // Clears every saved mark; called before a document is saved.
    void ResetForArchiving();
    // Writes the named bitmap's archive into `archive` when it is held and not saved yet (so a
    // document stores each pattern once); returns whether it wrote.
    bool ArchiveOnce(const char* name, YKMessage* archive);

private:
    template <typename Make>
    YKSharedBitmap* Add(const char* name, Make make);
    // The index of the first bitmap of that name, or -1; the lock must be held.
    int32 Find(const char* name) const;
    bool DeleteAt(int32 index);

    mutable std::mutex mLock;
    std::vector<std::unique_ptr<YKSharedBitmap>> mBitmaps;
};
