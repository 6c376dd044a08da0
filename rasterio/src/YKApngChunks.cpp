// APNG chunks: CRCs, sequence numbers, row filters and deflated image data.

#include <zlib.h>

#include <array>
#include <cstdlib>

#include "yk_apng_chunks_internal.h"
#include "yk_io_error_internal.h"

namespace yk_apng {

namespace {

constexpr int32 kBytesPerPixel = 4;
// Level 6 packs filtered RGBA within half a percent of level 9, and a seventh smaller than
// level 1, for a moderate share of the time between them.
constexpr int kZlibLevel = 6;
// Compressed data is emitted in chunks of this size.
constexpr uInt kChunkData = 1 << 16;

enum Filter : uint8 { kNone, kSub, kUp, kAverage, kPaeth, kFilterCount };

uint8 Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    return static_cast<uint8>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// `out` gets the filter byte then the row filtered with `filter` against `prior` (zeros above
// the first row).
void FilterRow(Filter filter, const uint8* row, const uint8* prior, size_t size, uint8* out) {
    out[0] = filter;
    for (size_t i = 0; i < size; ++i) {
        const int left = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
        const int up = prior[i];
        const int upLeft = i >= kBytesPerPixel ? prior[i - kBytesPerPixel] : 0;
        int predicted = 0;
        switch (filter) {
            case kSub:
                predicted = left;
                break;
            case kUp:
                predicted = up;
                break;
            case kAverage:
                predicted = (left + up) / 2;
                break;
            case kPaeth:
                predicted = Paeth(left, up, upLeft);
                break;
            default:
                break;
        }
        out[i + 1] = static_cast<uint8>(row[i] - predicted);
    }
}

// The usual heuristic: the filter whose output, read as signed bytes, sums to the least
// magnitude tends to deflate best.
uint64 Cost(const std::vector<uint8>& filtered) {
    uint64 sum = 0;
    for (size_t i = 1; i < filtered.size(); ++i) {
        sum += static_cast<uint64>(std::abs(static_cast<int>(static_cast<int8>(filtered[i]))));
    }
    return sum;
}

}  // namespace

void PutBig32(std::vector<uint8>& bytes, uint32 value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<uint8>(value >> shift));
    }
}

void PutBig16(std::vector<uint8>& bytes, uint16 value) {
    bytes.push_back(static_cast<uint8>(value >> 8));
    bytes.push_back(static_cast<uint8>(value));
}

void ChunkWriter::Signature() {
    static constexpr uint8 kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::fwrite(kSignature, 1, sizeof kSignature, mFile);
}

void ChunkWriter::Chunk(const char* type, const std::vector<uint8>& data) {
    std::vector<uint8> head;
    PutBig32(head, static_cast<uint32>(data.size()));
    head.insert(head.end(), type, type + 4);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    // An empty vector's buffer may be null: zlib takes that as a request for the initial value,
    // and fwrite must not be given it at all.
    if (!data.empty()) {
        crc = crc32_z(crc, data.data(), data.size());
    }
    std::vector<uint8> tail;
    PutBig32(tail, static_cast<uint32>(crc));
    std::fwrite(head.data(), 1, head.size(), mFile);
    if (!data.empty()) {
        std::fwrite(data.data(), 1, data.size(), mFile);
    }
    std::fwrite(tail.data(), 1, tail.size(), mFile);
}

bool ChunkWriter::ImageData(const std::vector<uint8>& rgba, int32 width, int32 height,
                            bool frameData, std::string* error) {
    z_stream stream{};
    if (deflateInit(&stream, kZlibLevel) != Z_OK) {
        yk_set_error(error, "cannot start zlib");
        return false;
    }
    const size_t rowSize = size_t(width) * kBytesPerPixel;
    const std::vector<uint8> zeros(rowSize, 0);
    std::array<std::vector<uint8>, kFilterCount> candidates;
    for (std::vector<uint8>& candidate : candidates) {
        candidate.resize(rowSize + 1);
    }
    std::vector<uint8> out(kChunkData);
    // A chunk goes out whenever the buffer fills, and with what is left at the end.
    const auto emit = [&] {
        const size_t size = kChunkData - stream.avail_out;
        if (size == 0) {
            return;
        }
        std::vector<uint8> data;
        data.reserve(size + 4);
        if (frameData) {
            PutBig32(data, NextSequence());
        }
        data.insert(data.end(), out.begin(), out.begin() + std::ptrdiff_t(size));
        Chunk(frameData ? "fdAT" : "IDAT", data);
        stream.next_out = out.data();
        stream.avail_out = kChunkData;
    };
    stream.next_out = out.data();
    stream.avail_out = kChunkData;
    int status = Z_OK;
    for (int32 y = 0; y <= height && status == Z_OK; ++y) {
        const bool last = y == height;
        const std::vector<uint8>* chosen = nullptr;
        if (!last) {
            const uint8* row = rgba.data() + size_t(y) * rowSize;
            const uint8* prior = y > 0 ? row - rowSize : zeros.data();
            uint64 best = UINT64_MAX;
            for (uint8 f = kNone; f < kFilterCount; ++f) {
                FilterRow(static_cast<Filter>(f), row, prior, rowSize, candidates[f].data());
                const uint64 cost = Cost(candidates[f]);
                if (cost < best) {
                    best = cost;
                    chosen = &candidates[f];
                }
            }
            stream.next_in = const_cast<Bytef*>(chosen->data());
            stream.avail_in = static_cast<uInt>(chosen->size());
        }
        do {
            status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            if (stream.avail_out == 0) {
                emit();
            }
        } while (status == Z_OK && (last || stream.avail_in > 0));
    }
    emit();
    deflateEnd(&stream);
    if (status != Z_STREAM_END) {
        yk_set_error(error, "zlib failed to compress a frame");
        return false;
    }
    return true;
}

}  // namespace yk_apng
