#pragma once

// Reference images for rendering tests: small PNGs under tests/data/<feature>/, compared with a
// stated tolerance per channel. On a mismatch the actual image and a difference image are
// written to the current directory for a look. GRAVIK_UPDATE_REFERENCES=1 in the environment
// (re)writes a reference instead of comparing with it.

#include <string>
#include <vector>

#include "YKRect.h"
#include "yk_types.h"

class YKBitmap;
class YKRaster;

struct PixelImage {
    int32 width = 0;
    int32 height = 0;
    // Straight 32-bit pixels, alpha in bits 24-31, row after row.
    std::vector<uint32> pixels;
};

bool WritePng(const std::string& path, const PixelImage& image);
bool ReadPng(const std::string& path, PixelImage* image);
// The pixels of `rect` of a bitmap.
PixelImage ImageOf(YKBitmap& bitmap, YKRect<int32> rect);
// The pixels of a 32-bit raster, without the padding of its rows.
PixelImage ImageOf(const YKRaster& raster);

// Empty when the image matches tests/data/<name>.png within `tolerance` levels per channel;
// otherwise what differs.
std::string CompareWithReference(const std::string& name, const PixelImage& image, int32 tolerance);
