#include "yk_gif_lzw_decoder.h"

#include <algorithm>
#include <cstring>

namespace {

// The code size after a clear. With one-bit indices the first free code already needs a wider
// code.
int32 FirstCodeSize(int32 minCodeSize) {
    return minCodeSize == 1 ? 3 : minCodeSize + 1;
}

}  // namespace

void YKGifLzwDecoder::Begin(const uint8* data, int64 length, int32 minCodeSize) {
    mData = data;
    mBitPosition = 0;
    mBitLength = length * 8;
    mPendingAt = 0;
    mPendingEnd = 0;
    mPrevious = -1;
    mFault = Fault::kNone;
    mEnded = minCodeSize < 1 || minCodeSize > 8;
    if (mEnded) {
        return;
    }
    mMinCodeSize = minCodeSize;
    mClearCode = 1 << minCodeSize;
    for (int32 code = 0; code < mClearCode; ++code) {
        mLink[code] = static_cast<uint32>(code) << 8;
        mPrefix[code] = 0;
        mFirst[code] = static_cast<uint8>(code);
        mLength[code] = 1;
    }
    mCodeSize = FirstCodeSize(minCodeSize);
    mNextFree = mClearCode + 2;
}

void YKGifLzwDecoder::WriteString(int32 code, int32 length, uint8* end) const {
    // Two indices per link walked; the chain is the only dependency, so halving it is what
    // counts.
    while (length > 2) {
        const uint32 link = mLink[code];
        end -= 2;
        end[0] = static_cast<uint8>(link);
        end[1] = static_cast<uint8>(link >> 8);
        code = static_cast<int32>(link >> 16);
        length -= 2;
    }
    if (length == 2) {
        end[-2] = static_cast<uint8>(mLink[code]);
        end[-1] = static_cast<uint8>(mLink[code] >> 8);
    } else {
        end[-1] = static_cast<uint8>(code);
    }
}

int32 YKGifLzwDecoder::Read(uint8* out, int32 count) {
    int32 produced = std::min(count, mPendingEnd - mPendingAt);
    if (produced > 0 && out != nullptr) {
        std::memcpy(out, mPending + mPendingAt, static_cast<std::size_t>(produced));
    }
    mPendingAt += produced;

    // The state lives in locals while decoding: stores through `out` could otherwise alias it
    // and force it back to memory after every index.
    const uint8* const data = mData;
    const int64 bitLength = mBitLength;
    const int32 clear = mClearCode;
    int64 bitPosition = mBitPosition;
    int32 codeSize = mCodeSize;
    int32 nextFree = mNextFree;
    int32 previous = mPrevious;
    bool ended = mEnded;

    while (produced < count && !ended) {
        if (bitPosition + codeSize > bitLength) {
            ended = true;
            Note(Fault::kOutOfData);
            break;
        }
        uint32 bits;
        std::memcpy(&bits, data + (bitPosition >> 3), sizeof bits);
        int32 code = static_cast<int32>((bits >> (bitPosition & 7)) & ((1u << codeSize) - 1));
        bitPosition += codeSize;

        if (static_cast<uint32>(code - clear) < 2) {
            if (code != clear) {
                ended = true;
                break;
            }
            codeSize = FirstCodeSize(mMinCodeSize);
            nextFree = clear + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            // Only a single index can follow a clear: the table holds nothing else yet.
            if (code >= clear) {
                ended = true;
                Note(Fault::kCodePastTable);
                break;
            }
        } else if (nextFree < kMaxCodes) {
            // A code not in the table yet can only be the entry being made: the previous string
            // and its own first index. Any larger code is read as that entry too. A full table
            // stays as it is until the encoder clears it.
            const bool known = code < nextFree;
            if (code > nextFree) {
                Note(Fault::kCodePastTable);
            }
            const uint8 last = mFirst[known ? code : previous];
            mLink[nextFree] =
                (mLink[previous] >> 8 & 0xFF) | uint32{last} << 8 | uint32{mPrefix[previous]} << 16;
            mPrefix[nextFree] = static_cast<uint16>(previous);
            mFirst[nextFree] = mFirst[previous];
            mLength[nextFree] = static_cast<uint16>(mLength[previous] + 1);
            if (!known) {
                code = nextFree;
            }
            ++nextFree;
            if (nextFree == (1 << codeSize) && codeSize < kMaxBits) {
                ++codeSize;
            }
        }
        previous = code;

        const int32 length = mLength[code];
        if (length <= count - produced) {
            if (out != nullptr) {
                WriteString(code, length, out + produced + length);
            }
            produced += length;
        } else {
            // The string runs past this piece: keep the rest for the next one.
            WriteString(code, length, mPending + length);
            const int32 part = count - produced;
            if (out != nullptr) {
                std::memcpy(out + produced, mPending, static_cast<std::size_t>(part));
            }
            produced = count;
            mPendingAt = part;
            mPendingEnd = length;
        }
    }

    mBitPosition = bitPosition;
    mCodeSize = codeSize;
    mNextFree = nextFree;
    mPrevious = previous;
    mEnded = ended;
    return produced;
}
