#pragma once

#include <cstddef>

// A block of raw memory from malloc, for the buffers of 3D objects.
//
// Allocate() does not free a block obtained earlier: a pointer handed out before stays valid,
// and that earlier block then belongs to whoever kept the pointer (to be freed with free()).
// Only the latest block is freed by Release() and the destructor.
class YKAllocatedData {
public:
    YKAllocatedData() = default;
    explicit YKAllocatedData(std::size_t size);
    YKAllocatedData(const YKAllocatedData&) = delete;
    YKAllocatedData& operator=(const YKAllocatedData&) = delete;
    virtual ~YKAllocatedData();

    // Obtains a new block of `size` bytes (at least one, so that success always means
    // IsAllocated()); returns whether it could be had. Uninitialised memory.
    bool Allocate(std::size_t size);
    // Frees the current block, if any.
    void Release();

    // The block never moves; locking is kept for callers written against movable memory.
    void Lock() {}
    void Unlock() {}

    // The current block; asking for it without one is a programming error.
    void* GetPointer() const;
    bool IsAllocated() const { return mData != nullptr; }
    bool CanAccess() const { return mData != nullptr; }

    // Allocates and returns the block, null when it could not be had.
    void* AllocAndLock(std::size_t size);
    // Allocates and returns the block; failing to get one is fatal.
    void* AllocAndLockPtr(std::size_t size);

    operator bool() const { return IsAllocated(); }
    operator void*() const { return GetPointer(); }

private:
    void* mData = nullptr;
};
