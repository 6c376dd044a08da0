#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "YKMessage.h"
#include "YKMessagePrinter.h"

namespace {

// Builds random messages of every field type, nested ones included, so that flattening can be
// checked against the message it came from.
class RandomMessages {
public:
    explicit RandomMessages(uint32 seed) : mRandom(seed) {}

    YKMessage Make(int depth) {
        YKMessage m(static_cast<uint32>(mRandom()));
        const int fields = Pick(0, depth == 0 ? 40 : 6);
        for (int i = 0; i < fields; ++i) {
            const std::string name = "n" + std::to_string(i) + std::string(Pick(0, 20), 'x');
            const int values = Pick(1, 3);
            const int kind = Pick(0, depth < 3 ? 13 : 12);
            for (int v = 0; v < values; ++v) {
                AddOne(m, name.c_str(), kind, depth);
            }
        }
        return m;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(mRandom); }

    void AddOne(YKMessage& m, const char* name, int kind, int depth) {
        const uint32 bits = mRandom();
        switch (kind) {
            case 0:
                m.AddBool(name, bits & 1);
                break;
            case 1:
                m.AddInt8(name, int8(bits));
                break;
            case 2:
                m.AddInt16(name, int16(bits));
                break;
            case 3:
                m.AddInt32(name, int32(bits));
                break;
            case 4:
                m.AddInt64(name, int64(bits) << 20 | bits);
                break;
            case 5:
                m.AddFloat(name, float(int32(bits)) / 7.0f);
                break;
            case 6:
                m.AddDouble(name, double(int32(bits)) / 3.0);
                break;
            case 7:
                m.AddString(name, std::string(bits % 40, char('a' + bits % 26)));
                break;
            case 8:
                m.AddPoint(name, {double(bits) / 9.0, -double(bits)});
                break;
            case 9:
                m.AddRect(name, {int32(bits), 2, -3, int32(bits >> 3)});
                break;
            case 10: {
                const yk_color c(uint8(bits), uint8(bits >> 8), uint8(bits >> 16),
                                 uint8(bits >> 24));
                m.AddColor(name, &c);
                break;
            }
            case 11: {
                const std::string bytes(bits % 70, char(bits));
                m.AddData(name, 'DAT0' + bits % 3, bytes.data(), bytes.size());
                break;
            }
            case 12:
                m.AddPointer(name, reinterpret_cast<void*>(uintptr_t(bits) << 4));
                break;
            default: {
                const YKMessage child = Make(depth + 1);
                m.AddMessage(name, &child);
                break;
            }
        }
    }

    std::mt19937 mRandom;
};

std::string Listing(const YKMessage& m) {
    char* text = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&text, &size);
    YKMessagePrinter(stream).Print(m);
    std::fclose(stream);
    std::string result(text, size);
    std::free(text);
    return result;
}

class MessageFlatten : public ::testing::TestWithParam<uint32> {};

// Unflatten(Flatten(m)) must be m again: what code, names, types, value order and nesting.
// Comparing the full listings and the re-flattened bytes checks every value of every field.
TEST_P(MessageFlatten, RestoresEveryFieldExactly) {
    RandomMessages random(GetParam());
    const YKMessage original = random.Make(0);
    const std::string flat = original.Flatten();
    ASSERT_EQ(ssize_t(flat.size()), original.FlattenedSize());

    YKMessage restored('xxxx');
    restored.AddInt32("stale", 1);
    ASSERT_TRUE(restored.Unflatten(flat.data(), flat.size()));
    EXPECT_EQ(restored.what, original.what);
    EXPECT_FALSE(restored.HasInt32("stale") && !original.HasInt32("stale"));
    EXPECT_EQ(restored.Flatten(), flat);
    EXPECT_EQ(Listing(restored), Listing(original));
    ASSERT_EQ(restored.CountNames(), original.CountNames());
    for (int32 i = 0; i < original.CountNames(); ++i) {
        const char* a;
        const char* b;
        uint32 ta, tb;
        int32 ca, cb;
        original.GetInfo(i, &a, &ta, &ca);
        restored.GetInfo(i, &b, &tb, &cb);
        EXPECT_STREQ(a, b);
        EXPECT_EQ(ta, tb);
        EXPECT_EQ(ca, cb);
    }
}

// Every cut of a valid flattened message must be refused and leave the target unchanged;
// nothing may be read beyond the given bytes (ASan watches the exact-size heap copy).
TEST_P(MessageFlatten, EveryTruncationIsRefused) {
    RandomMessages random(GetParam() + 1000);
    const std::string flat = random.Make(0).Flatten();
    YKMessage target('keep');
    target.AddString("kept", "yes");
    for (size_t cut = 0; cut < flat.size(); ++cut) {
        std::vector<char> bytes(flat.begin(), flat.begin() + cut);
        ASSERT_FALSE(target.Unflatten(bytes.data(), bytes.size())) << "cut at " << cut;
    }
    EXPECT_EQ(target.what, uint32('keep'));
    EXPECT_TRUE(target.HasString("kept"));
}

// Flipped bytes either fail or give a message that flattens and unflattens cleanly.
TEST_P(MessageFlatten, CorruptedBytesNeverBreakTheReader) {
    RandomMessages random(GetParam() + 2000);
    const std::string flat = random.Make(0).Flatten();
    std::mt19937 flips(GetParam());
    for (int round = 0; round < 300; ++round) {
        std::vector<char> bytes(flat.begin(), flat.end());
        for (int k = 0; k < 1 + round % 4; ++k) {
            bytes[flips() % bytes.size()] ^= char(1 + flips() % 255);
        }
        YKMessage m;
        if (m.Unflatten(bytes.data(), bytes.size())) {
            const std::string again = m.Flatten();
            YKMessage copy;
            EXPECT_TRUE(copy.Unflatten(again.data(), again.size()));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, MessageFlatten, ::testing::Range(1u, 9u));

TEST(MessageFlattenEdges, FlattenRefusesASmallBuffer) {
    YKMessage m;
    m.AddInt32("a", 1);
    std::vector<char> buffer(m.FlattenedSize());
    ssize_t size = m.FlattenedSize() - 1;
    EXPECT_FALSE(m.Flatten(buffer.data(), &size));
    size = buffer.size();
    EXPECT_TRUE(m.Flatten(buffer.data(), &size));
    EXPECT_EQ(size, m.FlattenedSize());
}

// Trailing bytes after a message are not part of it: a reader given a larger buffer stops at the
// message's own size.
TEST(MessageFlattenEdges, TrailingBytesAreIgnored) {
    YKMessage m;
    m.AddString("s", "x");
    std::string flat = m.Flatten() + "garbage";
    YKMessage back;
    ASSERT_TRUE(back.Unflatten(flat.data(), flat.size()));
    EXPECT_TRUE(back.HasString("s"));
}

// A message rebuilt from bytes it keeps must never write into them: copies of the message
// share them, and the caller may still hold them.
TEST(MessageFlattenEdges, AdoptedBytesStayUntouchedByChanges) {
    YKMessage m('adpt');
    m.AddInt32("n", 1);
    m.AddString("s", "before");
    const std::string flat = m.Flatten();
    std::shared_ptr<char[]> bytes(new char[flat.size()]);
    std::memcpy(bytes.get(), flat.data(), flat.size());
    YKMessage adopted;
    ASSERT_TRUE(adopted.Unflatten(bytes, flat.size()));
    const YKMessage copy = adopted;
    ASSERT_TRUE(adopted.ReplaceInt32("n", 2));
    ASSERT_TRUE(adopted.ReplaceString("s", "after, and longer"));
    ASSERT_TRUE(adopted.AddString("s", "more"));
    EXPECT_EQ(std::memcmp(bytes.get(), flat.data(), flat.size()), 0);
    int32 n = 0;
    EXPECT_TRUE(copy.FindInt32("n", &n));
    EXPECT_EQ(n, 1);
    EXPECT_EQ(copy.Flatten(), flat);
    std::string s;
    EXPECT_TRUE(adopted.FindString("s", &s));
    EXPECT_EQ(s, "after, and longer");
}

// Hand-made hostile inputs: each one claims more than its bytes hold or breaks a rule the writer
// keeps.
class HostileBytes : public ::testing::Test {
protected:
    static std::string Header(uint32 fieldCount, uint32 total) {
        std::string s("YKMs", 4);
        Append32(s, 'what');
        Append32(s, fieldCount);
        Append32(s, total);
        return s;
    }
    static void Append32(std::string& s, uint32 v) { s.append(reinterpret_cast<char*>(&v), 4); }
    static void Append16(std::string& s, uint16 v) { s.append(reinterpret_cast<char*>(&v), 2); }
    static std::string Field(uint32 type, const std::string& name, uint32 count,
                             const std::string& payload) {
        std::string s;
        Append32(s, type);
        Append16(s, uint16(name.size()));
        s += name;
        s += '\0';
        Append32(s, count);
        Append32(s, uint32(payload.size()));
        return s + payload;
    }
    static std::string Message(const std::vector<std::string>& fields) {
        std::string body;
        for (const auto& f : fields) {
            body += f;
        }
        return Header(uint32(fields.size()), uint32(16 + body.size())) + body;
    }
    static bool Accepts(const std::string& bytes) {
        YKMessage m;
        return m.Unflatten(bytes.data(), bytes.size());
    }
};

TEST_F(HostileBytes, CountsAndSizesThatDoNotAddUpAreRefused) {
    // The builder's well-formed message passes, so each refusal below is down to its one flaw.
    EXPECT_TRUE(Accepts(Message({Field(YK_INT32_TYPE, "n", 2, std::string(8, '\1'))})));
    // A field count no input of this size could hold (no reservation of 4 billion fields).
    EXPECT_FALSE(Accepts(Header(0xFFFFFFFF, 16)));
    EXPECT_FALSE(Accepts(Header(0, 17) + "x"));  // size word disagrees with content
    EXPECT_FALSE(Accepts(Header(0, 0xFFFFFFF0)));
    EXPECT_FALSE(Accepts(Message({Field(YK_INT32_TYPE, "n", 3, std::string(8, '\1'))})));
    EXPECT_FALSE(Accepts(Message({Field(YK_INT32_TYPE, "n", 0, "")})));
    EXPECT_FALSE(Accepts(Message({Field(YK_INT32_TYPE, "", 1, "abcd")})));
    EXPECT_FALSE(Accepts(Message({Field(YK_INT32_TYPE, std::string("a\0b", 3), 1, "abcd")})));
    // Fixed-size count times size overflowing 32 bits must not wrap into a match.
    EXPECT_FALSE(Accepts(Message({Field(YK_POINT_TYPE, "p", 0x10000000, "")})));
    // Variable values: a value size beyond the payload, and a count beyond what 4-byte size
    // words allow.
    std::string huge;
    Append32(huge, 0xFFFFFFF0);
    EXPECT_FALSE(Accepts(Message({Field('DATA', "d", 1, huge)})));
    EXPECT_FALSE(Accepts(Message({Field('DATA', "d", 1000000, huge)})));
    std::string badString;
    Append32(badString, 3);
    badString += "abc";  // no terminating NUL
    EXPECT_FALSE(Accepts(Message({Field(YK_STRING_TYPE, "s", 1, badString)})));
    EXPECT_FALSE(Accepts(
        Message({Field(YK_INT32_TYPE, "n", 1, "abcd"), Field(YK_INT32_TYPE, "n", 1, "abcd")})))
        << "duplicate names";
}

TEST_F(HostileBytes, DuplicateNamesAreRefusedPastTheIndexThreshold) {
    std::vector<std::string> fields;
    for (int i = 0; i < 30; ++i) {
        fields.push_back(Field(YK_INT8_TYPE, "f" + std::to_string(i), 1, "x"));
    }
    EXPECT_TRUE(Accepts(Message(fields)));
    fields.push_back(Field(YK_INT8_TYPE, "f17", 1, "x"));
    EXPECT_FALSE(Accepts(Message(fields)));
}

TEST_F(HostileBytes, NestingDepthIsCapped) {
    std::string inner = Message({});
    for (int level = 1; level <= YKMessage::kMaxNestingDepth + 1; ++level) {
        std::string value;
        Append32(value, uint32(inner.size()));
        inner = Message({Field(YK_MESSAGE_TYPE, "m", 1, value + inner)});
        EXPECT_EQ(Accepts(inner), level <= YKMessage::kMaxNestingDepth) << "level " << level;
    }
}

}  // namespace
