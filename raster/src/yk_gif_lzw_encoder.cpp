#include "yk_gif_lzw_encoder.h"

#include <algorithm>
#include <cstring>

#include "YKBinInterface.h"

// The hash index is (c << kHashShift) ^ prefix: the shift is 8 minus the doublings that take the
// table size to at least 65536, so every index stays below kHashSize.
static constexpr int32 kHashShift = 4;

void YKGifLzwEncoder::Encode(const uint8* indices, int64 count, int32 minCodeSize,
                             YKBinInterface& out) {
    mOut = &out;
    out.Write8(static_cast<uint8>(minCodeSize));
    mInitialBits = minCodeSize + 1;
    mBits = mInitialBits;
    mMaxCode = (1 << mBits) - 1;
    mClearCode = 1 << minCodeSize;
    mNextCode = mClearCode + 2;
    mClearFlag = false;
    mAccumulator = 0;
    mAccumulatedBits = 0;
    mStageCount = 0;
    const uint32 indexMask = static_cast<uint32>(mClearCode - 1);

    ClearHash();
    Output(mClearCode);
    if (count > 0) {
        int32 prefix = static_cast<int32>(indices[0] & indexMask);
        const uint8* const end = indices + count;
        for (const uint8* pixel = indices + 1; pixel != end; ++pixel) {
            const int32 c = static_cast<int32>(*pixel & indexMask);
            const int32 key = (c << kMaxBits) + prefix;
            int32 slot = (c << kHashShift) ^ prefix;
            int32 found = mKeys[slot];
            if (found != key && found >= 0) {
                // Second hash: walk down by a step that depends on the first slot.
                const int32 step = slot == 0 ? 1 : kHashSize - slot;
                do {
                    slot -= step;
                    if (slot < 0) {
                        slot += kHashSize;
                    }
                    found = mKeys[slot];
                } while (found != key && found >= 0);
            }
            if (found == key) {
                prefix = mCodes[slot];
                continue;
            }
            Output(prefix);
            prefix = c;
            if (mNextCode < kMaxCodes) {
                mCodes[slot] = static_cast<uint16>(mNextCode++);
                mKeys[slot] = key;
            } else {
                ClearTable();
            }
        }
        Output(prefix);
    }
    Output(mClearCode + 1);
    // Output leaves fewer than 32 bits behind.
    for (; mAccumulatedBits > 0; mAccumulatedBits -= 8) {
        mStage[mStageCount++] = static_cast<uint8>(mAccumulator);
        mAccumulator >>= 8;
    }
    FlushPackets(true);
    out.Write8(0);
    mOut = nullptr;
}

void YKGifLzwEncoder::ClearHash() {
    std::fill(mKeys, mKeys + kHashSize, -1);
}

void YKGifLzwEncoder::ClearTable() {
    ClearHash();
    mNextCode = mClearCode + 2;
    mClearFlag = true;
    Output(mClearCode);
}

void YKGifLzwEncoder::Output(int32 code) {
    mAccumulator |= static_cast<uint64>(code) << mAccumulatedBits;
    mAccumulatedBits += mBits;
    if (mAccumulatedBits >= 32) {
        const uint32 word = static_cast<uint32>(mAccumulator);
        const uint8 bytes[4] = {static_cast<uint8>(word), static_cast<uint8>(word >> 8),
                                static_cast<uint8>(word >> 16), static_cast<uint8>(word >> 24)};
        std::memcpy(mStage + mStageCount, bytes, 4);
        mStageCount += 4;
        mAccumulator >>= 32;
        mAccumulatedBits -= 32;
        if (mStageCount >= kStageSize) {
            FlushPackets(false);
        }
    }
    // The code width changes only between codes, in step with the decoder's table.
    if (mClearFlag) {
        mBits = mInitialBits;
        mMaxCode = (1 << mBits) - 1;
        mClearFlag = false;
    } else if (mNextCode > mMaxCode) {
        ++mBits;
        mMaxCode = mBits == kMaxBits ? kMaxCodes : (1 << mBits) - 1;
    }
}

void YKGifLzwEncoder::FlushPackets(bool all) {
    const int32 whole = mStageCount / kPacketSize;
    const int32 packets = whole + (all && mStageCount % kPacketSize != 0 ? 1 : 0);
    uint8* out = mPackets;
    for (int32 i = 0; i < packets; ++i) {
        const int32 size = std::min(kPacketSize, mStageCount - i * kPacketSize);
        *out++ = static_cast<uint8>(size);
        std::memcpy(out, mStage + i * kPacketSize, static_cast<std::size_t>(size));
        out += size;
    }
    mOut->Write(reinterpret_cast<const char*>(mPackets), static_cast<int32>(out - mPackets));
    // The bytes of the packet not yet full move to the front.
    const int32 done = std::min(mStageCount, packets * kPacketSize);
    std::memmove(mStage, mStage + done, static_cast<std::size_t>(mStageCount - done));
    mStageCount -= done;
}
