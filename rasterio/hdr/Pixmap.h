#pragma once

// Pixmap: a view of pixels owned elsewhere. Pixmap<uint32> views a 32-bit raster (alpha, red,
// green, blue from the high byte down); Pixmap<uint8> holds one palette index per pixel.

#include "yk_types.h"

template <typename T>
struct Pixmap {
    int32 w = 0;
    int32 h = 0;
    int32 bpr = 0;  // bytes per row
    T* bits = nullptr;

    T* Row(int32 y) const {
        return reinterpret_cast<T*>(reinterpret_cast<uint8*>(bits) + int64(y) * bpr);
    }
};
