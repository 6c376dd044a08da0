// The runner's bands cover every row once, on any thread count, pass after pass.

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "YKKernelRunner.h"

namespace {

// Counts how often each row of each pass is produced, and checks that the first pass finished
// everywhere before the second one read it.
class CountingKernel : public YKFilterKernel {
public:
    int32 PassCount() const override { return 2; }
    void Prepare(const YKPixelPlane&, const YKPixelPlane& destination) override {
        mRows = destination.height;
        mFirst = std::vector<std::atomic<int32>>(mRows);
        mSecond = std::vector<std::atomic<int32>>(mRows);
    }
    int32 RowCount(int32) const override { return mRows; }
    void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) override {
        for (int32 y = rowBegin; y < rowEnd; ++y) {
            if (pass == 0) {
                ++mFirst[y];
            } else {
                for (auto& done : mFirst) {
                    if (done != 1) {
                        ++mEarly;
                    }
                }
                ++mSecond[y];
            }
        }
    }
    int32 mRows = 0;
    std::vector<std::atomic<int32>> mFirst, mSecond;
    std::atomic<int32> mEarly{0};
};

}  // namespace

TEST(KernelRunnerTest, BandsCoverEveryRowOncePerPass) {
    for (const int32 threads : {1, 2, 3, 4, 8, 20}) {
        for (const int32 rows : {1, 3, 10, 97}) {
            CountingKernel kernel;
            std::vector<uint32> pixels(static_cast<size_t>(rows) * 4);
            const YKPixelPlane plane{pixels.data(), 4, rows, 4};
            YKKernelRunner::Run(kernel, plane, plane, threads);
            for (int32 y = 0; y < rows; ++y) {
                EXPECT_EQ(kernel.mFirst[y], 1) << threads << " threads, row " << y;
                EXPECT_EQ(kernel.mSecond[y], 1) << threads << " threads, row " << y;
            }
            EXPECT_EQ(kernel.mEarly, 0);
        }
    }
}

TEST(KernelRunnerTest, LastBandTakesTheRest) {
    int32 begin = 0, end = 0;
    YKKernelRunner::Band(10, 4, 3, &begin, &end);
    EXPECT_EQ(begin, 6);
    EXPECT_EQ(end, 10);
    YKKernelRunner::Band(10, 4, 1, &begin, &end);
    EXPECT_EQ(begin, 2);
    EXPECT_EQ(end, 4);
}
