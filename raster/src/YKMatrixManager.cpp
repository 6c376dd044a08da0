#include "YKMatrixManager.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "YKLocker.h"

// --- Registry of every store ---

namespace {

constexpr bigtime_t kRegistryTimeout = 1'000'000;
// The statistics count every block at the size of a 32-bit one.
constexpr int64 kStatBlockBytes = 16384;
// Blocks start on a cache line, which keeps row copies and merges on whole lines.
constexpr std::size_t kBlockAlignment = 64;

struct Registry {
    YKLocker lock{"YKMatrixManager registry"};
    std::unordered_set<YKMatrixManager*> stores;
};

// Never destroyed: stores with static storage duration may unregister after exit began.
Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

// A store that cannot get the lock in time stays out of (or in) the list rather than block.
void Register(YKMatrixManager* store, bool add) {
    Registry& registry = TheRegistry();
    if (!registry.lock.LockWithTimeout(kRegistryTimeout)) {
        return;
    }
    if (add) {
        registry.stores.insert(store);
    } else {
        registry.stores.erase(store);
    }
    registry.lock.Unlock();
}

}  // namespace

int64 yk_matrixmanager_statmemory() {
    Registry& registry = TheRegistry();
    if (!registry.lock.LockWithTimeout(kRegistryTimeout)) {
        return 0;
    }
    int64 blocks = 0;
    for (const YKMatrixManager* store : registry.stores) {
        blocks += store->Stat();
    }
    registry.lock.Unlock();
    return blocks * kStatBlockBytes;
}

void yk_matrixmanager_garbagecollector() {
    Registry& registry = TheRegistry();
    if (!registry.lock.LockWithTimeout(kRegistryTimeout)) {
        return;
    }
    for (YKMatrixManager* store : registry.stores) {
        store->Flush();
    }
    registry.lock.Unlock();
}

// --- Spare blocks ---

namespace {

// Layer caches and compositions are emptied and drawn again on every frame. Handed back to the
// allocator, their blocks would come back from a thread's own heap, and a thread whose heap has
// not yet grown that far (the playing thread, on its first frames) faults in every page of
// them. Freed 32-bit blocks, the only kind drawn, wait here instead for the next store that
// needs one, up to a bound.
class SpareBlocks {
public:
    static constexpr int32 kBytes = YKMatrixManager::kBlockSize * YKMatrixManager::kBlockSize * 4;
    // 32 MB: a full-HD canvas's few bitmaps of churn per frame.
    static constexpr std::size_t kMaxKept = 2048;

    uint8* Take(int32 bytes) {
        if (bytes == kBytes) {
            std::lock_guard<std::mutex> lock(mLock);
            if (!mBlocks.empty()) {
                uint8* block = mBlocks.back();
                mBlocks.pop_back();
                return block;
            }
        }
        return static_cast<uint8*>(
            std::aligned_alloc(kBlockAlignment, static_cast<std::size_t>(bytes)));
    }

    void Give(uint8* block, int32 bytes) {
        if (block != nullptr && bytes == kBytes) {
            std::lock_guard<std::mutex> lock(mLock);
            if (mBlocks.size() < kMaxKept) {
                // Reserved whole on first use, so keeping a block never allocates.
                if (mBlocks.capacity() < kMaxKept) {
                    mBlocks.reserve(kMaxKept);
                }
                mBlocks.push_back(block);
                return;
            }
        }
        std::free(block);
    }

private:
    std::mutex mLock;
    std::vector<uint8*> mBlocks;
};

// Never destroyed, like the registry.
SpareBlocks& Spares() {
    static SpareBlocks* spares = new SpareBlocks;
    return *spares;
}

uint8* AllocateBlock(int32 bytes) {
    return Spares().Take(bytes);
}

void FreeBlock(uint8* block, int32 bytes) {
    Spares().Give(block, bytes);
}

}  // namespace

// --- The last block a thread looked up ---

namespace {

// Consecutive lookups mostly ask for the blocks just asked for (row segments one after another,
// a row crossing from one block into the next), so each thread remembers its last answers, one
// per block column modulo 16 and parity of block row: a shape's row that crosses up to sixteen
// blocks (1,024 pixels) finds them all again on its next row. A store takes a new identity whenever
// blocks may be freed, which makes an older answer unusable; identities are never reused.
std::atomic<uint64> gNextIdentity{1};

struct LastBlock {
    uint64 identity = 0;
    uint64 key = 0;
    uint8* block = nullptr;
};
thread_local LastBlock tLastBlocks[32];

LastBlock& LastBlockFor(int32 column, int32 row) {
    return tLastBlocks[(column & 15) | ((row & 1) << 4)];
}

}  // namespace

uint64 YKMatrixManager::NewIdentity() {
    return gNextIdentity.fetch_add(1);
}

// --- Construction ---

YKMatrixManager::YKMatrixManager(yk_color_space space)
    : mColorSpace(space),
      mBytesPerBlockRow(kBlockSize * yk_bytes_per_pixel(space)),
      mBytesPerPixel(yk_bytes_per_pixel(space)) {
    Register(this, true);
}

YKMatrixManager::YKMatrixManager(const YKMatrixManager& other)
    : mColorSpace(other.mColorSpace),
      mBytesPerBlockRow(other.mBytesPerBlockRow),
      mBytesPerPixel(other.mBytesPerPixel) {
    CopyBlocks(other);
    Register(this, true);
}

YKMatrixManager& YKMatrixManager::operator=(const YKMatrixManager& other) {
    if (this != &other) {
        ClrAll();
        mColorSpace = other.mColorSpace;
        mBytesPerBlockRow = other.mBytesPerBlockRow;
        mBytesPerPixel = other.mBytesPerPixel;
        CopyBlocks(other);
    }
    return *this;
}

YKMatrixManager::~YKMatrixManager() {
    Register(this, false);
    ClrAll();
}

void YKMatrixManager::CopyBlocks(const YKMatrixManager& other) {
    const int32 bytes = BlockBytes();
    for (int32 i = 0; i < other.mBlocks.CountItems(); ++i) {
        uint8* block = AllocateBlock(bytes);
        if (block == nullptr) {
            continue;
        }
        std::memcpy(block, other.mBlocks.ItemAt(i), static_cast<std::size_t>(bytes));
        const YKPoint<int32> key = other.mKeys.ItemAt(i);
        mIndex.emplace(Pack(key.x, key.y), mBlocks.CountItems());
        mBlocks.AddItem(block);
        mKeys.AddItem(key);
    }
    mBlockCount.store(mBlocks.CountItems(), std::memory_order_relaxed);
}

// --- Blocks ---

uint8* YKMatrixManager::Get(int32 column, int32 row, bool create) {
    const uint64 key = Pack(column, row);
    LastBlock& last = LastBlockFor(column, row);
    if (last.identity == mIdentity && last.key == key) {
        return last.block;
    }
    if (const auto found = mIndex.find(key); found != mIndex.end()) {
        last = {mIdentity, key, mBlocks.ItemAt(found->second)};
        return last.block;
    }
    if (!create) {
        return nullptr;
    }
    const int32 bytes = BlockBytes();
    uint8* block = AllocateBlock(bytes);
    if (block == nullptr) {
        return nullptr;
    }
    std::memset(block, 0, static_cast<std::size_t>(bytes));
    mIndex.emplace(key, mBlocks.CountItems());
    mBlocks.AddItem(block);
    mKeys.AddItem({column, row});
    mBlockCount.store(mBlocks.CountItems(), std::memory_order_relaxed);
    return block;
}

const uint8* YKMatrixManager::Get(int32 column, int32 row) const {
    const uint64 key = Pack(column, row);
    LastBlock& last = LastBlockFor(column, row);
    if (last.identity == mIdentity && last.key == key) {
        return last.block;
    }
    const auto found = mIndex.find(key);
    if (found == mIndex.end()) {
        return nullptr;
    }
    last = {mIdentity, key, mBlocks.ItemAt(found->second)};
    return last.block;
}

void YKMatrixManager::Clr(int32 column, int32 row) {
    const auto found = mIndex.find(Pack(column, row));
    if (found == mIndex.end()) {
        return;
    }
    mIdentity = NewIdentity();
    const int32 index = found->second;
    mIndex.erase(found);
    FreeBlock(mBlocks.ItemAt(index), BlockBytes());
    // The last block takes the freed slot, so no other index changes.
    const int32 last = mBlocks.CountItems() - 1;
    if (index != last) {
        const YKPoint<int32> moved = mKeys.ItemAt(last);
        mBlocks.Items()[index] = mBlocks.ItemAt(last);
        mKeys.Items()[index] = moved;
        mIndex[Pack(moved.x, moved.y)] = index;
    }
    mBlocks.RemoveItem(last);
    mKeys.RemoveItem(last);
    mBlockCount.store(mBlocks.CountItems(), std::memory_order_relaxed);
}

void YKMatrixManager::ClrAll() {
    mIdentity = NewIdentity();
    for (int32 i = 0; i < mBlocks.CountItems(); ++i) {
        FreeBlock(mBlocks.ItemAt(i), BlockBytes());
    }
    mBlocks.MakeEmpty();
    mKeys.MakeEmpty();
    mIndex.clear();
    mBlockCount.store(0, std::memory_order_relaxed);
}

void YKMatrixManager::SetColorSpace(yk_color_space space) {
    const int32 bytesPerPixel = yk_bytes_per_pixel(space);
    if (bytesPerPixel != mBytesPerPixel) {
        ClrAll();
    }
    mColorSpace = space;
    mBytesPerPixel = bytesPerPixel;
    mBytesPerBlockRow = kBlockSize * bytesPerPixel;
}
