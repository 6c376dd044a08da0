#include "YKBinFile.h"

#include "yk_open_input.h"

static_assert(YK_BIN_SEEK_SET == SEEK_SET && YK_BIN_SEEK_CUR == SEEK_CUR &&
                  YK_BIN_SEEK_END == SEEK_END,
              "seek modes are passed to fseek unchanged");

YKBinFile::~YKBinFile() {
    YKBinFile::Close();
}

bool YKBinFile::Open(const char* path, EYKBinOpenMode mode) {
    const char* stdioMode = nullptr;
    switch (mode) {
        case YK_BIN_READ_ONLY:
            stdioMode = "rb";
            break;
        case YK_BIN_WRITE_ONLY:
            stdioMode = "wb";
            break;
        case YK_BIN_READ_WRITE:
            stdioMode = "w+b";
            break;
        default:
            return false;
    }
    if (path == nullptr) {
        return false;
    }
    Close();
    // Reading refuses anything but a regular file, and never waits on a FIFO without a writer.
    mFile = mode == YK_BIN_READ_ONLY ? yk_fopen_input(path) : std::fopen(path, stdioMode);
    mMode = mFile != nullptr ? mode : YK_BIN_CLOSED;
    return mFile != nullptr;
}

bool YKBinFile::Close() {
    bool ok = true;
    if (mFile != nullptr) {
        ok = std::fclose(mFile) == 0;
    }
    mFile = nullptr;
    mMode = YK_BIN_CLOSED;
    return ok;
}

void YKBinFile::Rewind() {
    if (mFile != nullptr) {
        std::rewind(mFile);
    }
}

bool YKBinFile::Seek(int32 offset, EYKBinSeekMode mode) {
    if (mFile == nullptr) {
        return false;
    }
    return std::fseek(mFile, offset, mode) == 0;
}

int64 YKBinFile::Tell() {
    if (mFile == nullptr) {
        return -1;
    }
    return std::ftell(mFile);
}

bool YKBinFile::Eof() {
    if (mFile == nullptr) {
        return true;
    }
    return std::feof(mFile) != 0;
}

int64 YKBinFile::Size() {
    if (mFile == nullptr) {
        return -1;
    }
    const long position = std::ftell(mFile);
    if (position < 0 || std::fseek(mFile, 0, SEEK_END) != 0) {
        return -1;
    }
    const long size = std::ftell(mFile);
    std::fseek(mFile, position, SEEK_SET);
    return size;
}

bool YKBinFile::Read(char* buffer, int32 length) {
    if (buffer == nullptr || length < 0 || mFile == nullptr || mMode == YK_BIN_WRITE_ONLY) {
        return false;
    }
    if (length == 1) {
        const int c = std::fgetc(mFile);
        if (c == EOF) {
            return false;
        }
        buffer[0] = static_cast<char>(c);
        return true;
    }
    return std::fread(buffer, 1, static_cast<size_t>(length), mFile) == static_cast<size_t>(length);
}

bool YKBinFile::Write(const char* buffer, int32 length) {
    if (buffer == nullptr || length < 0 || mFile == nullptr || mMode == YK_BIN_READ_ONLY) {
        return false;
    }
    return std::fwrite(buffer, 1, static_cast<size_t>(length), mFile) ==
           static_cast<size_t>(length);
}

void YKBinFile::PrintToStream(const char* label) {
    const char* modeText = "Error";
    switch (mMode) {
        case YK_BIN_READ_ONLY:
            modeText = "Read Only";
            break;
        case YK_BIN_WRITE_ONLY:
            modeText = "Write Only";
            break;
        case YK_BIN_READ_WRITE:
            modeText = "Read/Wrtie";
            break;
        default:
            break;
    }
    std::printf("YKBinFile %s -- FILE * %p\n", label != nullptr ? label : "",
                static_cast<void*>(mFile));
    std::printf("\tFile Mode %ld (%s)\n", static_cast<long>(mMode), modeText);
}
