#include "yk_gif_lzw_encoder.h"

#include <algorithm>
#include <cstring>

#include "YKBinInterface.h"

// The hash index is (c << kHashShift) ^ prefix: the shift is 8 minus the doublings that take the
// table size to at least 65536, so every index stays below kHashSize.
static constexpr int32 kHashShift = 4;

bool YKGifLzwEncoder::Encode(const uint8* indices, int64 count, int32 minCodeSize,
                             YKBinInterface& out) {
    mOut = &out;
    mWritten = out.Write8(static_cast<uint8>(minCodeSize));
    mStageCount = 0;
    const int32 clearCode = 1 << minCodeSize;
    const int32 initialBits = minCodeSize + 1;
    const uint32 indexMask = static_cast<uint32>(clearCode - 1);

    // The coder's state lives in locals: stores of code bytes could otherwise alias it and force
    // it back to memory after every code.
    int32 nextCode = clearCode + 2;
    int32 bits = initialBits;
    int32 maxCode = (1 << bits) - 1;
    bool clearFlag = false;
    uint64 accumulator = 0;
    int32 accumulatedBits = 0;
    int32 staged = 0;

    // Codes are packed least significant bit first, 32 bits at a time into the stage.
    const auto output = [&](int32 code) {
        accumulator |= static_cast<uint64>(code) << accumulatedBits;
        accumulatedBits += bits;
        if (accumulatedBits >= 32) {
            const uint32 word = static_cast<uint32>(accumulator);
            const uint8 bytes[4] = {static_cast<uint8>(word), static_cast<uint8>(word >> 8),
                                    static_cast<uint8>(word >> 16), static_cast<uint8>(word >> 24)};
            std::memcpy(mStage + staged, bytes, 4);
            staged += 4;
            accumulator >>= 32;
            accumulatedBits -= 32;
            if (staged >= kStageSize) {
                mStageCount = staged;
                FlushPackets(false);
                staged = mStageCount;
            }
        }
        // The code width changes only between codes, in step with the decoder's table.
        if (clearFlag) {
            bits = initialBits;
            maxCode = (1 << bits) - 1;
            clearFlag = false;
        } else if (nextCode > maxCode) {
            ++bits;
            maxCode = bits == kMaxBits ? kMaxCodes : (1 << bits) - 1;
        }
    };

    ClearHash();
    output(clearCode);
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
            output(prefix);
            prefix = c;
            if (nextCode < kMaxCodes) {
                mCodes[slot] = static_cast<uint16>(nextCode++);
                mKeys[slot] = key;
            } else {
                // The table is full: empty it, and the clear code tells the decoder to do so too.
                ClearHash();
                nextCode = clearCode + 2;
                clearFlag = true;
                output(clearCode);
            }
        }
        output(prefix);
    }
    output(clearCode + 1);
    // Fewer than 32 bits are left.
    for (; accumulatedBits > 0; accumulatedBits -= 8) {
        mStage[staged++] = static_cast<uint8>(accumulator);
        accumulator >>= 8;
    }
    mStageCount = staged;
    FlushPackets(true);
    mWritten = out.Write8(0) && mWritten;
    mOut = nullptr;
    return mWritten;
}

void YKGifLzwEncoder::ClearHash() {
    std::fill(mKeys, mKeys + kHashSize, -1);
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
    mWritten =
        mOut->Write(reinterpret_cast<const char*>(mPackets), static_cast<int32>(out - mPackets)) &&
        mWritten;
    // The bytes of the packet not yet full move to the front.
    const int32 done = std::min(mStageCount, packets * kPacketSize);
    std::memmove(mStage, mStage + done, static_cast<std::size_t>(mStageCount - done));
    mStageCount -= done;
}
