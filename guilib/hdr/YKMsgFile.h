#pragma once

// YKMsgFile: a file of archived messages. A 16-byte header (signature "gRvk", version, flags,
// message count, each a big-endian 32-bit word) is followed by one record per message:
//   plain      : n (high bit clear), then the n flattened bytes
//   compressed : (c + 4) | 0x80000000, n, then the c bytes zlib's compress made of them
// The count is rewritten after every record, so a file cut short after any complete record is
// still a valid file of the records before the cut.

#include <cstdint>
#include <memory>

#include "YKBinFile.h"
#include "yk_types.h"

class YKMessage;

class YKMsgFile : public YKBinFile {
public:
    static constexpr uint32 kSignature = 'gRvk';
    static constexpr uint32 kVersion = 101;
    // Flags word: the low five bits mark the format, 0x20 says the writer was packing.
    static constexpr uint32 kFormatFlags = 0x11;
    static constexpr uint32 kFormatMask = 0x1F;
    static constexpr uint32 kPackedFlag = 0x20;
    static constexpr uint32 kCompressedRecord = 0x80000000;
    // Largest flattened message the file writes or reads back; a record claiming more is
    // refused before anything is allocated for it. It is the most a record's length word can
    // say, so a document holding the largest image there is (1 GiB) can still be saved.
    static constexpr int64 kMaxMessageSize = INT32_MAX;
    // deflate cannot expand data by more than about 1032:1; a compressed record claiming a
    // larger ratio is corrupt or hostile.
    static constexpr int64 kMaxExpansion = 1032;
    static constexpr int64 kExpansionSlack = 64;

    YKMsgFile();
    ~YKMsgFile() override;

    using YKBinFile::Open;
    // Only read (which checks the header) and write (which writes it) are accepted.
    bool Open(const char* path, EYKBinOpenMode mode) override;
    bool Close() override;

    // Appends one record and updates the count in the header.
    bool PutMessage(const YKMessage* message);
    // Reads the next record into the message. A failed read leaves the position and the
    // current index where they were.
    bool GetMessage(YKMessage* message);
    // Reads the record with the 0-based index; afterwards the current index is index + 1.
    bool GetMessage(YKMessage* message, int32 index);

    // The header words as written or as read (kept after a refused header, for diagnosis).
    uint32 Signature() const { return mSignature; }
    uint32 Version() const { return mVersion; }
    uint32 Flags() const { return mEndianFlags; }
    // The message count of the header.
    int32 CountMessages() const;
    // Records written so far, or records read so far.
    int32 CurrentMsgIndex() const { return mCurrentIndex; }
    bool IsPacked() const { return mPacked; }
    // Whether records are compressed when that pays; takes effect at the next Open for
    // writing, whose header records it.
    void SetPacked(bool packed) { mPacked = packed; }
    // The file offset of the record the next GetMessage reads (or PutMessage writes); -1 when
    // closed. Tells a dump where a damaged record starts.
    int64 CurrentRecordOffset();

    void PrintToStream(const char* label) override;

private:
    bool WriteHeader();
    bool ReadHeader();
    bool WriteRecord(const YKMessage* message);
    bool UpdateCount();
    bool ReadRecord(YKMessage* message);
    bool ReadFlattened(std::shared_ptr<char[]>& flat, int64& size);
    bool SkipRecords(int32 count);
    bool SeekTo(int64 position);

    int32 mMsgMode;
    uint32 mSignature;
    uint32 mVersion;
    uint32 mEndianFlags;
    uint32 mMsgCount;
    int32 mFirstMsgPos;
    int32 mCurrentIndex;
    bool mPacked;
    // Size of the file being read, taken when it was opened; bounds every record length.
    int64 mFileSize;
};
