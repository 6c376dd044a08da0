// Image files read as frame sequences through the registry's formats.

#include "YKRasterAnimFile.h"

#include "YKRasterAnimIO.h"
#include "YKRasterFile.h"
#include "YKRasterFilters.h"

YKRasterAnimFile::YKRasterAnimFile(const char* path, bool native) : mNative(native) {
    loadAnim(path);
}

bool YKRasterAnimFile::loadAnim(const char* path) {
    mFrames = std::make_unique<YKRasterList>(true);
    mInfo.MakeEmpty();
    mError.clear();
    mRecognised = false;
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    for (int32 i = 0; i < filters->CountFilters(); ++i) {
        const auto* io = dynamic_cast<const YKRasterAnimIO*>(filters->FilterAt(i));
        if (io != nullptr && (io->Capabilities() & YKRasterIO::kReadsAnimations) != 0 &&
            io->Accept(path, &mInfo)) {
            mRecognised = true;
            return io->Read(path, *mFrames, -1, -1, &mInfo, mNative, &mError);
        }
    }
    // No animation format takes the file: a still image is a sequence of one.
    YKRasterFile still(path, mNative);
    mRecognised = still.Recognised();
    mInfo = still.Info();
    if (!still.InitCheck()) {
        mError = still.ErrorText();
        return false;
    }
    mFrames->AddItem(still.DetachRaster().release());
    return true;
}

std::unique_ptr<YKRaster> YKRasterAnimFile::DuplicateRaster(int32 index) const {
    const YKRaster* frame = mFrames != nullptr ? mFrames->ItemAt(index) : nullptr;
    return frame != nullptr ? frame->DuplicateRaster() : nullptr;
}
