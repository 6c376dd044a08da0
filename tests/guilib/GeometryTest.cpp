#include <gtest/gtest.h>

#include <cstring>

#include "YKGeneric.h"
#include "YKRect.h"
#include "yk_types.h"

using IRect = YKRect<int32>;

TEST(GeometryTest, IntegerRectanglesAreInclusive) {
    const IRect pixel{0, 0, 0, 0};
    EXPECT_TRUE(pixel.IsValid());
    EXPECT_TRUE(pixel.Contains({0, 0}));
    EXPECT_FALSE(pixel.Contains({1, 0}));
    const IRect nothing{5, 0, 4, 10};
    EXPECT_FALSE(nothing.IsValid());
    EXPECT_FALSE(nothing.Contains({5, 5}));
    EXPECT_FALSE(IRect::None().Intersects(IRect::None()));
}

TEST(GeometryTest, UnionAndIntersectionWithEmptyOperands) {
    const IRect r{2, 3, 8, 9};
    EXPECT_EQ(r | IRect::None(), r);
    EXPECT_EQ(IRect::None() | r, r);
    EXPECT_EQ((IRect{5, 0, 4, 10} | r), r);
    EXPECT_FALSE((IRect::None() | IRect{5, 0, 4, 10}).IsValid());
    EXPECT_EQ((r | IRect{10, 0, 10, 0}), (IRect{2, 0, 10, 9}));
    // Shared edges overlap by one pixel, since both edges are inside.
    EXPECT_TRUE(r.Intersects({8, 9, 12, 12}));
    EXPECT_EQ((r & IRect{8, 9, 12, 12}), (IRect{8, 9, 8, 9}));
    EXPECT_FALSE((r & IRect{9, 0, 12, 12}).IsValid());
    EXPECT_FALSE(r.Intersects(IRect::None()));
}

TEST(GeometryTest, ChangeEndianReversesBytes) {
    int16 half = -2;  // 0xFFFE
    CHANGEENDIAN(half);
    EXPECT_EQ(uint16(half), 0xFEFF);
    uint32 word = 0x12345678;
    CHANGEENDIAN(word);
    EXPECT_EQ(word, 0x78563412u);
    float value = 1.0f;  // 0x3F800000
    CHANGEENDIAN(value);
    uint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    EXPECT_EQ(bits, 0x0000803Fu);
}
