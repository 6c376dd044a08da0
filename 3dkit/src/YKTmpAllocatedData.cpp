#include "YKTmpAllocatedData.h"

YKTmpAllocatedData::YKTmpAllocatedData(std::size_t size) {
    AllocAndLock(size);
}

YKTmpAllocatedData::~YKTmpAllocatedData() {
    if (IsAllocated()) {
        Unlock();
    }
}
