// Writing through a temporary file beside the target.

#include "YKReplacedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

// Distinguishes the temporary files of one process; the process id those of others.
std::atomic<uint64_t> gSerial{0};

}  // namespace

YKReplacedFile::YKReplacedFile(const char* path) : mTarget(path) {
    int failure = EEXIST;
    // Another try when a temporary file left by a crashed run has the same name.
    for (int attempt = 0; attempt < 8 && failure == EEXIST; ++attempt) {
        const std::string name = mTarget + ".gravik-" + std::to_string(getpid()) + "-" +
                                 std::to_string(gSerial++) + ".tmp";
        // 0666 lets the umask decide, as for any new file.
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        failure = errno;
        if (fd >= 0) {
            mStream = fdopen(fd, "wb");
            if (mStream != nullptr) {
                mTemporary = name;
                return;
            }
            failure = errno;
            close(fd);
            unlink(name.c_str());
        }
    }
    mError = "cannot create a file beside " + mTarget + ": " + std::strerror(failure);
}

YKReplacedFile::~YKReplacedFile() {
    if (mStream != nullptr) {
        std::fclose(mStream);
    }
    if (!mTemporary.empty()) {
        unlink(mTemporary.c_str());
    }
}

bool YKReplacedFile::Commit() {
    if (mStream == nullptr) {
        return false;
    }
    const bool flushed = std::fflush(mStream) == 0 && fsync(fileno(mStream)) == 0;
    const int flushErrno = errno;
    const bool closed = std::fclose(mStream) == 0;
    mStream = nullptr;
    if (!flushed || !closed) {
        mError = "cannot write " + mTarget + ": " + std::strerror(flushed ? errno : flushErrno);
    } else if (std::rename(mTemporary.c_str(), mTarget.c_str()) != 0) {
        mError = "cannot replace " + mTarget + ": " + std::strerror(errno);
    } else {
        mTemporary.clear();
        return true;
    }
    unlink(mTemporary.c_str());
    mTemporary.clear();
    return false;
}
