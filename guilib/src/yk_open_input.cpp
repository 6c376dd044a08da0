#include "yk_open_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

void SetReason(std::string* reason, const std::string& text) {
    if (reason != nullptr) {
        *reason = text;
    }
}

std::string NotRegular(unsigned mode) {
    return S_ISDIR(mode) ? std::string("a folder")
                         : yk_file_kind(mode) + std::string(", not a regular file");
}

}  // namespace

const char* yk_file_kind(unsigned mode) {
    if (S_ISREG(mode)) {
        return "a regular file";
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "a special file";
}

int yk_open_input(const char* path, std::string* reason) {
    if (path == nullptr) {
        SetReason(reason, std::strerror(EINVAL));
        return -1;
    }
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer that may never come.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int failure = errno;
        struct stat status;
        // A socket refuses to open at all; saying what it is beats "No such device".
        if (stat(path, &status) == 0 && !S_ISREG(status.st_mode)) {
            SetReason(reason, NotRegular(status.st_mode));
        } else {
            SetReason(reason, std::strerror(failure));
        }
        errno = failure;
        return -1;
    }
    struct stat status;
    if (fstat(fd, &status) != 0) {
        const int failure = errno;
        SetReason(reason, std::strerror(failure));
        close(fd);
        errno = failure;
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        SetReason(reason, NotRegular(status.st_mode));
        close(fd);
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}

std::FILE* yk_fopen_input(const char* path, std::string* reason) {
    const int fd = yk_open_input(path, reason);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        SetReason(reason, std::strerror(errno));
        close(fd);
    }
    return file;
}
