// Writing through a temporary file, then putting it in place.

#include "YKReplacedFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

#include "yk_open_input.h"

namespace {

namespace fs = std::filesystem;

// Symbolic links followed before giving up, as the kernel does.
constexpr int kMaxLinks = 40;

// Temporaries this process is writing now. Another one carrying our process id was left by an
// earlier process that had the same id.
std::mutex gActiveLock;
std::set<std::string> gActive;

std::string Folder(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// The file a chain of symbolic links ends at; the path itself when it is no link. A dangling
// link is followed too: writing creates the file it names.
bool ResolveLinks(std::string path, std::string* resolved) {
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            *resolved = path;
            return true;
        }
        char target[4096];
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<size_t>(length) == sizeof target) {
            *resolved = path;
            return true;
        }
        const std::string next(target, static_cast<size_t>(length));
        path = next.front() == '/' ? next : Folder(path) + "/" + next;
    }
    return false;
}

// The process id of a temporary named `name` beside `base` ("base.saving-PID~" or
// "base.saving-PID-N~"); 0 when the name is not one.
pid_t TemporaryOwner(const std::string& name, const std::string& base) {
    const std::string prefix = base + ".saving-";
    if (name.size() <= prefix.size() + 1 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.back() != '~') {
        return 0;
    }
    const std::string tail = name.substr(prefix.size(), name.size() - prefix.size() - 1);
    const size_t dash = tail.find('-');
    const std::string pid = tail.substr(0, dash);
    const std::string serial = dash == std::string::npos ? "1" : tail.substr(dash + 1);
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.size() <= 10 &&
               text.find_first_not_of("0123456789") == std::string::npos;
    };
    return digits(pid) && digits(serial) ? static_cast<pid_t>(std::strtol(pid.c_str(), nullptr, 10))
                                         : 0;
}

// Removes the temporaries beside `target` whose writer is gone (killed before it could clean
// up). Called with gActiveLock held.
void RemoveStaleTemporaries(const std::string& target) {
    const std::string base = fs::path(target).filename().string();
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(Folder(target), error)) {
        const std::string name = entry.path().filename().string();
        const pid_t owner = TemporaryOwner(name, base);
        if (owner <= 0) {
            continue;
        }
        const std::string path = target + name.substr(base.size());
        const bool gone =
            owner == getpid() ? gActive.count(path) == 0 : kill(owner, 0) != 0 && errno == ESRCH;
        struct stat status;
        if (gone && lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            unlink(path.c_str());
        }
    }
}

// Writes all of `size` bytes, through interruptions and short writes.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

YKReplacedFile::YKReplacedFile(const char* path) {
    if (path == nullptr) {
        Fail("", EINVAL);
        return;
    }
    PrepareTarget(path);
}

YKReplacedFile::~YKReplacedFile() {
    if (mStream != nullptr) {
        std::fclose(mStream);
    }
    if (mSpecial >= 0) {
        close(mSpecial);
    }
    if (!mTemporary.empty()) {
        unlink(mTemporary.c_str());
        std::lock_guard<std::mutex> lock(gActiveLock);
        gActive.erase(mTemporary);
    }
}

void YKReplacedFile::Fail(const std::string& what, int error) {
    mError = what.empty() ? std::string(std::strerror(error)) : what + ": " + std::strerror(error);
}

// --- Before writing ---

bool YKReplacedFile::PrepareTarget(const char* path) {
    struct stat status;
    if (stat(path, &status) != 0) {
        if (errno != ENOENT) {
            Fail("", errno);
            return false;
        }
        // Nothing there, or a link to nothing: the file is created where the links lead.
        if (!ResolveLinks(path, &mTarget)) {
            Fail("", ELOOP);
            return false;
        }
        return CreateBeside();
    }
    // A regular file is replaced beside where it really lives; anything else is opened through
    // the links as named (/dev/stdout leads to a pipe that has no name to resolve).
    char* real = S_ISREG(status.st_mode) ? realpath(path, nullptr) : nullptr;
    mTarget = real != nullptr ? real : path;
    std::free(real);
    if (S_ISREG(status.st_mode)) {
        // Renaming would replace a file its owner made read-only; writing it should fail.
        if (access(mTarget.c_str(), W_OK) != 0) {
            Fail("", errno);
            return false;
        }
        mExisted = true;
        mMode = status.st_mode & 07777;
        mOwner = status.st_uid;
        mGroup = status.st_gid;
        // A rename would leave the other names of the file with the old content.
        mPlacing = status.st_nlink > 1 ? Placing::kCopyInto : Placing::kRename;
        return CreateBeside();
    }
    if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)) {
        // Without O_NONBLOCK a FIFO that nobody reads would hang the write for good.
        mSpecial = open(mTarget.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (mSpecial < 0) {
            if (errno == ENXIO) {
                mError = "a FIFO that nobody reads";
            } else {
                Fail("", errno);
            }
            return false;
        }
        fcntl(mSpecial, F_SETFL, fcntl(mSpecial, F_GETFL) & ~O_NONBLOCK);
        mPlacing = Placing::kCopyInto;
        return CreateAnonymous();
    }
    mError = S_ISDIR(status.st_mode) ? std::string("a folder")
                                     : yk_file_kind(status.st_mode) + std::string(", not written");
    return false;
}

bool YKReplacedFile::CreateBeside() {
    std::lock_guard<std::mutex> lock(gActiveLock);
    RemoveStaleTemporaries(mTarget);
    const std::string stem = mTarget + ".saving-" + std::to_string(getpid());
    // Further serials only for saves of the same file that run at once in this process.
    for (int serial = 1; serial <= 64; ++serial) {
        std::string name = stem;
        if (serial > 1) {
            name += '-';
            name += std::to_string(serial);
        }
        name += '~';
        if (gActive.count(name) != 0) {
            continue;
        }
        // 0666 lets the umask decide, as for any new file.
        const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            Fail("", errno);
            return false;
        }
        if (!TakeTemporary(fd, name)) {
            return false;
        }
        gActive.insert(name);
        return true;
    }
    Fail("", EEXIST);
    return false;
}

bool YKReplacedFile::CreateAnonymous() {
    // Never beside a device: /dev is no place for our files.
    std::string name = (fs::temp_directory_path() / "gravik-saving-XXXXXX").string();
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        Fail("cannot make a temporary file", errno);
        return false;
    }
    return TakeTemporary(fd, name);
}

bool YKReplacedFile::TakeTemporary(int fd, const std::string& name) {
    mStream = fdopen(fd, "w+b");
    if (mStream == nullptr) {
        Fail("", errno);
        close(fd);
        unlink(name.c_str());
        return false;
    }
    mTemporary = name;
    return true;
}

// --- Putting the content in place ---

bool YKReplacedFile::Commit() {
    if (mStream == nullptr) {
        return false;
    }
    const int fd = fileno(mStream);
    if (std::fflush(mStream) != 0 || fsync(fd) != 0) {
        Fail("", errno);
        return false;
    }
    if (mPlacing == Placing::kCopyInto) {
        return CopyInto();
    }
    if (mExisted) {
        // The owner can be kept only by root; the group then at least where we belong to it.
        if (fchown(fd, mOwner, mGroup) != 0 && fchown(fd, static_cast<uid_t>(-1), mGroup) != 0) {
            // Neither could be kept: the file stays ours, as a new one would be.
        }
        // After fchown, which clears set-id bits.
        fchmod(fd, mMode);
    }
    const bool closed = std::fclose(mStream) == 0;
    mStream = nullptr;
    if (!closed) {
        Fail("", errno);
        return false;
    }
    if (std::rename(mTemporary.c_str(), mTarget.c_str()) != 0) {
        Fail("cannot replace it", errno);
        return false;
    }
    std::lock_guard<std::mutex> lock(gActiveLock);
    gActive.erase(mTemporary);
    mTemporary.clear();
    return true;
}

bool YKReplacedFile::CopyInto() {
    const bool regular = mSpecial < 0;
    const int out = regular ? open(mTarget.c_str(), O_WRONLY | O_CLOEXEC) : mSpecial;
    mSpecial = -1;
    if (out < 0) {
        Fail("", errno);
        return false;
    }
    const int in = fileno(mStream);
    bool ok = lseek(in, 0, SEEK_SET) == 0;
    off_t total = 0;
    char buffer[65536];
    while (ok) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        ok = got >= 0 && WriteAll(out, buffer, static_cast<size_t>(got));
        total += got;
        if (got == 0) {
            break;
        }
    }
    ok = ok && (!regular || (ftruncate(out, total) == 0 && fsync(out) == 0));
    int failure = errno;
    if (close(out) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (ok) {
        return true;
    }
    Fail("cannot write into it", failure);
    if (regular) {
        // The file may now be half written: the complete content must not be lost with it.
        mError += "; the new content is kept in " + mTemporary;
        std::fclose(mStream);
        mStream = nullptr;
        std::lock_guard<std::mutex> lock(gActiveLock);
        gActive.erase(mTemporary);
        mTemporary.clear();
    }
    return false;
}
