// Size estimates: the real writer, run into a folder of its own that is removed afterwards, so
// that the estimate is what the export will write, for every format and every option.

#include <algorithm>
#include <functional>
#include <string>

#include "YKRasterAnimIO.h"
#include "YKRasterStillIO.h"
#include "yk_scratch_folder_internal.h"

namespace {

// Runs `write` with a path inside a new temporary folder; the total size of the files it left
// there, or -1 when it failed.
int64 SizeOfWrite(const YKRasterIO& io, const std::function<bool(const char*)>& write) {
    YKScratchFolder folder;
    if (!folder.Made()) {
        return -1;
    }
    // The first of the format's extensions, so that the writer sees a name it would be given.
    std::string extension = io.Extension();
    extension.resize(std::min(extension.size(), extension.find(';')));
    return write(folder.PathOf("Gravik" + extension).c_str()) ? folder.FilesSize() : -1;
}

}  // namespace

int64 YKRasterStillIO::GuessSize(const YKRaster& raster, const YKMessage* options) const {
    return SizeOfWrite(
        *this, [&](const char* path) { return Write(path, raster, options, nullptr, nullptr); });
}

int64 YKRasterAnimIO::GuessSize(YKAnimationSource& source, const YKMessage* options) const {
    return SizeOfWrite(
        *this, [&](const char* path) { return Write(path, source, options, nullptr, nullptr); });
}
