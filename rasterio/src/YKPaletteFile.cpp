// Palette files: reading treats the file as hostile, writing goes through a replaced file.

#include "YKPaletteFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "YKReplacedFile.h"
#include "yk_io_error_internal.h"

namespace {

constexpr int64 kMinimumBytes = 6;  // a file of 5 bytes or less is never taken

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string NameOf(std::string name, int32 number) {
    // The name becomes a C string for menus: what follows a zero byte would never show.
    name.resize(std::strlen(name.c_str()));
    return name.empty() ? "Palette " + std::to_string(number) : name;
}

}  // namespace

// --- Reading ---

bool YKPaletteFile::Read(const char* path, int32 number, YKColorMap* map, std::string* error) {
    struct stat status;
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode)) {
        yk_set_error(error, "not a regular file");
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (file == nullptr || fstat(fileno(file.get()), &status) != 0) {
        yk_set_error(error, std::string("cannot be opened: ") + std::strerror(errno));
        return false;
    }
    return Read(file.get(), int64(status.st_size), number, map, error);
}

bool YKPaletteFile::Read(std::FILE* stream, int64 size, int32 number, YKColorMap* map,
                         std::string* error) {
    uint8 head[4];
    if (size < kMinimumBytes || std::fread(head, 1, 4, stream) != 4) {
        yk_set_error(error, "too short for a palette (" + std::to_string(size) + " bytes)");
        return false;
    }
    const int32 length = int32(uint32(head[0]) | uint32(head[1]) << 8 | uint32(head[2]) << 16 |
                               uint32(head[3]) << 24);
    if (length < 0 || int64(length) + kFixedBytes != size) {
        yk_set_error(error, "not a palette: a name of " + std::to_string(length) +
                                " bytes in a file of " + std::to_string(size) + " bytes");
        return false;
    }
    // Only what the record holds is read; the rest of a long name is skipped.
    const std::size_t kept = std::min<std::size_t>(std::size_t(length), YKColorMap::kMaxNameLength);
    std::string name(kept, '\0');
    uint8 body[YKColorMap::kColorCount * 4];
    auto loaded = std::make_unique<YKColorMap>();
    if (std::fread(name.data(), 1, kept, stream) != kept ||
        std::fseek(stream, long(length - int32(kept)), SEEK_CUR) != 0 ||
        std::fread(body, 1, sizeof body, stream) != sizeof body ||
        std::fread(loaded->inverse, 1, sizeof loaded->inverse, stream) != sizeof loaded->inverse) {
        yk_set_error(error, "cannot be read to its end");
        return false;
    }
    for (int32 i = 0; i < YKColorMap::kColorCount; ++i) {
        loaded->colors[i] = {body[4 * i], body[4 * i + 1], body[4 * i + 2], body[4 * i + 3]};
    }
    loaded->name = NameOf(std::move(name), number);
    *map = *loaded;
    return true;
}

// --- Writing ---

bool YKPaletteFile::Write(const char* path, const YKColorMap& map, std::string* error) {
    YKReplacedFile file(path);
    if (file.Stream() == nullptr) {
        yk_set_error(error, file.Error());
        return false;
    }
    const std::size_t length = std::min(map.name.size(), YKColorMap::kMaxNameLength);
    const uint8 head[4] = {uint8(length), uint8(length >> 8), 0, 0};
    uint8 body[YKColorMap::kColorCount * 4];
    for (int32 i = 0; i < YKColorMap::kColorCount; ++i) {
        const rgb_color& c = map.colors[i];
        body[4 * i] = c.red;
        body[4 * i + 1] = c.green;
        body[4 * i + 2] = c.blue;
        body[4 * i + 3] = c.alpha;
    }
    std::FILE* out = file.Stream();
    const bool written = std::fwrite(head, 1, 4, out) == 4 &&
                         std::fwrite(map.name.data(), 1, length, out) == length &&
                         std::fwrite(body, 1, sizeof body, out) == sizeof body &&
                         std::fwrite(map.inverse, 1, sizeof map.inverse, out) == sizeof map.inverse;
    if (!written) {
        yk_set_error(error, "cannot be written");
        return false;
    }
    if (!file.Commit()) {
        yk_set_error(error, file.Error());
        return false;
    }
    return true;
}
