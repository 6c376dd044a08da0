#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "YKMessage.h"

namespace {

TEST(Message, EveryTypedFieldReadsBackWithItsType) {
    YKMessage m('test');
    const yk_color red(255, 0, 0, 255);
    int marker = 0;
    ASSERT_TRUE(m.AddBool("b", true));
    ASSERT_TRUE(m.AddInt8("i8", -8));
    ASSERT_TRUE(m.AddInt16("i16", -1600));
    ASSERT_TRUE(m.AddInt32("i32", -320000));
    ASSERT_TRUE(m.AddInt64("i64", -(int64(1) << 40)));
    ASSERT_TRUE(m.AddFloat("f", 1.5f));
    ASSERT_TRUE(m.AddDouble("d", -2.25));
    ASSERT_TRUE(m.AddString("s", "hello"));
    ASSERT_TRUE(m.AddPoint("p", YKPoint<double>{3.5, -4.0}));
    ASSERT_TRUE(m.AddRect("r", YKRect<int32>{1, 2, 3, 4}));
    ASSERT_TRUE(m.AddColor("c", &red));
    ASSERT_TRUE(m.AddPointer("ptr", &marker));
    ASSERT_TRUE(m.AddData("raw", 'ABCD', "\x01\x00\x02", 3));

    bool b = false;
    int8 i8 = 0;
    int16 i16 = 0;
    int32 i32 = 0;
    int64 i64 = 0;
    float f = 0;
    double d = 0;
    const char* s = nullptr;
    YKPoint<double> p;
    YKRect<int32> r;
    yk_color c;
    void* ptr = nullptr;
    const void* raw = nullptr;
    ssize_t rawSize = 0;
    EXPECT_TRUE(m.FindBool("b", &b) && b);
    EXPECT_TRUE(m.FindInt8("i8", &i8) && i8 == -8);
    EXPECT_TRUE(m.FindInt16("i16", &i16) && i16 == -1600);
    EXPECT_TRUE(m.FindInt32("i32", &i32) && i32 == -320000);
    EXPECT_TRUE(m.FindInt64("i64", &i64) && i64 == -(int64(1) << 40));
    EXPECT_TRUE(m.FindFloat("f", &f) && f == 1.5f);
    EXPECT_TRUE(m.FindDouble("d", &d) && d == -2.25);
    EXPECT_TRUE(m.FindString("s", &s) && std::strcmp(s, "hello") == 0);
    EXPECT_TRUE(m.FindPoint("p", &p) && p == (YKPoint<double>{3.5, -4.0}));
    EXPECT_TRUE(m.FindRect("r", &r) && r == (YKRect<int32>{1, 2, 3, 4}));
    EXPECT_TRUE(m.FindColor("c", &c) && c == red);
    EXPECT_TRUE(m.FindPointer("ptr", &ptr) && ptr == &marker);
    ASSERT_TRUE(m.FindData("raw", 'ABCD', &raw, &rawSize));
    EXPECT_EQ(rawSize, 3);
    EXPECT_EQ(std::memcmp(raw, "\x01\x00\x02", 3), 0);
    EXPECT_EQ(m.CountNames(), 13);
}

TEST(Message, FindWithWrongTypeOrIndexLeavesOutputUnchanged) {
    YKMessage m;
    m.AddInt32("n", 7);
    int16 small = 99;
    int32 value = 42;
    EXPECT_FALSE(m.FindInt16("n", &small));
    EXPECT_EQ(small, 99);
    EXPECT_FALSE(m.FindInt32("n", 1, &value));
    EXPECT_FALSE(m.FindInt32("n", -1, &value));
    EXPECT_FALSE(m.FindInt32("absent", &value));
    EXPECT_FALSE(m.FindInt32(nullptr, &value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(m.HasInt32("n"));
    EXPECT_FALSE(m.HasInt32("n", 1));
    EXPECT_FALSE(m.HasString("n"));
}

TEST(Message, ValuesOfOneNameKeepTheirOrderAndType) {
    YKMessage m;
    for (int32 i = 0; i < 5; ++i) {
        ASSERT_TRUE(m.AddString("names", std::to_string(i * 11)));
    }
    EXPECT_FALSE(m.AddInt32("names", 1)) << "a name holds values of one type";
    uint32 type = 0;
    int32 count = 0;
    ASSERT_TRUE(m.GetInfo("names", &type, &count));
    EXPECT_EQ(type, uint32(YK_STRING_TYPE));
    EXPECT_EQ(count, 5);
    std::string text;
    for (int32 i = 0; i < 5; ++i) {
        ASSERT_TRUE(m.FindString("names", i, &text));
        EXPECT_EQ(text, std::to_string(i * 11));
    }
}

TEST(Message, RefusesNamesAndValuesThatCannotComeBack) {
    YKMessage m;
    EXPECT_FALSE(m.AddInt32(nullptr, 1));
    EXPECT_FALSE(m.AddInt32("", 1));
    EXPECT_FALSE(m.AddInt32(std::string(YKMessage::kMaxNameLength + 1, 'x').c_str(), 1));
    EXPECT_TRUE(m.AddInt32(std::string(YKMessage::kMaxNameLength, 'x').c_str(), 1));
    EXPECT_FALSE(m.AddString("s", static_cast<const char*>(nullptr)));
    EXPECT_FALSE(m.AddString("s", std::string("in\0ner", 6)));
    EXPECT_FALSE(m.AddColor("c", nullptr));
    EXPECT_FALSE(m.AddMessage("m", nullptr));
    // Typed codes through AddData must carry a well-formed value of their type.
    EXPECT_FALSE(m.AddData("i", YK_INT32_TYPE, "abc", 3));
    EXPECT_TRUE(m.AddData("i", YK_INT32_TYPE, "abcd", 4));
    EXPECT_FALSE(m.AddData("t", YK_STRING_TYPE, "no nul", 6));
    EXPECT_FALSE(m.AddData("n", YK_MESSAGE_TYPE, "not a message", 13));
    EXPECT_EQ(m.CountNames(), 2);
}

TEST(Message, ReplaceChangesOnlyTheValueAtItsIndex) {
    YKMessage m;
    m.AddString("s", "one");
    m.AddString("s", "two");
    m.AddString("s", "three");
    m.AddInt32("n", 1);
    EXPECT_TRUE(m.ReplaceString("s", 1, "a much longer second value"));
    EXPECT_TRUE(m.ReplaceString("s", "1"));
    EXPECT_TRUE(m.ReplaceInt32("n", 5));
    EXPECT_FALSE(m.ReplaceInt32("n", 1, 5)) << "replace needs an existing value";
    EXPECT_FALSE(m.ReplaceInt32("absent", 5));
    EXPECT_FALSE(m.ReplaceString("n", "x")) << "replace keeps the field's type";
    // Read out of order: a lookup may start from where the previous one ended, and must not
    // when that lies beyond the value asked for.
    std::string s;
    int32 n = 0;
    m.FindString("s", 2, &s);
    EXPECT_EQ(s, "three");
    m.FindString("s", 0, &s);
    EXPECT_EQ(s, "1");
    m.FindString("s", 1, &s);
    EXPECT_EQ(s, "a much longer second value");
    ASSERT_TRUE(m.ReplaceString("s", 0, "a first value longer than before"));
    m.FindString("s", 2, &s);
    EXPECT_EQ(s, "three");
    m.FindInt32("n", &n);
    EXPECT_EQ(n, 5);
}

TEST(Message, NestedMessagesAreCopiesAndRoundTrip) {
    YKMessage child('chld');
    child.AddInt32("depth", 1);
    YKMessage parent('prnt');
    ASSERT_TRUE(parent.AddMessage("child", &child));
    child.ReplaceInt32("depth", 2);  // the parent holds its own copy
    YKMessage found;
    ASSERT_TRUE(parent.FindMessage("child", &found));
    int32 depth = 0;
    EXPECT_EQ(found.what, uint32('chld'));
    EXPECT_TRUE(found.FindInt32("depth", &depth));
    EXPECT_EQ(depth, 1);
    // A message may be added to itself: the copy is taken first.
    ASSERT_TRUE(parent.AddMessage("child", &parent));
    ASSERT_TRUE(parent.FindMessage("child", 1, &found));
    EXPECT_EQ(found.what, uint32('prnt'));
    EXPECT_TRUE(found.HasMessage("child"));
}

TEST(Message, NestingBeyondTheCapIsRefusedWhenAdded) {
    YKMessage chain('leaf');
    for (int i = 0; i < YKMessage::kMaxNestingDepth; ++i) {
        YKMessage outer('node');
        ASSERT_TRUE(outer.AddMessage("inner", &chain)) << "level " << i;
        chain = outer;
    }
    YKMessage tooDeep;
    EXPECT_FALSE(tooDeep.AddMessage("inner", &chain));
    YKMessage copy;
    EXPECT_TRUE(copy.Unflatten(chain.Flatten().data(), chain.FlattenedSize()));
}

// Above a handful of fields lookups go through the name index: removal and re-adding must keep
// it in step with the field list.
TEST(Message, ManyFieldsStayFindableThroughRemovals) {
    YKMessage m;
    for (int32 i = 0; i < 200; ++i) {
        ASSERT_TRUE(m.AddInt32(("f" + std::to_string(i)).c_str(), i));
    }
    for (int32 i = 0; i < 200; i += 3) {
        ASSERT_TRUE(m.RemoveName(("f" + std::to_string(i)).c_str()));
    }
    EXPECT_FALSE(m.RemoveName("f0"));
    for (int32 i = 0; i < 200; ++i) {
        int32 v = -1;
        const bool found = m.FindInt32(("f" + std::to_string(i)).c_str(), &v);
        EXPECT_EQ(found, i % 3 != 0) << i;
        if (found) {
            EXPECT_EQ(v, i);
        }
    }
    ASSERT_TRUE(m.AddInt32("f0", 1000));
    const char* last = nullptr;
    ASSERT_TRUE(m.GetInfo(m.CountNames() - 1, &last, nullptr, nullptr));
    EXPECT_STREQ(last, "f0") << "a re-added name goes to the end";
    m.MakeEmpty();
    EXPECT_TRUE(m.IsEmpty());
    EXPECT_FALSE(m.HasInt32("f1"));
}

}  // namespace
