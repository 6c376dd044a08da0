#include "YKLightWaveObject.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "YKLightWaveObject_internal.h"
#include "yk_open_input.h"

namespace {

constexpr uint32 kFORM = 'FORM', kLWOB = 'LWOB', kLWO2 = 'LWO2';
// Far beyond any object the limits on points and corners allow; refused before reading.
constexpr int64 kMaxFileSize = int64{1} << 30;

uint32 BigEndian32(const uint8* bytes) {
    return uint32(bytes[0]) << 24 | uint32(bytes[1]) << 16 | uint32(bytes[2]) << 8 | bytes[3];
}

bool ReadWholeFile(const char* path, std::vector<uint8>* bytes, std::string* reason) {
    const int fd = yk_open_input(path, reason);
    if (fd < 0) {
        return false;
    }
    struct stat status;
    if (fstat(fd, &status) != 0 || status.st_size > kMaxFileSize) {
        *reason = "the file is larger than any LightWave object this system reads";
        close(fd);
        return false;
    }
    bytes->resize(static_cast<size_t>(status.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
        const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            *reason = got < 0 ? std::strerror(errno) : "the file became shorter while read";
            close(fd);
            return false;
        }
        done += static_cast<size_t>(got);
    }
    close(fd);
    return true;
}

}  // namespace

bool YKLightWaveObject::Check(const uint8* header, size_t size) {
    if (size < 12 || BigEndian32(header) != kFORM) {
        return false;
    }
    const uint32 type = BigEndian32(header + 8);
    return type == kLWOB || type == kLWO2;
}

bool YKLightWaveObject::Read(const char* path, std::string* error) {
    std::vector<uint8> bytes;
    std::string reason;
    if (!ReadWholeFile(path, &bytes, &reason)) {
        // Empties the object as any refused file does, then says why.
        ReadFrom(nullptr, 0, error);
        *error = std::string("Cannot read \"") + (path != nullptr ? path : "") + "\": " + reason;
        return false;
    }
    return ReadFrom(bytes.data(), bytes.size(), error);
}

bool YKLightWaveObject::ReadFrom(const uint8* data, size_t size, std::string* error) {
    yk_lightwave::Model model;
    bool read = false;
    if (!Check(data, size)) {
        *error =
            "Not a LightWave object: the file does not start with FORM, a size and LWOB or LWO2";
    } else if (BigEndian32(data + 4) < 4 || BigEndian32(data + 4) > size - 8) {
        *error = "LightWave object: the FORM claims " + std::to_string(BigEndian32(data + 4)) +
                 " bytes, the file holds " + std::to_string(size - 8);
    } else {
        // The FORM's contents after its type.
        const yk_lightwave::Bytes form(data + 12, BigEndian32(data + 4) - 4);
        read = BigEndian32(data + 8) == kLWOB ? yk_lightwave::ReadLWOB(form, &model, error)
                                              : yk_lightwave::ReadLWO2(form, &model, error);
    }
    if (!read) {
        model = yk_lightwave::Model();
    } else {
        error->clear();
    }
    mMaterials = std::move(model.materials);
    mVertices = std::move(model.vertices);
    mFaces = std::move(model.faces);
    Initialize();
    mLoaded = read;
    return read;
}
