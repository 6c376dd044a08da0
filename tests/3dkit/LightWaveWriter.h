#pragma once

// Builds LightWave object files in memory: big-endian values, padded names and chunks with
// 32-bit (file) or 16-bit (surface) sizes.

#include <cstring>
#include <string>
#include <vector>

#include "yk_types.h"

class LightWaveWriter {
public:
    LightWaveWriter& Id(const char* id) { return Raw(id, 4); }
    LightWaveWriter& U16(uint32 value) { return Byte(value >> 8).Byte(value); }
    LightWaveWriter& U32(uint32 value) { return U16(value >> 16).U16(value & 0xFFFF); }
    LightWaveWriter& F32(float value) {
        uint32 bits;
        std::memcpy(&bits, &value, 4);
        return U32(bits);
    }
    LightWaveWriter& Point(float x, float y, float z) { return F32(x).F32(y).F32(z); }
    // A zero-terminated name, padded to even length.
    LightWaveWriter& Name(const std::string& name) {
        Raw(name.data(), name.size()).Byte(0);
        return name.size() % 2 == 0 ? Byte(0) : *this;
    }
    LightWaveWriter& Chunk(const char* id, const LightWaveWriter& body) {
        return Id(id).U32(uint32(body.bytes.size())).Body(body);
    }
    LightWaveWriter& SubChunk(const char* id, const LightWaveWriter& body) {
        return Id(id).U16(uint32(body.bytes.size())).Body(body);
    }
    // The whole file: FORM, its size and `type`, then the chunks written so far.
    std::vector<uint8> Form(const char* type) const {
        LightWaveWriter form;
        form.Id("FORM").U32(uint32(bytes.size() + 4)).Id(type).Raw(bytes.data(), bytes.size());
        return form.bytes;
    }

    std::vector<uint8> bytes;

private:
    LightWaveWriter& Byte(uint32 value) {
        bytes.push_back(uint8(value));
        return *this;
    }
    LightWaveWriter& Raw(const void* data, size_t size) {
        const auto* p = static_cast<const uint8*>(data);
        bytes.insert(bytes.end(), p, p + size);
        return *this;
    }
    LightWaveWriter& Body(const LightWaveWriter& body) {
        Raw(body.bytes.data(), body.bytes.size());
        return body.bytes.size() % 2 != 0 ? Byte(0) : *this;
    }
};
