#pragma once

// The peer programs of the interop tests, run on files in a temporary folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "TempDir.h"

class PeerTest : public ::testing::Test {
protected:
    static constexpr const char* kMagick = "/usr/bin/convert-im6.q16";

    // Skips the test unless every program is installed.
    void Require(std::initializer_list<const char*> programs) {
        for (const char* program : programs) {
            if (access(program, X_OK) != 0) {
                GTEST_SKIP() << program << " is not installed";
            }
        }
    }

    void Run(const std::string& command) {
        EXPECT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
    }

    // ImageMagick's 8-bit RGBA decoding of a file, as 32-bit pixels; `options` go before the
    // output.
    std::vector<uint32> MagickDecode(const std::string& path, const std::string& options = "") {
        Run(std::string(kMagick) + " '" + path + "' " + options + " -depth 8 RGBA:'" +
            Path("decoded.rgba") + "'");
        const std::vector<uint8> rgba = ReadByteValues(Path("decoded.rgba"));
        std::vector<uint32> pixels(rgba.size() / 4);
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint8* p = &rgba[i * 4];
            pixels[i] = uint32{p[3]} << 24 | p[0] << 16 | p[1] << 8 | p[2];
        }
        return pixels;
    }

    // The pixels of a binary 8-bit PPM (as djpeg writes them), opaque.
    static std::vector<uint32> PpmPixels(const std::vector<uint8>& ppm) {
        std::istringstream head(
            std::string(ppm.begin(), ppm.begin() + std::min<size_t>(64, ppm.size())));
        std::string magic;
        size_t width = 0, height = 0, top = 0;
        head >> magic >> width >> height >> top;
        const size_t start = static_cast<size_t>(head.tellg()) + 1;  // one blank after the header
        std::vector<uint32> pixels;
        for (size_t at = start; at + 2 < ppm.size() && pixels.size() < width * height; at += 3) {
            pixels.push_back(0xFF000000 | ppm[at] << 16 | ppm[at + 1] << 8 | ppm[at + 2]);
        }
        return pixels;
    }

    std::string Path(const char* name) const { return mDir.PathOf(name); }

    TempDir mDir;
};
