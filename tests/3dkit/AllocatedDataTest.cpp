#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "YKAllocatedData.h"
#include "YKTmpAllocatedData.h"

TEST(AllocatedDataTest, EmptyUntilAllocatedAndAfterRelease) {
    YKAllocatedData data;
    EXPECT_FALSE(data.CanAccess());
    EXPECT_FALSE(static_cast<bool>(data));
    void* block = data.AllocAndLockPtr(64);
    std::memset(block, 0xAB, 64);  // the whole size is usable (checked under ASan)
    EXPECT_EQ(static_cast<void*>(data), block);
    EXPECT_TRUE(data);
    data.Release();
    EXPECT_FALSE(data.IsAllocated());
    data.Release();
    EXPECT_NE(data.AllocAndLock(0), nullptr);

    YKTmpAllocatedData scratch(128);
    ASSERT_TRUE(scratch.IsAllocated());
    std::memset(scratch.GetPointer(), 0, 128);
}

TEST(AllocatedDataTest, EarlierBlockStaysValidAfterAllocate) {
    YKAllocatedData data(16);
    char* first = static_cast<char*>(data.GetPointer());
    std::strcpy(first, "first block");
    ASSERT_TRUE(data.Allocate(32));
    EXPECT_NE(data.GetPointer(), first);
    EXPECT_STREQ(first, "first block");
    std::free(first);  // no longer the object's
}

TEST(AllocatedDataDeathTest, PointerWithoutBlockIsFatal) {
    YKAllocatedData data;
    EXPECT_DEATH(data.GetPointer(),
                 "3dkit/src/YKAllocatedData:[0-9]+: assertion failed: mData != 0");
    EXPECT_DEATH(static_cast<void>(static_cast<void*>(data)), "mData != 0");
}
