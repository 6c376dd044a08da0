#include "YKMsgFile.h"

#include <zlib.h>

#include <climits>
#include <new>

#include "YKMessage.h"

// Section index: open and close -- header -- writing records -- reading records -- printing.

namespace {

constexpr uint32 kLengthMask = 0x7FFFFFFF;

}  // namespace

YKMsgFile::YKMsgFile()
    : mMsgMode(YK_BIN_CLOSED),
      mSignature(0),
      mVersion(0),
      mEndianFlags(0),
      mMsgCount(0),
      mFirstMsgPos(0),
      mCurrentIndex(0),
      mPacked(true),
      mFileSize(0) {}

YKMsgFile::~YKMsgFile() {
    YKMsgFile::Close();
}

// --- Open and close

bool YKMsgFile::Open(const char* path, EYKBinOpenMode mode) {
    if (path == nullptr || (mode != YK_BIN_READ_ONLY && mode != YK_BIN_WRITE_ONLY)) {
        return false;
    }
    Close();
    if (!YKBinFile::Open(path, mode)) {
        return false;
    }
    mMsgMode = mode;
    const bool headerOk = mode == YK_BIN_WRITE_ONLY ? WriteHeader() : ReadHeader();
    if (!headerOk) {
        Close();
        return false;
    }
    return true;
}

bool YKMsgFile::Close() {
    const bool ok = YKBinFile::Close();
    mMsgMode = YK_BIN_CLOSED;
    mMsgCount = 0;
    mFirstMsgPos = 0;
    mCurrentIndex = 0;
    mFileSize = 0;
    return ok;
}

int32 YKMsgFile::CountMessages() const {
    return mMsgCount > static_cast<uint32>(INT32_MAX) ? INT32_MAX : static_cast<int32>(mMsgCount);
}

int64 YKMsgFile::CurrentRecordOffset() {
    return mMsgMode == YK_BIN_CLOSED ? -1 : Tell();
}

// Seek takes a 32-bit offset; positions past 2 GiB are reached in steps.
bool YKMsgFile::SeekTo(int64 position) {
    if (position < 0) {
        return false;
    }
    if (position <= INT32_MAX) {
        return Seek(static_cast<int32>(position), YK_BIN_SEEK_SET);
    }
    if (!Seek(0, YK_BIN_SEEK_SET)) {
        return false;
    }
    while (position > 0) {
        const int64 step = position < INT32_MAX ? position : INT32_MAX;
        if (!Seek(static_cast<int32>(step), YK_BIN_SEEK_CUR)) {
            return false;
        }
        position -= step;
    }
    return true;
}

// --- Header

bool YKMsgFile::WriteHeader() {
    mSignature = kSignature;
    mVersion = kVersion;
    mEndianFlags = kFormatFlags | (mPacked ? kPackedFlag : 0);
    mMsgCount = 0;
    if (!Write32BE(mSignature) || !Write32BE(mVersion) || !Write32BE(mEndianFlags) ||
        !Write32BE(mMsgCount)) {
        return false;
    }
    const int64 position = Tell();
    if (position <= 0 || position > INT32_MAX) {
        return false;
    }
    mFirstMsgPos = static_cast<int32>(position);
    return true;
}

bool YKMsgFile::ReadHeader() {
    if (!ReadCheck32BE(mSignature) || !ReadCheck32BE(mVersion) || !ReadCheck32BE(mEndianFlags) ||
        !ReadCheck32BE(mMsgCount)) {
        return false;
    }
    const int64 position = Tell();
    mFileSize = Size();
    if (position <= 0 || position > INT32_MAX || mFileSize < position) {
        return false;
    }
    mFirstMsgPos = static_cast<int32>(position);
    if (mSignature != kSignature || mVersion < 1 || mVersion > kVersion ||
        (mEndianFlags & kFormatMask) != kFormatFlags) {
        return false;
    }
    mPacked = (mEndianFlags & kPackedFlag) != 0;
    return true;
}

// --- Writing records

bool YKMsgFile::PutMessage(const YKMessage* message) {
    if (mMsgMode != YK_BIN_WRITE_ONLY || message == nullptr) {
        return false;
    }
    const int64 recordStart = Tell();
    if (recordStart < 0) {
        return false;
    }
    if (!WriteRecord(message)) {
        // The next record starts where this one did, so no half record sits before it.
        SeekTo(recordStart);
        return false;
    }
    ++mCurrentIndex;
    return UpdateCount();
}

bool YKMsgFile::WriteRecord(const YKMessage* message) {
    const ssize_t flattenedSize = message->FlattenedSize();
    if (flattenedSize <= 0 || flattenedSize > kMaxMessageSize) {
        return false;
    }
    std::unique_ptr<char[]> flat(new (std::nothrow) char[flattenedSize]);
    if (!flat) {
        return false;
    }
    ssize_t n = flattenedSize;
    if (!message->Flatten(flat.get(), &n) || n <= 0 || n > flattenedSize) {
        return false;
    }

    if (mPacked) {
        // Room for a fifth of the input only: compress fails on anything that shrinks less, and
        // such a record is not worth the cost of inflating it again.
        uLongf packedSize = static_cast<uLongf>(static_cast<double>(n) * 0.2 + 12.0);
        std::unique_ptr<Bytef[]> packed(new (std::nothrow) Bytef[packedSize]);
        if (packed &&
            compress(packed.get(), &packedSize, reinterpret_cast<const Bytef*>(flat.get()),
                     static_cast<uLong>(n)) == Z_OK &&
            static_cast<int64>(packedSize) + 4 < n) {
            return Write32BE(static_cast<uint32>(packedSize + 4) | kCompressedRecord) &&
                   Write32BE(static_cast<uint32>(n)) &&
                   Write(reinterpret_cast<const char*>(packed.get()),
                         static_cast<int32>(packedSize));
        }
    }
    return Write32BE(static_cast<uint32>(n)) && Write(flat.get(), static_cast<int32>(n));
}

// Seeking to the count and back also pushes the record out of the stdio buffer, so that a
// reader sees every counted record before Close.
bool YKMsgFile::UpdateCount() {
    const int64 position = Tell();
    if (position < 0) {
        return false;
    }
    if (!Seek(mFirstMsgPos - 4, YK_BIN_SEEK_SET) ||
        !Write32BE(static_cast<uint32>(mCurrentIndex))) {
        SeekTo(position);
        return false;
    }
    mMsgCount = static_cast<uint32>(mCurrentIndex);
    return SeekTo(position);
}

// --- Reading records

bool YKMsgFile::GetMessage(YKMessage* message) {
    if (mMsgMode != YK_BIN_READ_ONLY || message == nullptr || mCurrentIndex < 0 ||
        static_cast<uint32>(mCurrentIndex) >= mMsgCount) {
        return false;
    }
    return ReadRecord(message);
}

bool YKMsgFile::GetMessage(YKMessage* message, int32 index) {
    if (mMsgMode != YK_BIN_READ_ONLY || message == nullptr || index < 0 ||
        static_cast<uint32>(index) >= mMsgCount) {
        return false;
    }
    const int64 previous = Tell();
    if (!SeekTo(mFirstMsgPos) || !SkipRecords(index)) {
        SeekTo(previous);
        return false;
    }
    mCurrentIndex = index;
    return ReadRecord(message);
}

bool YKMsgFile::SkipRecords(int32 count) {
    for (int32 i = 0; i < count; ++i) {
        const int64 position = Tell();
        uint32 word;
        if (position < 0 || !ReadCheck32BE(word)) {
            return false;
        }
        const int64 length = word & kLengthMask;
        if (length == 0 || length > mFileSize - position - 4 ||
            !Seek(static_cast<int32>(length), YK_BIN_SEEK_CUR)) {
            return false;
        }
    }
    return true;
}

// Once the record's bytes are in, it counts as read even if they do not unflatten; a record
// whose bytes cannot be had leaves the file positioned at its start.
bool YKMsgFile::ReadRecord(YKMessage* message) {
    const int64 recordStart = Tell();
    std::shared_ptr<char[]> flat;
    int64 size = 0;
    if (recordStart < 0 || !ReadFlattened(flat, size)) {
        SeekTo(recordStart);
        return false;
    }
    ++mCurrentIndex;
    // The message keeps the bytes read rather than a copy of them.
    return message->Unflatten(std::move(flat), static_cast<ssize_t>(size));
}

// Every length is checked against what the file holds, and a claimed uncompressed size against
// what deflate can produce from the compressed bytes, before anything is allocated.
bool YKMsgFile::ReadFlattened(std::shared_ptr<char[]>& flat, int64& size) {
    const int64 recordStart = Tell();
    uint32 word;
    if (recordStart < 0 || !ReadCheck32BE(word)) {
        return false;
    }
    const int64 length = word & kLengthMask;
    const int64 remaining = mFileSize - recordStart - 4;
    if (length <= 0 || length > remaining) {
        return false;
    }

    if ((word & kCompressedRecord) == 0) {
        if (length > kMaxMessageSize) {
            return false;
        }
        flat.reset(new (std::nothrow) char[length], std::default_delete<char[]>());
        if (!flat || !Read(flat.get(), static_cast<int32>(length))) {
            return false;
        }
        size = length;
        return true;
    }

    const int64 packedSize = length - 4;
    uint32 sizeWord;
    if (packedSize < 1 || !ReadCheck32BE(sizeWord)) {
        return false;
    }
    const int64 n = sizeWord;
    if (n < 1 || n > kMaxMessageSize || n > packedSize * kMaxExpansion + kExpansionSlack) {
        return false;
    }
    std::unique_ptr<Bytef[]> packed(new (std::nothrow) Bytef[packedSize]);
    if (!packed || !Read(reinterpret_cast<char*>(packed.get()), static_cast<int32>(packedSize))) {
        return false;
    }
    flat.reset(new (std::nothrow) char[n], std::default_delete<char[]>());
    if (!flat) {
        return false;
    }
    uLongf unpackedSize = static_cast<uLongf>(n);
    if (uncompress(reinterpret_cast<Bytef*>(flat.get()), &unpackedSize, packed.get(),
                   static_cast<uLong>(packedSize)) != Z_OK ||
        static_cast<int64>(unpackedSize) != n) {
        flat.reset();
        return false;
    }
    size = n;
    return true;
}

// --- Printing

void YKMsgFile::PrintToStream(const char* label) {
    const char* modeText = "Error";
    if (mMsgMode == YK_BIN_READ_ONLY) {
        modeText = "Read Only";
    } else if (mMsgMode == YK_BIN_WRITE_ONLY) {
        modeText = "Write Only";
    }
    std::printf("YKMsgFile %s\n", label != nullptr ? label : "");
    std::printf("\tFile Mode %ld (%s)\n", static_cast<long>(mMsgMode), modeText);
    std::printf("\tHeader : sig %ld -- vers %ld -- endianess %ld -- nb msg %ld\n",
                static_cast<long>(mSignature), static_cast<long>(mVersion),
                static_cast<long>(mEndianFlags), static_cast<long>(mMsgCount));
    std::printf("\tFirst Msg Pos %ld -- Current Index %ld\n", static_cast<long>(mFirstMsgPos),
                static_cast<long>(mCurrentIndex));
}
