#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

#include "YKDebug.h"
#include "YKGeneric.h"
#include "YKLocker.h"
#include "yk_types.h"

// A growable array of values (pointers in most uses). Lists of pointers never delete what they
// point to; lists of class values destroy their elements with the array.
//
// Growth and shrinking go by blocks: `step` is how many slots the next growth adds or the next
// shrink removes, and it follows the capacity (half of it, never less than the block size
// given at construction), so capacity grows by half of itself once it is past two blocks.
//
// The optional locker is for callers that share a list between threads; the list never locks
// itself.
template <typename T>
class YKList {
public:
    explicit YKList(int32 blockSize = 16, bool withLocker = false)
        : mStep(blockSize), mBlockSize(blockSize) {
        YK_ASSERT(blockSize > 0);
        if (withLocker) {
            mLocker = std::make_unique<YKLocker>("YKList");
        }
    }
    YKList(const YKList&) = delete;
    YKList& operator=(const YKList&) = delete;

    virtual ~YKList() {
        mItems.reset();
        if (mLocker) {
            // Waits for any other holder before the lock goes away; a mutex must not be
            // destroyed while held, so the holds of this thread are given back as well.
            mLocker->Lock();
            while (mLocker->CountLocks() > 0) {
                mLocker->Unlock();
            }
            mLocker.reset();
        }
    }

    // Releases the slots; count and capacity become 0 (the step is left as it is).
    virtual void MakeEmpty() {
        mItems.reset();
        mCount = 0;
        mCapacity = 0;
    }

    int32 CountItems() const { return mCount; }
    bool IsEmpty() const { return mCount == 0; }

    // The item at `index`, or the value-initialised default item out of range.
    T ItemAt(int32 index) const {
        if (index < 0 || index >= mCount) {
            return mDefaultItem;
        }
        return mItems[index];
    }
    T FirstItem() const { return ItemAt(0); }
    T LastItem() const { return ItemAt(mCount - 1); }

    // The index of the first item equal to `item`, or -1.
    int32 IndexOf(const T& item) const {
        for (int32 i = 0; i < mCount; ++i) {
            if (mItems[i] == item) {
                return i;
            }
        }
        return -1;
    }
    bool HasItem(const T& item) const { return IndexOf(item) >= 0; }

    // Appends `item`.
    bool AddItem(const T& item) { return AddItem(item, mCount); }

    // Inserts `item` before `index` (0 to CountItems()); false and no change outside that.
    bool AddItem(const T& item, int32 index) {
        if (index < 0 || index > mCount) {
            return false;
        }
        if (mCount + 1 > mCapacity) {
            const int32 newCapacity = mCapacity + mStep;
            // `item` may live in the old array, so it is copied before that array goes.
            std::unique_ptr<T[]> slots = std::make_unique<T[]>(newCapacity);
            for (int32 i = 0; i < index; ++i) {
                slots[i] = std::move(mItems[i]);
            }
            slots[index] = item;
            for (int32 i = index; i < mCount; ++i) {
                slots[i + 1] = std::move(mItems[i]);
            }
            mItems = std::move(slots);
            mCapacity = newCapacity;
            mStep = MAX(mCapacity / 2, mBlockSize);
        } else if (index == mCount) {
            mItems[index] = item;
        } else {
            T copy = item;  // `item` may be one of the slots about to shift
            for (int32 i = mCount; i > index; --i) {
                mItems[i] = std::move(mItems[i - 1]);
            }
            mItems[index] = std::move(copy);
        }
        ++mCount;
        return true;
    }

    // Appends `count` items from `items`, which must not lie in this list's own slots. When
    // they do not fit, the array grows once: by a step, or to just the room they need if that
    // is more. A list made with a block size of what it will hold thus allocates exactly once.
    bool AddItems(const T* items, int32 count) {
        if (count < 0 || int64{mCount} + count > INT32_MAX) {
            return false;
        }
        if (mCount + count > mCapacity) {
            const int32 newCapacity =
                static_cast<int32>(MAX(int64{mCapacity} + mStep, int64{mCount} + count));
            std::unique_ptr<T[]> slots = std::make_unique<T[]>(newCapacity);
            std::move(mItems.get(), mItems.get() + mCount, slots.get());
            mItems = std::move(slots);
            mCapacity = newCapacity;
            mStep = MAX(mCapacity / 2, mBlockSize);
        }
        std::copy(items, items + count, mItems.get() + mCount);
        mCount += count;
        return true;
    }

    // Takes out the item at `index`, shifting the later ones down, and returns it; out of
    // range returns the default item and changes nothing.
    T RemoveItem(int32 index) {
        if (index < 0 || index >= mCount) {
            return mDefaultItem;
        }
        T removed = std::move(mItems[index]);
        for (int32 i = index; i + 1 < mCount; ++i) {
            mItems[i] = std::move(mItems[i + 1]);
        }
        --mCount;
        mItems[mCount] = T();  // a moved-from value must not keep resources alive
        if (mCount <= mCapacity - mStep) {
            const int32 newCapacity = mCapacity - mStep;
            if (newCapacity <= 0) {
                MakeEmpty();
            } else {
                std::unique_ptr<T[]> slots = std::make_unique<T[]>(newCapacity);
                for (int32 i = 0; i < mCount; ++i) {
                    slots[i] = std::move(mItems[i]);
                }
                mItems = std::move(slots);
                mCapacity = newCapacity;
            }
            mStep = MAX(mCapacity / 2, mBlockSize);
        }
        return removed;
    }

    // Lock and unlock the list's locker; without one they do nothing and Lock() returns true.
    bool Lock() { return mLocker ? mLocker->Lock() : true; }
    void Unlock() {
        if (mLocker) {
            mLocker->Unlock();
        }
    }
    bool HasLocker() const { return mLocker != nullptr; }

    int32 Capacity() const { return mCapacity; }
    int32 Step() const { return mStep; }
    int32 BlockSize() const { return mBlockSize; }
    // The slots themselves: CountItems() of them are in use. Null while nothing is allocated.
    T* Items() { return mItems.get(); }
    const T* Items() const { return mItems.get(); }

    // Sorts `count` items in place. `compare(a, b)` returns a negative, zero or positive
    // int32. Not stable. The smaller part of each partition is sorted by recursion and the
    // larger one by the loop, so the stack stays logarithmic even for bad pivots.
    template <typename Compare>
    static void Quicksort(T* array, int32 count, Compare compare) {
        using std::swap;
        while (count > 1) {
            // The middle item makes a good pivot for already sorted or reversed input.
            swap(array[0], array[count / 2]);
            int32 front = 0;
            int32 back = count;
            for (;;) {
                // Stops at the latest on the pivot itself, or on a swapped item <= pivot.
                do {
                    --back;
                } while (compare(array[back], array[0]) > 0);
                do {
                    ++front;
                } while (front < back && compare(array[front], array[0]) < 0);
                if (front >= back) {
                    break;
                }
                swap(array[front], array[back]);
            }
            swap(array[0], array[back]);

            const int32 leftCount = back;
            const int32 rightCount = count - back - 1;
            if (leftCount < rightCount) {
                Quicksort(array, leftCount, compare);
                array += back + 1;
                count = rightCount;
            } else {
                Quicksort(array + back + 1, rightCount, compare);
                count = leftCount;
            }
        }
    }

private:
    int32 mCount = 0;
    int32 mCapacity = 0;
    int32 mStep;
    int32 mBlockSize;
    T mDefaultItem{};
    std::unique_ptr<T[]> mItems;
    std::unique_ptr<YKLocker> mLocker;
};
