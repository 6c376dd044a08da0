#include "YKFontCacheFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Smallest a font can take: four lengths and four lone NULs.
constexpr size_t kMinFontBytes = 4 * (4 + 1);

// Reads big-endian fields off a byte range, refusing to step past its end.
class Cursor {
public:
    Cursor(const uint8* data, size_t size) : mData(data), mLeft(size) {}

    size_t Left() const { return mLeft; }

    bool Int32(int32* value) {
        if (mLeft < 4) {
            return false;
        }
        *value = int32(uint32(mData[0]) << 24 | uint32(mData[1]) << 16 | uint32(mData[2]) << 8 |
                       uint32(mData[3]));
        Skip(4);
        return true;
    }

    // A line holding a NUL-terminated text with no NUL before its end; `needed` also refuses
    // the empty text.
    bool Line(std::string* text, bool needed) {
        int32 n = 0;
        if (!Int32(&n) || n <= 0 || n > YKFontCacheFile::kMaxLineLength || size_t(n) > mLeft) {
            return false;
        }
        const char* chars = reinterpret_cast<const char*>(mData);
        if (std::memchr(chars, 0, size_t(n)) != chars + n - 1 || (needed && n == 1)) {
            return false;
        }
        text->assign(chars, size_t(n) - 1);
        Skip(size_t(n));
        return true;
    }

private:
    void Skip(size_t count) {
        mData += count;
        mLeft -= count;
    }

    const uint8* mData;
    size_t mLeft;
};

void AppendInt32(std::string* bytes, uint32 value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes->push_back(char(value >> shift));
    }
}

void AppendLine(std::string* bytes, const std::string& text) {
    AppendInt32(bytes, uint32(text.size() + 1));
    bytes->append(text.c_str(), text.size() + 1);
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += size_t(written);
    }
    return true;
}

}  // namespace

bool YKFontCacheFile::Parse(const uint8* data, size_t size, std::vector<YKFontCacheEntry>* fonts) {
    Cursor cursor(data, size);
    int32 count = 0;
    // The count is checked against the bytes present before anything is reserved for it.
    if (!cursor.Int32(&count) || count < 0 || size_t(count) > cursor.Left() / kMinFontBytes) {
        return false;
    }
    std::vector<YKFontCacheEntry> read(static_cast<size_t>(count));
    for (YKFontCacheEntry& font : read) {
        if (!cursor.Line(&font.path, true) || !cursor.Line(&font.file, true) ||
            !cursor.Line(&font.family, false) || !cursor.Line(&font.style, false)) {
            return false;
        }
    }
    if (cursor.Left() != 0) {
        return false;
    }
    *fonts = std::move(read);
    return true;
}

bool YKFontCacheFile::Read(const std::string& path, std::vector<YKFontCacheEntry>* fonts) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info;
    std::string bytes;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxFileSize;
    if (ok) {
        bytes.resize(size_t(info.st_size));
        size_t done = 0;
        while (ok && done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            ok = got > 0 || (got < 0 && errno == EINTR);
            done += got > 0 ? size_t(got) : 0;
        }
    }
    ::close(fd);
    return ok && Parse(reinterpret_cast<const uint8*>(bytes.data()), bytes.size(), fonts);
}

bool YKFontCacheFile::Storable(const YKFontCacheEntry& font) {
    for (const std::string* text : {&font.path, &font.file, &font.family, &font.style}) {
        if (text->size() >= size_t(kMaxLineLength) || text->find('\0') != std::string::npos) {
            return false;
        }
    }
    return !font.path.empty() && !font.file.empty();
}

std::string YKFontCacheFile::Bytes(const std::vector<YKFontCacheEntry>& fonts) {
    std::string bytes;
    AppendInt32(&bytes, uint32(fonts.size()));
    for (const YKFontCacheEntry& font : fonts) {
        AppendLine(&bytes, font.path);
        AppendLine(&bytes, font.file);
        AppendLine(&bytes, font.family);
        AppendLine(&bytes, font.style);
    }
    return bytes;
}

bool YKFontCacheFile::Write(const std::string& path, const std::vector<YKFontCacheEntry>& fonts,
                            const timespec& modified) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    const timespec times[2] = {modified, modified};
    const bool written = WriteAll(fd, Bytes(fonts)) && ::fchmod(fd, 0644) == 0 &&
                         ::futimens(fd, times) == 0 && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
