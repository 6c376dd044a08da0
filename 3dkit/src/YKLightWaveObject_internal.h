#pragma once

// What the LightWave readers share: a cursor over big-endian IFF bytes that never reads past its
// end, the model a reader fills before it replaces the object's, and the two format readers.

#include <string>
#include <vector>

#include "YK3DObject.h"

namespace yk_lightwave {

// Bytes read front to back; every read checks what is left and fails without moving otherwise.
class Bytes {
public:
    Bytes() = default;
    Bytes(const uint8* data, size_t size) : mData(data), mLeft(size) {}

    size_t Left() const { return mLeft; }
    bool Skip(size_t count);
    bool U8(uint8* out);
    bool U16(uint16* out);
    bool U32(uint32* out);
    bool F32(float* out);
    // A four-character chunk id, kept in a uint32 as it reads ("PNTS" is 'PNTS').
    bool Id(uint32* out) { return U32(out); }
    // LWO2's variable-length index: two bytes, or four when the first is 0xFF (24 bits used).
    bool VX(uint32* out);
    // A zero-terminated name padded to an even length, cut to a material name's 255 bytes.
    bool Name(std::string* out);
    // The next `count` bytes as a cursor of their own; this one moves past them.
    bool Split(size_t count, Bytes* out);

private:
    const uint8* mData = nullptr;
    size_t mLeft = 0;
};

// A model as read, moved into the object once the whole file has been accepted.
struct Model {
    std::vector<YK3DMaterial> materials;
    std::vector<float> vertices;  // x, y, z per point
    std::vector<YK3DFace> faces;
    size_t faceVertices = 0;  // corners of all faces, held within the object's limit
};

// Too many surfaces for any real object; a cap so that a file of names cannot cost
// a material (some 300 bytes) per two bytes read.
constexpr size_t kMaxMaterials = 1 << 16;

// The surface's specular level, in both formats (the chunk id spelled out, as it reads in the
// file).
constexpr uint32 kSpecularLevel = uint32{'S'} << 24 | uint32{'P'} << 16 | uint32{'E'} << 8 | 'C';

// The name of a chunk id, for error texts ("PNTS"; unprintable bytes as '?').
std::string IdText(uint32 id);

// Calls `visit(id, bytes)` for each chunk in `bytes` (a 4-byte size, or a 2-byte one for the
// sub-chunks of a surface), skipping the pad byte after odd sizes; stops at the first visit that
// returns false. `where` names the enclosing chunk in error texts.
template <int kSizeBytes, typename Visit>
bool ForEachChunk(Bytes bytes, const char* where, std::string* error, Visit&& visit) {
    while (bytes.Left() > 0) {
        uint32 id = 0, size = 0;
        uint16 shortSize = 0;
        const bool header =
            bytes.Id(&id) && (kSizeBytes == 4 ? bytes.U32(&size) : bytes.U16(&shortSize));
        if (kSizeBytes == 2) {
            size = shortSize;
        }
        Bytes chunk;
        if (!header) {
            *error = std::string("LightWave object: a chunk header in ") + where + " is cut short";
            return false;
        }
        if (!bytes.Split(size, &chunk)) {
            *error = "LightWave object: chunk " + IdText(id) + " in " + where + " claims " +
                     std::to_string(size) + " bytes, " + std::to_string(bytes.Left()) + " remain";
            return false;
        }
        // The last chunk of a file is sometimes written without its pad byte.
        if (size % 2 != 0) {
            bytes.Skip(1);
        }
        if (!visit(id, chunk)) {
            return false;
        }
    }
    return true;
}

// Reads the chunks of a FORM after its type; false with `error` set on damaged data.
bool ReadLWOB(Bytes form, Model* model, std::string* error);
bool ReadLWO2(Bytes form, Model* model, std::string* error);

// Whether `count` more face corners stay within the object's limit; counts them if so.
bool AddFaceVertices(size_t count, Model* model, std::string* error);
// Appends size / 12 points of three finite floats, within the object's point limit.
bool ReadPoints(Bytes chunk, Model* model, std::string* error);
// The material of faces whose surface the file does not describe: added on first use, its
// index kept in `*index` (negative before).
int32 DefaultMaterial(Model* model, int32* index);

}  // namespace yk_lightwave
