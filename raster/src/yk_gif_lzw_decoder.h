#pragma once

// The LZW decoder of GIF image data. It works on one image's data sub-blocks joined into one
// buffer and hands the indices out in pieces of any size (a row at a time), so no image-sized
// index buffer is needed. Each table entry keeps its last two indices and the entry two links
// up its chain, so a string is written back to front two indices per step straight into the
// output; its length and first index are kept too, so skipped strings cost nothing per pixel.

#include "yk_types.h"

class YKGifLzwDecoder {
public:
    // Bytes after the data that must be readable (their values do not matter): codes are
    // fetched four bytes at a time.
    static constexpr int32 kPadding = 4;

    YKGifLzwDecoder() = default;
    YKGifLzwDecoder(const YKGifLzwDecoder&) = delete;
    YKGifLzwDecoder& operator=(const YKGifLzwDecoder&) = delete;

    // Starts an image whose joined data is data[0, length), followed by kPadding readable bytes.
    // A minimum code size outside 1..8 yields no indices.
    void Begin(const uint8* data, int64 length, int32 minCodeSize);
    // The next `count` indices, written to `out` or skipped when out is null. Returns how many
    // came: fewer than asked only once the data has ended (end code, no more codes, or a code
    // that no table could hold).
    int32 Read(uint8* out, int32 count);

    // What was wrong with the data so far; the first fault found is kept.
    enum class Fault { kNone, kCodePastTable, kOutOfData };
    Fault DataFault() const { return mFault; }

private:
    static constexpr int32 kMaxBits = 12;
    static constexpr int32 kMaxCodes = 1 << kMaxBits;

    // Faults are rare, so noting one straight in the member costs nothing in the loop.
    void Note(Fault fault) {
        if (mFault == Fault::kNone) {
            mFault = fault;
        }
    }
    // The string of `code`, `length` indices, ending just before `end`.
    void WriteString(int32 code, int32 length, uint8* end) const;

    // Per code: the last two indices of its string (the last in the high byte; a single
    // index's own entry holds it there too) and, above them, the code two links up.
    uint32 mLink[kMaxCodes];
    uint16 mPrefix[kMaxCodes];
    uint16 mLength[kMaxCodes];
    uint8 mFirst[kMaxCodes];
    // The part of a string that did not fit into the last Read.
    uint8 mPending[kMaxCodes];
    int32 mPendingAt = 0;
    int32 mPendingEnd = 0;

    const uint8* mData = nullptr;
    int64 mBitPosition = 0;
    int64 mBitLength = 0;
    int32 mMinCodeSize = 0;
    int32 mClearCode = 0;
    int32 mCodeSize = 0;
    int32 mNextFree = 0;
    // The code before, or -1 at the start and after a clear code.
    int32 mPrevious = -1;
    bool mEnded = true;
    Fault mFault = Fault::kNone;
};
