#pragma once

// The largest pixel store made anywhere: a side of at most 32768 pixels and at most 1 GiB in all.
// Sizes come from files and archives, so they are checked before anything is allocated.

#include "yk_types.h"

constexpr int64 kYKMaxImageSide = 32768;
constexpr int64 kYKMaxImageBytes = int64{1} << 30;

constexpr bool yk_image_size_ok(int64 width, int64 height, int32 bytesPerPixel) {
    return width > 0 && height > 0 && width <= kYKMaxImageSide && height <= kYKMaxImageSide &&
           width * height * bytesPerPixel <= kYKMaxImageBytes;
}
