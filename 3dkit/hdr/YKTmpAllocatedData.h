#pragma once

#include "YKAllocatedData.h"

// A scratch block that is allocated and locked for the lifetime of a scope.
class YKTmpAllocatedData : public YKAllocatedData {
public:
    explicit YKTmpAllocatedData(std::size_t size);
    ~YKTmpAllocatedData() override;
};
