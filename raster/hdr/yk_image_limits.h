#pragma once

// The largest pixel store made anywhere: a side of at most 32768 pixels and at most 1 GiB in all.
// Sizes come from files and archives, so they are checked before anything is allocated. Canvases
// obey the same limit, since rendering one makes a raster of its size.

#include <cstdint>

#include "YKRect.h"
#include "yk_types.h"

constexpr int64 kYKMaxImageSide = 32768;
constexpr int64 kYKMaxImageBytes = int64{1} << 30;

constexpr bool yk_image_size_ok(int64 width, int64 height, int32 bytesPerPixel) {
    return width > 0 && height > 0 && width <= kYKMaxImageSide && height <= kYKMaxImageSide &&
           width * height * bytesPerPixel <= kYKMaxImageBytes;
}

// A rectangle a 32-bit raster can cover. Its right and bottom stay below the largest int32, so
// that a loop up to and including them ends.
constexpr bool yk_image_frame_ok(const YKRect<int32>& frame) {
    return frame.right < INT32_MAX && frame.bottom < INT32_MAX &&
           yk_image_size_ok(int64{frame.right} - frame.left + 1,
                            int64{frame.bottom} - frame.top + 1, 4);
}
