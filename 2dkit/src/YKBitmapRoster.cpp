#include "YKBitmapRoster.h"

#include <string_view>

#include "YKMessage.h"
#include "YKRaster.h"

YKBitmapRoster& YKBitmapRoster::Default() {
    static YKBitmapRoster roster;
    return roster;
}

int32 YKBitmapRoster::Find(const char* name) const {
    if (name == nullptr) {
        return -1;
    }
    // Names are kept shortened, so a long name is looked up as it was kept.
    const std::string_view kept = std::string_view(name).substr(0, YKSharedBitmap::kMaxNameLength);
    for (std::size_t i = 0; i < mBitmaps.size(); ++i) {
        if (kept == mBitmaps[i]->Name()) {
            return static_cast<int32>(i);
        }
    }
    return -1;
}

template <typename Make>
YKSharedBitmap* YKBitmapRoster::Add(const char* name, Make make) {
    if (name == nullptr) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(mLock);
    const int32 index = Find(name);
    if (index >= 0) {
        mBitmaps[index]->IncOccurrence();
        return mBitmaps[index].get();
    }
    std::unique_ptr<YKSharedBitmap> bitmap = make();
    // Lookups go by the name the objects use, whatever an archive called it.
    bitmap->SetName(name);
    mBitmaps.push_back(std::move(bitmap));
    return mBitmaps.back().get();
}

YKSharedBitmap* YKBitmapRoster::AddBitmap(std::unique_ptr<YKRaster> raster, const char* name) {
    return Add(name, [&] { return std::make_unique<YKSharedBitmap>(name, raster.get()); });
}

YKSharedBitmap* YKBitmapRoster::AddBitmap(const YKMessage& archive, const char* name) {
    return Add(name, [&] { return std::make_unique<YKSharedBitmap>(archive); });
}

bool YKBitmapRoster::Retain(const char* name) {
    std::lock_guard<std::mutex> lock(mLock);
    const int32 index = Find(name);
    if (index < 0) {
        return false;
    }
    mBitmaps[index]->IncOccurrence();
    return true;
}

bool YKBitmapRoster::DeleteAt(int32 index) {
    if (index < 0) {
        return false;
    }
    if (mBitmaps[index]->NbrOccurrence() <= 1) {
        mBitmaps.erase(mBitmaps.begin() + index);
    } else {
        mBitmaps[index]->DecOccurrence();
    }
    return true;
}

bool YKBitmapRoster::DeleteBitmap(const char* name) {
    std::lock_guard<std::mutex> lock(mLock);
    return DeleteAt(Find(name));
}

bool YKBitmapRoster::DeleteBitmap(const YKSharedBitmap* bitmap) {
    std::lock_guard<std::mutex> lock(mLock);
    for (std::size_t i = 0; i < mBitmaps.size(); ++i) {
        if (mBitmaps[i].get() == bitmap) {
            return DeleteAt(static_cast<int32>(i));
        }
    }
    return false;
}

YKSharedBitmap* YKBitmapRoster::Bitmap(const char* name) const {
    std::lock_guard<std::mutex> lock(mLock);
    const int32 index = Find(name);
    return index >= 0 ? mBitmaps[index].get() : nullptr;
}

int32 YKBitmapRoster::CountBitmaps() const {
    std::lock_guard<std::mutex> lock(mLock);
    return static_cast<int32>(mBitmaps.size());
}

std::vector<std::string> YKBitmapRoster::Names() const {
    std::lock_guard<std::mutex> lock(mLock);
    std::vector<std::string> names;
    names.reserve(mBitmaps.size());
    for (const auto& bitmap : mBitmaps) {
        names.emplace_back(bitmap->Name());
    }
    return names;
}

void YKBitmapRoster::ResetForArchiving() {
    std::lock_guard<std::mutex> lock(mLock);
    for (const auto& bitmap : mBitmaps) {
        bitmap->ResetSaved();
    }
}

bool YKBitmapRoster::ArchiveOnce(const char* name, YKMessage* archive) {
    std::lock_guard<std::mutex> lock(mLock);
    const int32 index = Find(name);
    if (index < 0 || mBitmaps[index]->Saved()) {
        return false;
    }
    mBitmaps[index]->ArchiveIn(archive);
    return true;
}
