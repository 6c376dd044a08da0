#include "YKAllocatedData.h"

#include <cstdlib>

#include "YKDebug.h"

YKAllocatedData::YKAllocatedData(std::size_t size) {
    Allocate(size);
}

YKAllocatedData::~YKAllocatedData() {
    Release();
}

bool YKAllocatedData::Allocate(std::size_t size) {
    // malloc(0) may legitimately return null, which would read as a failure here.
    mData = std::malloc(size > 0 ? size : 1);
    return mData != nullptr;
}

void YKAllocatedData::Release() {
    std::free(mData);
    mData = nullptr;
}

void* YKAllocatedData::GetPointer() const {
    YK_ASSERT(mData != 0);
    return mData;
}

void* YKAllocatedData::AllocAndLock(std::size_t size) {
    Allocate(size);
    Lock();
    return mData;
}

void* YKAllocatedData::AllocAndLockPtr(std::size_t size) {
    Allocate(size);
    Lock();
    return GetPointer();
}
