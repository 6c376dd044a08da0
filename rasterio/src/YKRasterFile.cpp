// Image files read and written through the registry's formats.

#include "YKRasterFile.h"

#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "YKRasterFilters.h"
#include "YKRasterStillIO.h"
#include "yk_io_error_internal.h"

YKRasterFile::YKRasterFile(const char* path, bool native) {
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    for (int32 i = 0; i < filters->CountFilters(); ++i) {
        const auto* io = dynamic_cast<const YKRasterStillIO*>(filters->FilterAt(i));
        if (io != nullptr && (io->Capabilities() & YKRasterIO::kReadsStills) != 0 &&
            io->Accept(path)) {
            mRecognised = true;
            mRaster = io->Read(path, &mInfo, native, &mError);
            return;
        }
    }
    mError = access(path, R_OK) == 0
                 ? std::string("no reader knows the format of ") + path
                 : std::string("cannot open ") + path + ": " + std::strerror(errno);
}

bool YKRasterFile::WriteToFile(int32 type, const char* path, const YKMessage* options,
                               std::string* error) const {
    const auto* io =
        dynamic_cast<const YKRasterStillIO*>(YKRasterFilters::Instantiate()->FilterForId(type));
    std::string reason;
    if (mRaster == nullptr) {
        reason = "there is no image to write";
    } else if (io == nullptr || (io->Capabilities() & YKRasterIO::kWritesStills) == 0) {
        reason = "no image writer has the id " + std::to_string(type);
    } else if (io->Write(path, *mRaster, options, nullptr, &reason)) {
        return true;
    }
    yk_set_error(error, reason);
    return false;
}
