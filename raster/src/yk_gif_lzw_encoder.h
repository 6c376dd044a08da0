#pragma once

// The LZW coder of GIF image data. Strings are found in an open-addressed table of 5003 slots
// with double hashing rather than a trie, so the table is small and reset cheaply; codes leave
// least significant bit first in 254-byte sub-blocks, gathered a few dozen at a time so that the
// file is written in large pieces.

#include "yk_types.h"

class YKBinInterface;

class YKGifLzwEncoder {
public:
    YKGifLzwEncoder() = default;
    YKGifLzwEncoder(const YKGifLzwEncoder&) = delete;
    YKGifLzwEncoder& operator=(const YKGifLzwEncoder&) = delete;

    // Writes the minimum code size byte (2..8), the codes of `count` indices in sub-blocks and
    // the block terminator. Indices are taken modulo 2^minCodeSize, so a stray index cannot
    // turn into a control code. False when some write failed.
    bool Encode(const uint8* indices, int64 count, int32 minCodeSize, YKBinInterface& out);

private:
    static constexpr int32 kHashSize = 5003;
    static constexpr int32 kMaxBits = 12;
    static constexpr int32 kMaxCodes = 1 << kMaxBits;
    static constexpr int32 kPacketSize = 254;
    static constexpr int32 kPacketsPerFlush = 32;
    static constexpr int32 kStageSize = kPacketSize * kPacketsPerFlush;

    void ClearHash();
    // Writes the whole packets gathered, and with `all` the last short one too.
    void FlushPackets(bool all);

    int32 mKeys[kHashSize];
    uint16 mCodes[kHashSize];
    // Code bytes not written yet; whole 32-bit words go in, so it has room past the flush mark.
    uint8 mStage[kStageSize + 8];
    int32 mStageCount = 0;
    // The same bytes cut into sub-blocks, each behind its length byte; the last flush may add a
    // short one.
    uint8 mPackets[(kPacketSize + 1) * (kPacketsPerFlush + 1)];
    YKBinInterface* mOut = nullptr;
    bool mWritten = true;
};
