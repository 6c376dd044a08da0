#include <algorithm>
#include <cmath>
#include <cstring>

#include "YKLightWaveObject_internal.h"

namespace yk_lightwave {

// --- Cursor

bool Bytes::Skip(size_t count) {
    if (count > mLeft) {
        return false;
    }
    mData += count;
    mLeft -= count;
    return true;
}

bool Bytes::U8(uint8* out) {
    if (mLeft < 1) {
        return false;
    }
    *out = mData[0];
    return Skip(1);
}

bool Bytes::U16(uint16* out) {
    if (mLeft < 2) {
        return false;
    }
    *out = static_cast<uint16>(mData[0] << 8 | mData[1]);
    return Skip(2);
}

bool Bytes::U32(uint32* out) {
    if (mLeft < 4) {
        return false;
    }
    *out = uint32(mData[0]) << 24 | uint32(mData[1]) << 16 | uint32(mData[2]) << 8 | mData[3];
    return Skip(4);
}

bool Bytes::F32(float* out) {
    uint32 bits;
    if (!U32(&bits)) {
        return false;
    }
    std::memcpy(out, &bits, sizeof bits);
    return true;
}

bool Bytes::VX(uint32* out) {
    if (mLeft >= 1 && mData[0] == 0xFF) {
        uint32 wide;
        if (!U32(&wide)) {
            return false;
        }
        *out = wide & 0x00FFFFFF;
        return true;
    }
    uint16 narrow;
    if (!U16(&narrow)) {
        return false;
    }
    *out = narrow;
    return true;
}

bool Bytes::Name(std::string* out) {
    const void* end = std::memchr(mData, 0, mLeft);
    if (end == nullptr) {
        return false;
    }
    const size_t length = static_cast<const uint8*>(end) - mData;
    // Names become material names, which hold 255 bytes at most.
    out->assign(reinterpret_cast<const char*>(mData), std::min<size_t>(length, 255));
    // The terminator, then the pad byte that keeps the name's length even, when there is one:
    // some writers leave it out at the end of a chunk.
    Skip(length + 1);
    if (length % 2 == 0) {
        Skip(1);
    }
    return true;
}

bool Bytes::Split(size_t count, Bytes* out) {
    if (count > mLeft) {
        return false;
    }
    *out = Bytes(mData, count);
    return Skip(count);
}

// --- Shared chunks

std::string IdText(uint32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>(id >> shift & 0xFF);
        text += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return text;
}

bool ReadPoints(Bytes chunk, Model* model, std::string* error) {
    const size_t count = chunk.Left() / 12;
    const size_t before = model->vertices.size() / 3;
    if (before + count > size_t(YK3DObject::kMaxVertices)) {
        *error =
            "LightWave object: more than " + std::to_string(YK3DObject::kMaxVertices) + " points";
        return false;
    }
    model->vertices.reserve(model->vertices.size() + count * 3);
    for (size_t i = 0; i < count * 3; ++i) {
        float value;
        chunk.F32(&value);
        // An infinite or undefined coordinate would poison the scale of the whole model.
        if (!std::isfinite(value)) {
            *error = "LightWave object: point " + std::to_string(before + i / 3) +
                     " has a coordinate that is not a finite number";
            return false;
        }
        model->vertices.push_back(value);
    }
    return true;
}

bool AddFaceVertices(size_t count, Model* model, std::string* error) {
    if (count > size_t(YK3DObject::kMaxFaceVertices) - model->faceVertices) {
        *error = "LightWave object: more than " + std::to_string(YK3DObject::kMaxFaceVertices) +
                 " polygon corners";
        return false;
    }
    model->faceVertices += count;
    return true;
}

int32 DefaultMaterial(Model* model, int32* index) {
    if (*index < 0) {
        YK3DMaterial material;
        material.name = "Default";
        model->materials.push_back(material);
        *index = static_cast<int32>(model->materials.size() - 1);
    }
    return *index;
}

}  // namespace yk_lightwave
