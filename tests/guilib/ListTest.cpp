#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "YKList.h"
#include "YKPoint.h"

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

TEST(ListTest, AddItemsAppendsAfterWhatIsThereGrowingOnce) {
    const int32 values[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    YKList<int32> list(4);
    list.AddItem(-1);
    EXPECT_TRUE(list.AddItems(values, 2));  // fits the first block
    EXPECT_EQ(list.Capacity(), 4);
    EXPECT_TRUE(list.AddItems(values, 10));  // more than a step: just the room it needs
    EXPECT_EQ(list.Capacity(), 13);
    EXPECT_FALSE(list.AddItems(values, -1));
    EXPECT_EQ(std::vector<int32>(list.Items(), list.Items() + list.CountItems()),
              (std::vector<int32>{-1, 1, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    list.AddItem(11);  // growth goes on by steps from there
    EXPECT_EQ(list.Capacity(), 19);
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
