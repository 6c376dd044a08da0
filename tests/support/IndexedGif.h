#pragma once

// Animated GIFs for the tests that open them: frames of palette indices into red, green, blue and
// white, written by our own GIF writer.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "YKWriteGif.h"

// `delays.size()` frames of width x height, frame f shown for delays[f] hundredths of a second;
// index(f, i) is the palette index of pixel i of frame f.
template <typename IndexOf>
void WriteIndexedGif(const std::string& path, int32 width, int32 height,
                     const std::vector<int32>& delays, IndexOf index) {
    static const uint8 kColours[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    YKWriteGif writer;
    YKWriteGif::SGlobalInfo global;
    global.width = width;
    global.height = height;
    global.colorCount = 4;
    global.colorMap = kColours;
    ASSERT_TRUE(writer.CreateFile(path.c_str(), global, nullptr));
    std::vector<uint8> indices(static_cast<size_t>(width) * height);
    for (int32 f = 0; f < static_cast<int32>(delays.size()); ++f) {
        for (size_t i = 0; i < indices.size(); ++i) {
            indices[i] = static_cast<uint8>(index(f, i) & 3);
        }
        YKWriteGif::SLocalInfo local;
        local.width = width;
        local.height = height;
        local.delay = delays[f];
        local.flags = YKWriteGif::kDisposeNone;
        ASSERT_TRUE(writer.AddFrame8(indices.data(), local));
    }
    writer.CloseFile();
}
