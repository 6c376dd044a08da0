#include "YKBinInterface.h"

#include <bit>
#include <cstdio>
#include <cstring>

#include "YKGeneric.h"

bool YKBinInterface::Open(const std::filesystem::path& path, EYKBinOpenMode mode) {
    return Open(path.c_str(), mode);
}

void YKBinInterface::PrintToStream(const char* label) {
    std::printf("YKBinInterface %s\n", label != nullptr ? label : "");
}

// --- Byte order

// Values travel through a byte buffer so that a failed read never touches the caller's value.
template <typename T>
bool YKBinInterface::ReadOrdered(T& value, bool bigEndian) {
    char bytes[sizeof(T)];
    if (!Read(bytes, sizeof(T))) {
        return false;
    }
    T read;
    std::memcpy(&read, bytes, sizeof(T));
    if (bigEndian == (std::endian::native == std::endian::little)) {
        CHANGEENDIAN(read);
    }
    value = read;
    return true;
}

template <typename T>
bool YKBinInterface::WriteOrdered(T value, bool bigEndian) {
    if (bigEndian == (std::endian::native == std::endian::little)) {
        CHANGEENDIAN(value);
    }
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    return Write(bytes, sizeof(T));
}

// --- 8 bits

uint8 YKBinInterface::Read8() {
    uint8 value = 0;
    ReadCheck8(value);
    return value;
}

bool YKBinInterface::ReadCheck8(uint8& value) {
    char byte;
    if (!Read(&byte, 1)) {
        return false;
    }
    value = static_cast<uint8>(byte);
    return true;
}

bool YKBinInterface::Write8(uint8 value) {
    const char byte = static_cast<char>(value);
    return Write(&byte, 1);
}

// --- 16 bits

uint16 YKBinInterface::Read16LE() {
    uint16 value = 0;
    ReadOrdered(value, false);
    return value;
}

uint16 YKBinInterface::Read16BE() {
    uint16 value = 0;
    ReadOrdered(value, true);
    return value;
}

bool YKBinInterface::ReadCheck16LE(uint16& value) {
    return ReadOrdered(value, false);
}
bool YKBinInterface::ReadCheck16BE(uint16& value) {
    return ReadOrdered(value, true);
}
bool YKBinInterface::Write16LE(uint16 value) {
    return WriteOrdered(value, false);
}
bool YKBinInterface::Write16BE(uint16 value) {
    return WriteOrdered(value, true);
}

// --- 32 bits

uint32 YKBinInterface::Read32LE() {
    uint32 value = 0;
    ReadOrdered(value, false);
    return value;
}

uint32 YKBinInterface::Read32BE() {
    uint32 value = 0;
    ReadOrdered(value, true);
    return value;
}

bool YKBinInterface::ReadCheck32LE(uint32& value) {
    return ReadOrdered(value, false);
}
bool YKBinInterface::ReadCheck32BE(uint32& value) {
    return ReadOrdered(value, true);
}
bool YKBinInterface::Write32LE(uint32 value) {
    return WriteOrdered(value, false);
}
bool YKBinInterface::Write32BE(uint32 value) {
    return WriteOrdered(value, true);
}

// --- Floats: swapped as their bit pattern, so that no byte-reversed value ever sits in a float.

float YKBinInterface::ReadFloatLE() {
    float value = 0.0f;
    ReadCheckFloatLE(value);
    return value;
}

float YKBinInterface::ReadFloatBE() {
    float value = 0.0f;
    ReadCheckFloatBE(value);
    return value;
}

bool YKBinInterface::ReadCheckFloatLE(float& value) {
    uint32 bits;
    if (!ReadOrdered(bits, false)) {
        return false;
    }
    value = std::bit_cast<float>(bits);
    return true;
}

bool YKBinInterface::ReadCheckFloatBE(float& value) {
    uint32 bits;
    if (!ReadOrdered(bits, true)) {
        return false;
    }
    value = std::bit_cast<float>(bits);
    return true;
}

bool YKBinInterface::WriteFloatLE(float value) {
    return WriteOrdered(std::bit_cast<uint32>(value), false);
}

bool YKBinInterface::WriteFloatBE(float value) {
    return WriteOrdered(std::bit_cast<uint32>(value), true);
}
