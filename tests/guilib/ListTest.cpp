#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "YKList.h"
#include "YKPoint.h"

namespace {

// Counts MakeEmpty() calls, to see that removal reaches it through the virtual.
struct CountingList : YKList<int32> {
    void MakeEmpty() override {
        ++mEmptied;
        YKList::MakeEmpty();
    }
    int mEmptied = 0;
};

// Grows or shrinks (from the front) to each count in turn and checks {capacity, step} there.
void ExpectShapes(YKList<int32>& list,
                  const std::vector<std::pair<int32, std::pair<int32, int32>>>& table) {
    for (const auto& [count, shape] : table) {
        while (list.CountItems() < count) {
            list.AddItem(list.CountItems());
        }
        while (list.CountItems() > count) {
            list.RemoveItem(0);
        }
        EXPECT_EQ(std::make_pair(list.Capacity(), list.Step()), shape) << "at " << count;
    }
}

}  // namespace

TEST(ListTest, GrowAndShrinkBySteps) {
    CountingList list;
    ExpectShapes(list, {{16, {16, 16}},
                        {17, {32, 16}},
                        {33, {48, 24}},
                        {49, {72, 36}},
                        {37, {72, 36}},
                        {36, {36, 18}},
                        {18, {18, 16}},
                        {2, {2, 16}}});
    EXPECT_EQ(list.ItemAt(1), 48);
    ExpectShapes(list, {{0, {2, 16}}});  // 2 - 16 < 0: nothing left to shrink
    EXPECT_EQ(list.mEmptied, 0);

    CountingList small;
    ExpectShapes(small, {{3, {16, 16}}, {0, {0, 16}}});
    EXPECT_EQ(small.mEmptied, 1);
    EXPECT_EQ(small.Items(), nullptr);
}

TEST(ListTest, OutOfRangeReadsAndRemovalsChangeNothing) {
    YKList<YKPoint<double>> points;
    points.AddItem({1.5, 2.5});
    EXPECT_EQ(points.ItemAt(-1), (YKPoint<double>{}));
    EXPECT_EQ(points.RemoveItem(1), (YKPoint<double>{}));
    EXPECT_FALSE(points.AddItem({}, 2));
    EXPECT_EQ(points.CountItems(), 1);
    EXPECT_EQ(points.ItemAt(0), (YKPoint<double>{1.5, 2.5}));
    EXPECT_EQ(YKList<int*>().ItemAt(0), nullptr);
}

TEST(ListTest, InsertSurvivesItemsTakenFromTheListItself) {
    YKList<std::string> words(2, true);
    words.Lock();
    words.AddItem("b");
    words.AddItem("d");
    words.AddItem(words.Items()[0], 0);  // grows while the item lives in the old slots
    words.AddItem(words.Items()[2], 1);  // shifts over the item being inserted
    EXPECT_EQ(std::vector<std::string>(words.Items(), words.Items() + words.CountItems()),
              (std::vector<std::string>{"b", "d", "b", "d"}));
    EXPECT_EQ(words.RemoveItem(1), "d");
    EXPECT_EQ(words.IndexOf("d"), 2);
    // Destroyed while this thread still holds its lock.
}

TEST(ListTest, QuicksortAgreesWithStdSort) {
    std::mt19937 random(1234);
    auto compare = [](const int32& a, const int32& b) { return a < b ? -1 : (a > b ? 1 : 0); };
    for (int round = 0; round < 600; ++round) {
        const int32 range = round % 3 == 0 ? 4 : 1000000;  // many duplicates, or few
        std::vector<int32> values(random() % 300);
        for (auto& v : values) {
            v = int32(random() % range) - range / 2;
        }
        if (round % 5 == 1) {
            std::sort(values.begin(), values.end());
        } else if (round % 5 == 2) {
            std::sort(values.rbegin(), values.rend());
        }
        std::vector<int32> expected = values;
        std::sort(expected.begin(), expected.end());
        YKList<int32>::Quicksort(values.data(), int32(values.size()), compare);
        ASSERT_EQ(values, expected) << "round " << round;
    }
}
