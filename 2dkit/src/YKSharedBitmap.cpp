#include "YKSharedBitmap.h"

#include "YKMessage.h"

YKSharedBitmap::YKSharedBitmap(const char* name, const YKRaster* raster)
    : mPattern(std::make_unique<YKPattern>(raster)) {
    SetName(name);
}

YKSharedBitmap::YKSharedBitmap(const YKMessage& archive)
    : mPattern(std::make_unique<YKPattern>(archive)) {
    const char* name = nullptr;
    archive.FindString("shared_name", &name);
    SetName(name);
}

void YKSharedBitmap::SetName(const char* name) {
    mName = name != nullptr ? name : "";
    if (mName.size() > kMaxNameLength) {
        mName.resize(kMaxNameLength);
    }
}

bool YKSharedBitmap::SetPattern(const YKRaster* raster) {
    return mPattern->SetData(raster);
}

void YKSharedBitmap::ArchiveIn(YKMessage* archive) {
    archive->AddString("shared_name", mName.c_str());
    mPattern->ArchiveIn(archive);
    mSaved = true;
}
