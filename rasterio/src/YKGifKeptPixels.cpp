// Pixels a frame leaves as they are (transparent, or of the index the screen shows there already)
// may be written either way: the two look the same, and the coder compresses best the one that
// continues a string it already knows. The choice replays the coder's dictionary, which is built
// the same way from whatever indices it is given, so the strings found here are the ones it will
// find.

#include <algorithm>
#include <iterator>

#include "YKWriteGif.h"
#include "yk_gif_export_internal.h"

namespace yk_gif_export {

namespace {

constexpr int32 kMaxCodes = 4096;

// The string table of the GIF coder: codes below the clear code are single indices, the others
// (prefix code, index) pairs in order of making; full at 4096 codes, it starts again. It is
// hashed as the coder hashes it (a prime number of slots, the index above the prefix, a second
// hash walking down), which is cheap to empty and needs no allocation per string.
class StringTable {
public:
    explicit StringTable(int32 minCodeSize) : mClear(1 << minCodeSize), mNext(mClear + 2) {
        Empty();
    }

    // Takes one of two indices that look the same and returns it.
    uint8 Next(uint8 preferred, uint8 other) {
        if (mPrefix < 0) {
            mPrefix = preferred;
            return preferred;
        }
        const int32 slot = Find(preferred);
        if (mKeys[slot] >= 0) {
            mPrefix = mCodes[slot];
            return preferred;
        }
        if (other != preferred) {
            const int32 found = Find(other);
            if (mKeys[found] >= 0) {
                mPrefix = mCodes[found];
                return other;
            }
        }
        // The string ends here: the coder writes it and learns it followed by `preferred`.
        if (mNext < kMaxCodes) {
            mKeys[slot] = Key(preferred);
            mCodes[slot] = uint16(mNext++);
        } else {
            Empty();
            mNext = mClear + 2;
        }
        mPrefix = preferred;
        return preferred;
    }

private:
    static constexpr int32 kSlots = 5003;

    int32 Key(uint8 index) const { return int32{index} << 12 | mPrefix; }

    // The slot holding the string of the prefix followed by `index`, or the empty slot where it
    // would go.
    int32 Find(uint8 index) const {
        const int32 key = Key(index);
        int32 slot = int32{index} << 4 ^ mPrefix;
        const int32 step = slot == 0 ? 1 : kSlots - slot;
        while (mKeys[slot] != key && mKeys[slot] >= 0) {
            slot -= step;
            if (slot < 0) {
                slot += kSlots;
            }
        }
        return slot;
    }

    void Empty() { std::fill(std::begin(mKeys), std::end(mKeys), -1); }

    int32 mClear;
    int32 mNext;
    int32 mPrefix = -1;
    int32 mKeys[kSlots];
    uint16 mCodes[kSlots];
};

int32 BitsFor(int32 count) {
    int32 bits = 1;
    while (bits < 8 && (1 << bits) < count) {
        ++bits;
    }
    return bits;
}

// Rows in the order the coder sees them.
std::vector<int32> RowOrder(int32 height, bool interlace) {
    std::vector<int32> rows;
    if (!interlace) {
        for (int32 y = 0; y < height; ++y) {
            rows.push_back(y);
        }
        return rows;
    }
    static constexpr int32 kStart[] = {0, 4, 2, 1};
    static constexpr int32 kStep[] = {8, 8, 4, 2};
    for (int32 pass = 0; pass < 4; ++pass) {
        for (int32 y = kStart[pass]; y < height; y += kStep[pass]) {
            rows.push_back(y);
        }
    }
    return rows;
}

}  // namespace

void ChooseKeptPixels(std::vector<Frame>& frames, int32 width, int32 height,
                      const Quantizer::Cmap& cmap, bool interlace) {
    if (cmap.transparent < 0) {
        return;
    }
    const auto clear = uint8(cmap.transparent);
    const int32 minCodeSize = std::max(2, BitsFor(cmap.count));
    // The indices the screen shows, `clear` where nothing is.
    std::vector<uint8> screen(std::size_t(width) * height, clear);
    for (Frame& frame : frames) {
        StringTable table(minCodeSize);
        for (const int32 y : RowOrder(frame.height, interlace)) {
            uint8* row = frame.indices.data() + std::size_t(y) * frame.width;
            uint8* shown = screen.data() + std::size_t(frame.top + y) * width + frame.left;
            for (int32 x = 0; x < frame.width; ++x) {
                // A colour that maps to the index shown already is no change either.
                const bool kept = shown[x] != clear && (row[x] == clear || row[x] == shown[x]);
                row[x] = kept ? table.Next(clear, shown[x]) : table.Next(row[x], row[x]);
                if (row[x] != clear) {
                    shown[x] = row[x];
                }
            }
        }
        if ((frame.flags & YKWriteGif::kDisposeBackground) != 0) {
            for (int32 y = 0; y < frame.height; ++y) {
                uint8* shown = screen.data() + std::size_t(frame.top + y) * width + frame.left;
                std::fill(shown, shown + frame.width, clear);
            }
        }
    }
}

}  // namespace yk_gif_export
