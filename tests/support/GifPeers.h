#pragma once

// Peer programs as judges of GIF files: ImageMagick's coalesced frames and gifsicle's reading,
// beside the frames our own reader composes. Tests skip when a peer is not installed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "ReferenceImage.h"
#include "TempDir.h"
#include "YKRasterList.h"
#include "YKReadGif.h"

namespace gif_peers {

using Bytes = std::vector<uint8>;
using Pixels = std::vector<uint32>;

inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// The first candidate that can be run.
inline std::string FindProgram(const std::vector<std::string>& candidates) {
    for (const std::string& candidate : candidates) {
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

// Pixels of an 8-bit RGBA stream as straight 32-bit pixels.
inline Pixels FromRgba(const std::string& rgba, std::size_t first, std::size_t count) {
    Pixels pixels(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto byte = [&](std::size_t k) {
            return uint32{static_cast<uint8>(rgba[(first + i) * 4 + k])};
        };
        pixels[i] = byte(3) << 24 | byte(0) << 16 | byte(1) << 8 | byte(2);
    }
    return pixels;
}

// Empty when the frames agree: the same alpha everywhere, the same colour where `theirs` is
// opaque.
inline std::string Difference(const Pixels& ours, const Pixels& theirs) {
    if (ours.size() != theirs.size()) {
        return "sizes " + std::to_string(ours.size()) + " and " + std::to_string(theirs.size());
    }
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const bool opaque = (theirs[i] >> 24) == 255;
        if ((ours[i] >> 24) != (theirs[i] >> 24) || (opaque && ours[i] != theirs[i])) {
            char text[96];
            std::snprintf(text, sizeof text, "pixel %zu: ours %08X, theirs %08X", i, ours[i],
                          theirs[i]);
            return text;
        }
    }
    return {};
}

// The frames our reader composes from a file.
inline std::vector<Pixels> OurFrames(const std::string& path) {
    YKRasterList list;
    EXPECT_TRUE(YKReadGif().ReadAllFile(path.c_str(), list, nullptr)) << path;
    std::vector<Pixels> frames;
    for (int32 i = 0; i < list.CountItems(); ++i) {
        frames.push_back(ImageOf(*list.ItemAt(i)).pixels);
    }
    return frames;
}

class GifPeerTest : public ::testing::Test {
protected:
    struct Result {
        int status = -1;
        std::string out;
        std::string err;
    };

    void SetUp() override {
        mMagick = FindProgram({"/usr/bin/convert-im6.q16", "/usr/bin/convert"});
        mGifsicle = FindProgram({"/usr/bin/gifsicle", "/usr/local/bin/gifsicle"});
        if (mMagick.empty() || mGifsicle.empty()) {
            GTEST_SKIP() << "ImageMagick or gifsicle is not installed";
        }
    }

    Result Run(const std::string& program, const std::vector<std::string>& args) {
        std::string command = Quoted(program);
        for (const std::string& arg : args) {
            command += " " + Quoted(arg);
        }
        const std::string errors = mDir.PathOf("stderr.txt");
        command += " 2>" + Quoted(errors);
        Result result;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return result;
        }
        char buffer[65536];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            result.out.append(buffer, got);
        }
        result.status = pclose(pipe);
        result.err = ReadBytes(errors);
        return result;
    }

    Result Magick(const std::vector<std::string>& args) { return Run(mMagick, args); }
    Result Gifsicle(const std::vector<std::string>& args) { return Run(mGifsicle, args); }

    // ImageMagick's coalesced frames of a file whose screen is width x height.
    std::vector<Pixels> Coalesced(const std::string& path) {
        const Bytes header = ReadByteValues(path);
        const std::size_t size =
            static_cast<std::size_t>(header[6] | header[7] << 8) * (header[8] | header[9] << 8);
        const Result result = Magick({path, "-coalesce", "-depth", "8", "rgba:-"});
        EXPECT_EQ(result.status, 0) << result.err;
        std::vector<Pixels> frames;
        for (std::size_t at = 0; size > 0 && (at + size) * 4 <= result.out.size(); at += size) {
            frames.push_back(FromRgba(result.out, at, size));
        }
        return frames;
    }

    std::string mMagick;
    std::string mGifsicle;
    TempDir mDir;
};

}  // namespace gif_peers
