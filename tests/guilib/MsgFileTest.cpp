#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <random>
#include <string>

#include "FileBytes.h"
#include "TempDir.h"
#include "YKMessage.h"
#include "YKMsgFile.h"

// --- Allocation watch
// A hostile record must be refused before its claimed size is allocated; a refusal after the
// allocation looks the same from outside, so the tests watch the largest request instead.

namespace {

std::atomic<bool> gWatchAllocations{false};
std::atomic<std::size_t> gLargestAllocation{0};

void* WatchedAlloc(std::size_t size) {
    if (gWatchAllocations.load(std::memory_order_relaxed)) {
        std::size_t largest = gLargestAllocation.load();
        while (size > largest && !gLargestAllocation.compare_exchange_weak(largest, size)) {
        }
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* WatchedAllocOrThrow(std::size_t size) {
    if (void* p = WatchedAlloc(size)) {
        return p;
    }
    throw std::bad_alloc();
}

}  // namespace

// clang-format off
void* operator new(std::size_t size) { return WatchedAllocOrThrow(size); }
void* operator new[](std::size_t size) { return WatchedAllocOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return WatchedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return WatchedAlloc(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
// clang-format on

namespace {

YKMessage SmallMessage(int32 tag) {
    YKMessage m('smal');
    m.AddInt32("tag", tag);
    m.AddString("name", "small");
    return m;
}

// Shrinks far below a fifth of its flattened size.
YKMessage CompressibleMessage() {
    YKMessage m('big ');
    m.AddString("text", std::string(20000, 'a'));
    return m;
}

// Random bytes do not shrink; random hex digits shrink to about half, still too little.
YKMessage NoisyMessage(bool hexDigits) {
    std::mt19937 random(7);
    std::string bytes(4000, '\0');
    for (char& c : bytes) {
        c = hexDigits ? "0123456789abcdef"[random() % 16] : static_cast<char>(random());
    }
    YKMessage m('nois');
    m.AddData("noise", YK_RAW_TYPE, bytes.data(), static_cast<ssize_t>(bytes.size()));
    return m;
}

std::string Word(uint32 value) {
    const char bytes[] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                          static_cast<char>(value >> 8), static_cast<char>(value)};
    return std::string(bytes, 4);
}

class MsgFileTest : public ::testing::Test {
protected:
    std::string Contents() const { return ReadBytes(mPath); }
    void Store(const std::string& bytes) const { WriteBytes(mPath, bytes); }

    void WriteMessages(std::initializer_list<YKMessage> messages, bool packed = true) const {
        YKMsgFile file;
        file.SetPacked(packed);
        ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_WRITE_ONLY));
        for (const YKMessage& m : messages) {
            ASSERT_TRUE(file.PutMessage(&m));
        }
        ASSERT_TRUE(file.Close());
    }

    TempDir mDir;
    std::string mPath = mDir.PathOf("file.gr");
};

// The header of a packed file claiming `count` records, then `records`.
std::string FileOf(uint32 count, const std::string& records) {
    return "gRvk" + Word(101) + Word(0x31) + Word(count) + records;
}

std::string PlainRecord(const YKMessage& m) {
    const std::string flat = m.Flatten();
    return Word(flat.size()) + flat;
}

std::string CompressedRecord(const std::string& packed, uint32 n) {
    return Word((packed.size() + 4) | 0x80000000u) + Word(n) + packed;
}

void ExpectSame(const YKMessage& a, const YKMessage& b) {
    EXPECT_EQ(a.Flatten(), b.Flatten());
}

// --- Writing

TEST_F(MsgFileTest, HeaderAndRecordsAreWrittenByteForByte) {
    WriteMessages({});
    EXPECT_EQ(Contents(), FileOf(0, ""));
    WriteMessages({}, false);
    EXPECT_EQ(Contents().substr(8), Word(0x11) + Word(0));

    // Small and incompressible messages stay plain; so does one that only halves.
    const YKMessage small = SmallMessage(1);
    WriteMessages({small, NoisyMessage(false), NoisyMessage(true)});
    EXPECT_EQ(Contents(), FileOf(3, PlainRecord(small) + PlainRecord(NoisyMessage(false)) +
                                        PlainRecord(NoisyMessage(true))));
    WriteMessages({CompressibleMessage()}, false);
    EXPECT_EQ(Contents().substr(8), Word(0x11) + Word(1) + PlainRecord(CompressibleMessage()));

    const std::string flat = CompressibleMessage().Flatten();
    WriteMessages({CompressibleMessage()});
    const std::string bytes = Contents();
    const uint32 c = static_cast<uint32>(bytes.size()) - 24;
    EXPECT_LE(c, static_cast<uint32>(flat.size() * 0.2 + 12));
    EXPECT_EQ(bytes.substr(16, 8), Word((c + 4) | 0x80000000u) + Word(flat.size()));
    std::string unpacked(flat.size(), '\0');
    uLongf size = unpacked.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(unpacked.data()), &size,
                         reinterpret_cast<const Bytef*>(bytes.data() + 24), c),
              Z_OK);
    EXPECT_EQ(unpacked, flat);
}

// --- Reading

TEST_F(MsgFileTest, HeaderIsChecked) {
    struct Case {
        size_t offset;
        uint32 value;
        bool opens;
    } cases[] = {{4, 0, false},   {4, 1, true},    {4, 102, false}, {0, 'kvRg', false},
                 {8, 0x11, true}, {8, 0x51, true}, {8, 0x30, false}};
    WriteMessages({CompressibleMessage()});
    const std::string good = Contents();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "word at " << c.offset << " = " << c.value);
        Store(std::string(good).replace(c.offset, 4, Word(c.value)));
        YKMsgFile file;
        YKMessage m;
        ASSERT_EQ(file.Open(mPath.c_str(), YK_BIN_READ_ONLY), c.opens);
        EXPECT_EQ(file.GetMessage(&m), c.opens);  // compressed records read whatever the flags
        if (c.opens) {
            EXPECT_EQ(file.IsPacked(), c.offset != 8 || (c.value & 0x20) != 0);
        }
    }
    Store(good.substr(0, 10));
    YKMsgFile file;
    EXPECT_FALSE(file.Open(mPath.c_str(), YK_BIN_READ_ONLY));
    EXPECT_FALSE(file.Open(mPath.c_str(), YK_BIN_READ_WRITE));
}

TEST_F(MsgFileTest, CountIsRewrittenAfterEveryPutAndRecordsReadInOrderOrByIndex) {
    const YKMessage messages[] = {SmallMessage(0), CompressibleMessage(), SmallMessage(2)};
    YKMsgFile writer;
    ASSERT_TRUE(writer.Open(mPath.c_str(), YK_BIN_WRITE_ONLY));
    YKMessage m;
    EXPECT_FALSE(writer.GetMessage(&m));
    YKMsgFile file;
    for (int32 i = 0; i < 3; ++i) {
        ASSERT_TRUE(writer.PutMessage(&messages[i]));
        EXPECT_EQ(writer.CurrentMsgIndex(), i + 1);
        ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_READ_ONLY));  // before the writer closes
        EXPECT_EQ(file.CountMessages(), i + 1);
        EXPECT_FALSE(file.PutMessage(&messages[0]));
    }
    for (const YKMessage& expected : messages) {
        ASSERT_TRUE(file.GetMessage(&m));
        ExpectSame(m, expected);
    }
    EXPECT_FALSE(file.GetMessage(&m));
    EXPECT_EQ(file.CurrentRecordOffset(), static_cast<int64>(Contents().size()));

    ASSERT_TRUE(file.GetMessage(&m, 2));
    ExpectSame(m, messages[2]);
    EXPECT_EQ(file.CurrentMsgIndex(), 3);
    ASSERT_TRUE(file.GetMessage(&m, 0));
    ASSERT_TRUE(file.GetMessage(&m));
    ExpectSame(m, messages[1]);
    EXPECT_FALSE(file.GetMessage(&m, 3));
    EXPECT_FALSE(file.GetMessage(&m, -1));
    EXPECT_EQ(file.CurrentMsgIndex(), 2);
}

TEST_F(MsgFileTest, DamagedRecordFailsAloneAndKeepsItsPlace) {
    const std::string good = PlainRecord(SmallMessage(0));
    std::string badBytes = SmallMessage(1).Flatten();
    badBytes[0] ^= 0x55;
    WriteMessages({SmallMessage(0), SmallMessage(0), CompressibleMessage()});
    const std::string whole = Contents();
    const int64 third = 16 + 2 * static_cast<int64>(good.size());
    const std::string cases[] = {
        whole.substr(0, third + 2),  // cut in the first word
        whole.substr(0, third + 6),  // cut in the size word
        whole.substr(0, whole.size() - 1),
        FileOf(3, good + good + Word(0)),  // empty records
        FileOf(3, good + good + Word(4 | 0x80000000u) + Word(10)),
        FileOf(3, good + good + Word(5 | 0x80000000u) + Word(0) + "x"),
    };
    for (const std::string& bytes : cases) {
        Store(bytes);
        YKMsgFile file;
        ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_READ_ONLY));
        YKMessage m;
        EXPECT_TRUE(file.GetMessage(&m) && file.GetMessage(&m));
        for (int attempt = 0; attempt < 2; ++attempt) {
            EXPECT_FALSE(file.GetMessage(&m));
            EXPECT_EQ(file.CurrentMsgIndex(), 2);
            EXPECT_EQ(file.CurrentRecordOffset(), third);
        }
        EXPECT_FALSE(file.GetMessage(&m, 2));
        EXPECT_TRUE(file.GetMessage(&m, 1));
    }
    // Bytes that do not unflatten fail their record only; an empty record cannot be skipped.
    Store(FileOf(3, Word(badBytes.size()) + badBytes + good + Word(0)));
    YKMsgFile file;
    YKMessage m;
    ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_READ_ONLY));
    EXPECT_FALSE(file.GetMessage(&m));
    EXPECT_TRUE(file.GetMessage(&m));
    ExpectSame(m, SmallMessage(0));
    EXPECT_FALSE(file.GetMessage(&m, 2));
}

TEST_F(MsgFileTest, HostileSizesAreRefusedBeforeAllocating) {
    const std::string flat = CompressibleMessage().Flatten();
    std::string packed(compressBound(flat.size()), '\0');
    uLongf c = packed.size();
    ASSERT_EQ(compress(reinterpret_cast<Bytef*>(packed.data()), &c,
                       reinterpret_cast<const Bytef*>(flat.data()), flat.size()),
              Z_OK);
    packed.resize(c);
    struct Case {
        std::string record;
        size_t allowed;  // the largest allocation a careful reader needs
    } cases[] = {
        {CompressedRecord(std::string(16, 'z'), 0x3FFFFFFF), 64},  // beyond deflate's ratio
        {CompressedRecord(std::string(2100000, 'z'),
                          static_cast<uint32>(YKMsgFile::kMaxMessageSize) + 1),
         2200000},                                                     // above the cap
        {Word(0x7FFFFFF0) + "abc", 64},                                // longer than the file
        {CompressedRecord(packed, flat.size() + 1), flat.size() + 1},  // inflates short
        {CompressedRecord(packed, flat.size() - 1), flat.size()},      // inflates long
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.allowed);
        Store(FileOf(1, k.record));
        YKMsgFile file;
        ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_READ_ONLY));
        YKMessage m;
        gLargestAllocation = 0;
        gWatchAllocations = true;
        const bool read = file.GetMessage(&m);
        gWatchAllocations = false;
        EXPECT_FALSE(read);
        EXPECT_LE(gLargestAllocation.load(), k.allowed);
    }
    Store(FileOf(1, CompressedRecord(packed, flat.size())));
    YKMsgFile file;
    YKMessage m;
    ASSERT_TRUE(file.Open(mPath.c_str(), YK_BIN_READ_ONLY));
    EXPECT_TRUE(file.GetMessage(&m));
}

}  // namespace
