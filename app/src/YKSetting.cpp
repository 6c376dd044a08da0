#include "YKSetting.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "YKMsgFile.h"
#include "YKSettingsFolder.h"

namespace {

constexpr const char* kVersionKey = "pref_version";

// Pushes the file's bytes to the disk, so that the rename that follows never exposes an empty
// file after a crash.
bool SyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// A name beside the file that no other save, in this process or another, uses at once.
std::string TemporaryPath(const std::string& path) {
    static std::atomic<uint32> counter{0};
    return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

YKSetting::YKSetting(const char* fileName) {
    SetFileName(fileName);
}

YKSetting::YKSetting(const YKMessage* archive, const char* fileName) {
    SetFileName(fileName);
    YKSetting::CreateFrom(archive);
}

YKSetting::~YKSetting() = default;

void YKSetting::SetFileName(const char* name) {
    mFileName = name != nullptr ? name : "";
}

bool YKSetting::FilePath(std::string* path) const {
    std::string folder;
    if (path == nullptr || mFileName.empty() || !YK_FindGravikSettingsFolder(&folder)) {
        return false;
    }
    *path = folder + mFileName;
    return true;
}

// --- Archiving

bool YKSetting::Archive(YKMessage* archive) const {
    if (archive == nullptr) {
        return false;
    }
    if (archive->what == 0) {
        archive->what = kSettingWhat;
    }
    archive->RemoveName(kVersionKey);
    return archive->AddInt32(kVersionKey, CurrentVersion());
}

bool YKSetting::CreateFrom(const YKMessage* archive) {
    int32 version = 0;
    return archive != nullptr && archive->FindInt32(kVersionKey, &version) &&
           CanLoadVersion(version);
}

int32 YKSetting::CurrentVersion() const {
    return 1;
}

bool YKSetting::CanLoadVersion(int32 version) const {
    return version <= CurrentVersion();
}

// --- Loading and saving

bool YKSetting::Load() {
    std::string path;
    if (!FilePath(&path)) {
        return false;
    }
    YKMsgFile file;
    if (!file.Open(path.c_str(), YK_BIN_READ_ONLY)) {
        return false;
    }
    // Read aside first: a file that is refused must not leave its fields in this message.
    YKMessage loaded;
    if (!file.GetMessage(&loaded) || !CreateFrom(&loaded)) {
        return false;
    }
    YKMessage::operator=(loaded);
    return true;
}

bool YKSetting::Save() {
    if (!Archive(this)) {
        return false;
    }
    std::string folder;
    if (mFileName.empty() || !YK_FindGravikSettingsFolder(&folder)) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);  // 0777 less the umask
    if (error || !std::filesystem::is_directory(folder, error)) {
        return false;
    }

    const std::string path = folder + mFileName;
    const std::string temporary = TemporaryPath(path);
    YKMsgFile file;
    bool ok = file.Open(temporary.c_str(), YK_BIN_WRITE_ONLY) && file.PutMessage(this);
    ok = file.Close() && ok;
    ok = ok && SyncFile(temporary) && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(temporary.c_str());
    }
    return ok;
}

void YKSetting::PrintToStream(const char* label) const {
    std::printf("YKSetting %s -- file %s\n", label != nullptr ? label : "", mFileName.c_str());
}
