#pragma once

// YKBinFile: YKBinInterface over a C stdio stream.

#include <cstdio>

#include "YKBinInterface.h"

class YKBinFile : public YKBinInterface {
public:
    YKBinFile() = default;

    using YKBinInterface::Open;
    // Fails for a null path or a mode other than read, write or read-write; closes any open
    // file first.
    bool Open(const char* path, EYKBinOpenMode mode) override;
    bool Close() override;
    void Rewind() override;
    bool Seek(int32 offset, EYKBinSeekMode mode) override;
    int64 Tell() override;
    bool Eof() override;
    int64 Size() override;
    // Reading a file opened only for writing, or writing one opened only for reading, fails
    // without touching it.
    bool Read(char* buffer, int32 length) override;
    bool Write(const char* buffer, int32 length) override;
    void PrintToStream(const char* label) override;
    ~YKBinFile() override;

    // The mode the file was opened with; YK_BIN_CLOSED while closed or after a failed open.
    EYKBinOpenMode OpenMode() const { return mMode; }

private:
    EYKBinOpenMode mMode = YK_BIN_CLOSED;
    FILE* mFile = nullptr;
};
