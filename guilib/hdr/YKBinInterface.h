#pragma once

// YKBinInterface: an abstract byte stream with typed little- and big-endian reads and writes.
// Every typed accessor goes through the virtual Read and Write, so a subclass only supplies the
// raw operations.

#include <filesystem>

#include "yk_types.h"

// How a stream is opened. The numbers are printed by PrintToStream, so they stay fixed.
enum EYKBinOpenMode : int32 {
    YK_BIN_READ_ONLY = 0,   // "rb"
    YK_BIN_WRITE_ONLY = 1,  // "wb", truncates
    YK_BIN_READ_WRITE = 2,  // "w+b", truncates
    YK_BIN_CLOSED = 3,      // closed or in error
};

// Where a seek counts from: the values of fseek's SEEK_SET, SEEK_CUR and SEEK_END.
enum EYKBinSeekMode : int32 {
    YK_BIN_SEEK_SET = 0,
    YK_BIN_SEEK_CUR = 1,
    YK_BIN_SEEK_END = 2,
};

class YKBinInterface {
public:
    YKBinInterface() = default;
    YKBinInterface(const YKBinInterface&) = delete;
    YKBinInterface& operator=(const YKBinInterface&) = delete;

    // --- Raw operations
    virtual bool Open(const char* path, EYKBinOpenMode mode) = 0;
    // Calls Open(const char*, mode) with the path's string.
    virtual bool Open(const std::filesystem::path& path, EYKBinOpenMode mode);
    // True when nothing was open or everything was flushed and closed cleanly.
    virtual bool Close() = 0;
    virtual void Rewind() = 0;
    virtual bool Seek(int32 offset, EYKBinSeekMode mode) = 0;
    // The position, or -1 when closed.
    virtual int64 Tell() = 0;
    // True when closed or at the end.
    virtual bool Eof() = 0;
    // The size in bytes, or -1 when closed; the position is kept.
    virtual int64 Size() = 0;
    // True only when all `length` bytes were read or written.
    virtual bool Read(char* buffer, int32 length) = 0;
    virtual bool Write(const char* buffer, int32 length) = 0;
    virtual void PrintToStream(const char* label);
    virtual ~YKBinInterface() = default;

    // --- Typed accessors. Read... return the value, zero when the read fails; ReadCheck...
    //     store into `value` only when every byte came and say whether it did.
    uint8 Read8();
    bool ReadCheck8(uint8& value);
    bool Write8(uint8 value);

    uint16 Read16LE();
    uint16 Read16BE();
    bool ReadCheck16LE(uint16& value);
    bool ReadCheck16BE(uint16& value);
    bool Write16LE(uint16 value);
    bool Write16BE(uint16 value);

    uint32 Read32LE();
    uint32 Read32BE();
    bool ReadCheck32LE(uint32& value);
    bool ReadCheck32BE(uint32& value);
    bool Write32LE(uint32 value);
    bool Write32BE(uint32 value);

    // IEEE single precision.
    float ReadFloatLE();
    float ReadFloatBE();
    bool ReadCheckFloatLE(float& value);
    bool ReadCheckFloatBE(float& value);
    bool WriteFloatLE(float value);
    bool WriteFloatBE(float value);

private:
    template <typename T>
    bool ReadOrdered(T& value, bool bigEndian);
    template <typename T>
    bool WriteOrdered(T value, bool bigEndian);
};
