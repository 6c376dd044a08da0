#pragma once

// The raster work behind the viewer layer's bitmap selection. A mask is a 32-bit bitmap whose
// alpha marks the selected pixels (colour black); every result is clipped to the canvas and
// has its frame shrunk to what it selects, so the work areas never exceed the canvas. A mask
// that selects nothing comes back null.

#include <memory>
#include <vector>

#include "YKBitmap.h"

namespace yk_selection {

// The alphas of `bitmap` over `area`, row after row; 0 outside the bitmap. Empty when `area`
// is empty or too large for one image.
std::vector<uint8> Alphas(YKBitmap* bitmap, YKRect<int32> area);
// A mask holding `alphas` laid over `area`; null when every alpha is 0.
std::unique_ptr<YKBitmap> FromAlphas(const std::vector<uint8>& alphas, YKRect<int32> area);

// Every pixel of `rect` on the canvas.
std::unique_ptr<YKBitmap> Rectangle(YKRect<int32> rect, YKRect<int32> canvas);
// The ellipse inscribed in the pixels of `rect`.
std::unique_ptr<YKBitmap> Ellipse(YKRect<int32> rect, YKRect<int32> canvas, bool antialias);
// The closed polygon through `points` (non-zero rule). Points that are not finite are left out
// and the others kept within a margin around the canvas, so a stray point cannot push the scan
// conversion beyond its fixed-point range.
std::unique_ptr<YKBitmap> Polygon(const std::vector<YKPoint<double>>& points, YKRect<int32> canvas,
                                  bool antialias);
// The union (the larger alpha) of two masks, or `a` less `b` (a·(255 − b)).
std::unique_ptr<YKBitmap> Combine(YKBitmap* a, YKBitmap* b, bool subtract, YKRect<int32> canvas);
// The mask's alpha blurred over `radius` pixels (at most 255); the blur may spread `radius`
// pixels beyond the mask, within the canvas.
std::unique_ptr<YKBitmap> Feather(YKBitmap* mask, int32 radius, YKRect<int32> canvas);
// The pixels 4-connected to `seed` whose channels (alpha included) each differ from the seed's
// by at most `tolerance`. Null when the seed is off the canvas.
std::unique_ptr<YKBitmap> MagicWand(YKBitmap* image, YKPoint<int32> seed, int32 tolerance,
                                    YKRect<int32> canvas);
// The alpha of `pixels` on the canvas, as a mask.
std::unique_ptr<YKBitmap> AlphaOf(YKBitmap* pixels, YKRect<int32> canvas);

}  // namespace yk_selection
