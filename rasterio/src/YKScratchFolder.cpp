#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

#include "yk_scratch_folder_internal.h"

namespace {

// Calls `visit` with the path of every entry of `folder` but "." and "..".
void ForEachEntry(const std::string& folder, const std::function<void(const std::string&)>& visit) {
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                visit(folder + "/" + name);
            }
        }
        closedir(dir);
    }
}

}  // namespace

YKScratchFolder::YKScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    mPath = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/GravikXXXXXX";
    if (mkdtemp(mPath.data()) == nullptr) {
        mPath.clear();
    }
}

YKScratchFolder::~YKScratchFolder() {
    if (!Made()) {
        return;
    }
    ForEachEntry(mPath, [](const std::string& path) { unlink(path.c_str()); });
    rmdir(mPath.c_str());
}

int64 YKScratchFolder::FilesSize() const {
    int64 total = 0;
    ForEachEntry(mPath, [&total](const std::string& path) {
        struct stat info {};
        if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            total += info.st_size;
        }
    });
    return total;
}
