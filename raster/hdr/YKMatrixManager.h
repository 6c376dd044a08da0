#pragma once

// YKMatrixManager: a sparse store of 64 x 64-pixel blocks addressed by (block column, block
// row). Blocks are made on first write, cleared to 0. Every store registers itself in one
// process-wide list so the memory of all of them can be counted.

#include <atomic>
#include <unordered_map>

#include "YKList.h"
#include "YKPoint.h"
#include "yk_color_space.h"
#include "yk_types.h"

class YKMatrixManager {
public:
    static constexpr int32 kBlockSize = 64;
    static constexpr int32 kBlockShift = 6;
    static constexpr int32 kBlockMask = 63;

    explicit YKMatrixManager(yk_color_space space = YK_RGBA_COLOR_SPACE);
    // A deep copy: every block is duplicated.
    YKMatrixManager(const YKMatrixManager& other);
    YKMatrixManager& operator=(const YKMatrixManager& other);
    virtual ~YKMatrixManager();

    // The block's memory (64 rows of BytesPerBlockRow() bytes). A missing block is made and
    // cleared when `create` is true, else null is returned. Null also when allocation fails.
    uint8* Get(int32 column, int32 row, bool create);
    const uint8* Get(int32 column, int32 row) const;
    // Frees one block (nothing when it does not exist).
    void Clr(int32 column, int32 row);
    // Frees every block.
    void ClrAll();
    // The number of blocks.
    int32 Stat() const { return mBlockCount.load(std::memory_order_relaxed); }
    // Frees the blocks when the pixel size changes.
    void SetColorSpace(yk_color_space space);
    yk_color_space ColorSpace() const { return mColorSpace; }
    int32 BytesPerBlockRow() const { return mBytesPerBlockRow; }
    int32 BytesPerPixel() const { return mBytesPerPixel; }
    void Flush() {}

    // The keys of the blocks, at the same index as BlockAt().
    YKPoint<int32> KeyAt(int32 index) const { return mKeys.ItemAt(index); }
    uint8* BlockAt(int32 index) const { return mBlocks.ItemAt(index); }

private:
    static uint64 Pack(int32 column, int32 row) {
        return (static_cast<uint64>(static_cast<uint32>(column)) << 32) | static_cast<uint32>(row);
    }
    void CopyBlocks(const YKMatrixManager& other);
    int32 BlockBytes() const { return mBytesPerBlockRow * kBlockSize; }

    YKList<uint8*> mBlocks{16, false};
    YKList<YKPoint<int32>> mKeys{16, false};
    // Finds a block's index without walking the lists.
    std::unordered_map<uint64, int32> mIndex;
    // Changes whenever blocks may be freed (see Get).
    uint64 mIdentity = NewIdentity();
    static uint64 NewIdentity();
    yk_color_space mColorSpace;
    int32 mBytesPerBlockRow;
    int32 mBytesPerPixel;
    // The block count again, for the memory statistics that read it from other threads.
    std::atomic<int32> mBlockCount{0};
};

// Total blocks of all stores x 16384 bytes.
int64 yk_matrixmanager_statmemory();
// Walks the registered stores; blocks are freed by their owners, so there is nothing to collect.
void yk_matrixmanager_garbagecollector();
