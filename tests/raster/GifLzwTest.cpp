// The LZW coder against a slow, obvious reference: the same bytes for every code size, and
// decoding of the choices other encoders make (no clear when the table is full, early clears).

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "FileBytes.h"
#include "GifTestFiles.h"
#include "ReferenceImage.h"
#include "TempDir.h"
#include "YKReadGif.h"
#include "YKWriteGif.h"

namespace {

using Bytes = std::vector<uint8>;

// What the reference encoder does when all 4096 codes are taken.
enum class FullTable {
    kClear,  // emit a clear code and start over
    kKeep,   // go on with the full table, adding nothing
};

// Textbook LZW with a map from (prefix code, index) to code. The n-th code after a clear
// (counting from 1) is min(12, bit length of clear + n) bits wide: by then the decoder's table
// has grown by one entry per code before it.
class ReferenceLzw {
public:
    ReferenceLzw(int32 minCodeSize, FullTable full, int32 clearEvery)
        : mClear(1 << minCodeSize), mFull(full), mClearEvery(clearEvery) {}

    // The data sub-blocks of `indices`, terminator included.
    Bytes Encode(const Bytes& indices) {
        Reset();
        Emit(mClear);
        Reset();
        int32 w = indices[0];
        for (std::size_t i = 1; i < indices.size(); ++i) {
            const int32 c = indices[i];
            const auto found = mTable.find({w, c});
            if (found != mTable.end()) {
                w = found->second;
                continue;
            }
            Emit(w);
            if (mNext < 4096) {
                mTable[{w, c}] = mNext++;
            } else if (mFull == FullTable::kClear) {
                Emit(mClear);
                Reset();
            }
            if (mClearEvery > 0 && mSinceClear >= mClearEvery) {
                Emit(mClear);
                Reset();
            }
            w = c;
        }
        Emit(w);
        Emit(mClear + 1);
        return Packets();
    }

    int32 ClearsEmitted() const { return mClears; }

private:
    void Reset() {
        mTable.clear();
        mNext = mClear + 2;
        mSinceClear = 0;
    }
    void Emit(int32 code) {
        const int32 width = std::min(
            12, static_cast<int32>(std::bit_width(static_cast<uint32>(mClear + mSinceClear + 1))));
        for (int32 bit = 0; bit < width; ++bit) {
            mBits.push_back(((code >> bit) & 1) != 0);
        }
        mClears += code == mClear ? 1 : 0;
        ++mSinceClear;
    }
    Bytes Packets() const {
        Bytes bytes((mBits.size() + 7) / 8, 0);
        for (std::size_t i = 0; i < mBits.size(); ++i) {
            bytes[i / 8] |= static_cast<uint8>(mBits[i] << (i % 8));
        }
        Bytes packets;
        for (std::size_t at = 0; at < bytes.size(); at += 254) {
            const std::size_t size = std::min<std::size_t>(254, bytes.size() - at);
            packets.push_back(static_cast<uint8>(size));
            packets.insert(packets.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                           bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        }
        packets.push_back(0);
        return packets;
    }

    int32 mClear;
    FullTable mFull;
    int32 mClearEvery;
    std::map<std::pair<int32, int32>, int32> mTable;
    int32 mNext = 0;
    int32 mSinceClear = 0;
    int32 mClears = 0;
    std::vector<bool> mBits;
};

// Index streams of several kinds: noise, long runs, and a repeated short pattern. Lengths
// above 1000 are multiples of it, so the stream can be an image 1000 wide.
std::vector<Bytes> Streams(std::mt19937& random, int32 colors) {
    std::vector<Bytes> streams;
    for (const std::size_t length :
         {std::size_t{1}, std::size_t{2}, std::size_t{300}, std::size_t{40000}}) {
        streams.push_back(gif_test::RandomBytes(random, length, colors));
    }
    Bytes runs;
    std::uniform_int_distribution<int32> runLength(1, 400);
    while (runs.size() < 60000) {
        runs.insert(runs.end(), static_cast<std::size_t>(runLength(random)),
                    gif_test::RandomBytes(random, 1, colors)[0]);
    }
    runs.resize(60000);
    streams.push_back(runs);
    Bytes pattern;
    for (int32 i = 0; i < 50000; ++i) {
        pattern.push_back(static_cast<uint8>((i * 7 / 3) % colors));
    }
    streams.push_back(pattern);
    return streams;
}

class GifLzwTest : public ::testing::TestWithParam<int32> {
protected:
    int32 CodeSize() const { return GetParam(); }
    int32 Colors() const { return 1 << CodeSize(); }

    static int32 Width(const Bytes& indices) {
        return static_cast<int32>(std::min<std::size_t>(indices.size(), 1000));
    }
    static int32 Height(const Bytes& indices) {
        return static_cast<int32>(indices.size()) / Width(indices);
    }

    // The image data our writer makes for `indices`.
    Bytes WrittenData(const Bytes& indices) {
        const Bytes palette = gif_test::IndexPalette(Colors());
        YKWriteGif::SGlobalInfo global;
        global.width = Width(indices);
        global.height = Height(indices);
        global.colorCount = Colors();
        global.colorMap = palette.data();
        const std::string path = mDir.PathOf("ours.gif");
        EXPECT_TRUE(gif_test::WriteGif(
            path, global, {gif_test::MakeFrame(global.width, global.height, indices)}));
        const Bytes file = ReadByteValues(path);
        // Screen 13, table, descriptor 10, minimum code size 1; the trailer is dropped.
        const std::size_t data = 13 + palette.size() + 10;
        EXPECT_EQ(file[data], CodeSize());
        return {file.begin() + static_cast<std::ptrdiff_t>(data + 1), file.end() - 1};
    }

    // The indices our reader finds in an image of the indices' shape with the given data.
    Bytes ReadBack(const Bytes& data, const Bytes& indices) {
        const std::string path = mDir.PathOf("theirs.gif");
        gif_test::GifBuilder gif;
        gif.Screen(Width(indices), Height(indices), static_cast<uint8>(0x80 | (CodeSize() - 1)), 0,
                   gif_test::IndexPalette(Colors()));
        gif.Byte(0x2C)
            .Word(0)
            .Word(0)
            .Word(Width(indices))
            .Word(Height(indices))
            .Byte(0)
            .Byte(static_cast<uint8>(CodeSize()));
        gif.Raw(data).Byte(';');
        WriteBytes(path, gif.Bytes());
        YKReadGif reader;
        std::unique_ptr<YKRaster> raster;
        EXPECT_TRUE(reader.BeginRead(path.c_str(), nullptr));
        EXPECT_TRUE(reader.ReadNextImage(raster));
        Bytes found;
        if (raster != nullptr) {
            for (const uint32 pixel : ImageOf(*raster).pixels) {
                found.push_back(static_cast<uint8>(pixel >> 16));
            }
        }
        return found;
    }

    std::mt19937 mRandom{20240611u};
    TempDir mDir;
};

TEST_P(GifLzwTest, EncoderWritesTheReferenceBytes) {
    for (const Bytes& indices : Streams(mRandom, Colors())) {
        ReferenceLzw reference(CodeSize(), FullTable::kClear, 0);
        EXPECT_EQ(WrittenData(indices), reference.Encode(indices)) << "length " << indices.size();
    }
}

TEST_P(GifLzwTest, FullTableClearsMidStreamAndRoundTrips) {
    const Bytes noise = gif_test::RandomBytes(mRandom, 120000, Colors());
    ReferenceLzw reference(CodeSize(), FullTable::kClear, 0);
    const Bytes data = reference.Encode(noise);
    EXPECT_GE(reference.ClearsEmitted(), 2) << "a clear beyond the first";
    EXPECT_EQ(WrittenData(noise), data);
    EXPECT_EQ(ReadBack(data, noise), noise);
}

TEST_P(GifLzwTest, DecoderFollowsOtherEncodersTableChoices) {
    struct Choice {
        FullTable full;
        int32 clearEvery;
    };
    for (const Choice choice : {Choice{FullTable::kKeep, 0}, Choice{FullTable::kClear, 777},
                                Choice{FullTable::kKeep, 5000}}) {
        for (const Bytes& indices : Streams(mRandom, Colors())) {
            ReferenceLzw reference(CodeSize(), choice.full, choice.clearEvery);
            EXPECT_EQ(ReadBack(reference.Encode(indices), indices), indices)
                << "length " << indices.size() << ", clear every " << choice.clearEvery;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CodeSizes, GifLzwTest, ::testing::Range(2, 9));

}  // namespace
