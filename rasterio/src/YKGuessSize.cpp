// Size estimates: the real writer, run into a folder of its own that is removed afterwards, so
// that the estimate is what the export will write, for every format and every option.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "YKRasterAnimIO.h"
#include "YKRasterStillIO.h"

namespace {

// Runs `write` with a path inside a new temporary folder; the total size of the regular files
// it left there, or -1 when it failed. The folder is removed either way.
int64 SizeOfWrite(const YKRasterIO& io, const std::function<bool(const char*)>& write) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/GravikXXXXXX";
    if (mkdtemp(folder.data()) == nullptr) {
        return -1;
    }
    // The first of the format's extensions, so that the writer sees a name it would be given.
    std::string extension = io.Extension();
    extension.resize(extension.find(';') == std::string::npos ? extension.size()
                                                              : extension.find(';'));
    const std::string path = folder + "/Gravik" + extension;
    int64 total = write(path.c_str()) ? 0 : -1;

    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string file = folder + "/" + name;
            struct stat info {};
            if (total >= 0 && lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                total += info.st_size;
            }
            unlink(file.c_str());
        }
        closedir(dir);
    }
    rmdir(folder.c_str());
    return total;
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
