#pragma once

// Shared by the GIF tests: writing a GIF from index frames or block by block, and random or
// telling palettes.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "YKWriteGif.h"

namespace gif_test {

// One frame for the writer; `map` is the local table (empty: none).
struct Frame {
    YKWriteGif::SLocalInfo info;
    std::vector<uint8> indices;
    std::vector<uint8> map;
};

inline Frame MakeFrame(int32 width, int32 height, std::vector<uint8> indices) {
    Frame frame;
    frame.info.width = width;
    frame.info.height = height;
    frame.indices = std::move(indices);
    return frame;
}

inline bool WriteGif(const std::string& path, const YKWriteGif::SGlobalInfo& global,
                     std::vector<Frame> frames) {
    YKWriteGif writer;
    if (!writer.CreateFile(path.c_str(), global, nullptr)) {
        return false;
    }
    for (Frame& frame : frames) {
        if (!frame.map.empty()) {
            frame.info.colorMap = frame.map.data();
            frame.info.colorCount = static_cast<int32>(frame.map.size() / 3);
        }
        writer.AddFrame8(frame.indices.data(), frame.info);
    }
    writer.CloseFile();
    return true;
}

inline std::vector<uint8> RandomBytes(std::mt19937& random, std::size_t count, int32 below) {
    std::uniform_int_distribution<int32> pick(0, below - 1);
    std::vector<uint8> bytes(count);
    for (uint8& b : bytes) {
        b = static_cast<uint8>(pick(random));
    }
    return bytes;
}

inline std::vector<uint8> RandomPalette(std::mt19937& random, int32 colors) {
    return RandomBytes(random, static_cast<std::size_t>(colors) * 3, 256);
}

// The opaque pixel of entry `index` of a packed RGB table.
inline uint32 PaletteColor(const std::vector<uint8>& map, int32 index) {
    return 0xFF000000u | uint32{map[index * 3]} << 16 | uint32{map[index * 3 + 1]} << 8 |
           map[index * 3 + 2];
}

// Assembles GIF files block by block, valid or not.
class GifBuilder {
public:
    // Signature and screen descriptor, with a global table when `table` is not empty (its size
    // must then match the packed byte).
    GifBuilder& Screen(int32 width, int32 height, uint8 packed, uint8 background = 0,
                       const std::vector<uint8>& table = {}, const char* signature = "GIF89a") {
        mBytes.insert(mBytes.end(), signature, signature + 6);
        Word(width).Word(height).Byte(packed).Byte(background).Byte(0);
        return Raw(table);
    }
    GifBuilder& GraphicControl(uint8 packed, int32 delay, uint8 transparent) {
        Byte(0x21).Byte(0xF9).Byte(4).Byte(packed).Word(delay).Byte(transparent);
        return Byte(0);
    }
    // Descriptor, optional local table, minimum code size and `data` cut into sub-blocks.
    GifBuilder& Image(int32 left, int32 top, int32 width, int32 height, uint8 packed,
                      const std::vector<uint8>& table, int32 minCodeSize,
                      const std::vector<uint8>& data) {
        Byte(0x2C).Word(left).Word(top).Word(width).Word(height).Byte(packed).Raw(table);
        Byte(static_cast<uint8>(minCodeSize));
        return SubBlocks(data);
    }
    // `data` in sub-blocks of at most 255 bytes, then the terminator.
    GifBuilder& SubBlocks(const std::vector<uint8>& data) {
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t size = std::min<std::size_t>(255, data.size() - at);
            Byte(static_cast<uint8>(size));
            mBytes.insert(mBytes.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                          data.begin() + static_cast<std::ptrdiff_t>(at + size));
        }
        return Byte(0);
    }
    GifBuilder& Byte(uint8 value) {
        mBytes.push_back(value);
        return *this;
    }
    GifBuilder& Word(int32 value) {
        return Byte(static_cast<uint8>(value)).Byte(static_cast<uint8>(value >> 8));
    }
    GifBuilder& Raw(const std::vector<uint8>& bytes) {
        mBytes.insert(mBytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    std::vector<uint8> Bytes() const { return mBytes; }

private:
    std::vector<uint8> mBytes;
};

// LZW data from (code, width in bits) pairs, packed least significant bit first.
inline std::vector<uint8> PackCodes(const std::vector<std::pair<int32, int32>>& codes) {
    std::vector<uint8> bytes;
    int32 used = 0;
    for (const auto& [code, width] : codes) {
        for (int32 bit = 0; bit < width; ++bit, ++used) {
            if (used % 8 == 0) {
                bytes.push_back(0);
            }
            bytes.back() |= static_cast<uint8>(((code >> bit) & 1) << (used % 8));
        }
    }
    return bytes;
}

// A table whose entries all differ in red, so a pixel tells its index.
inline std::vector<uint8> IndexPalette(int32 colors) {
    std::vector<uint8> map;
    for (int32 i = 0; i < colors; ++i) {
        map.insert(map.end(), {static_cast<uint8>(i), static_cast<uint8>(255 - i),
                               static_cast<uint8>(i ^ 0x5A)});
    }
    return map;
}

}  // namespace gif_test
