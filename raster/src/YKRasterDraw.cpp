// The drawing primitives of YKRaster: every pixel goes through the drawing mode's merge method
// at full opacity, coloured by the pattern.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "YKRaster.h"

namespace {

constexpr int32 kFullLevel = 255;

int32 ClampToInt32(int64 v) {
    return static_cast<int32>(std::clamp<int64>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

// --- Pattern and pixels ---

void YKRaster::SetPattern(const uint8* pattern) {
    mHasPattern = pattern != nullptr;
    if (mHasPattern) {
        std::memcpy(mPattern, pattern, sizeof(mPattern));
    }
}

uint32 YKRaster::PatternColor(int32 x, int32 y) const {
    if (!mHasPattern) {
        return mHighColor;
    }
    return (mPattern[y & 7] >> (x & 7)) & 1 ? mHighColor : mLowColor;
}

void YKRaster::PutPixel(int32 x, int32 y) {
    if (!CanDraw() || !mFrame.Contains({x, y})) {
        return;
    }
    uint32* pixel = PixelAt(x, y);
    *pixel = yk_pixel_func_for(mDrawingMode)(*pixel, PatternColor(x, y), kFullLevel);
}

void YKRaster::FillSpan(int32 y, int32 left, int32 right) {
    if (y < mFrame.top || y > mFrame.bottom) {
        return;
    }
    left = std::max(left, mFrame.left);
    right = std::min(right, mFrame.right);
    if (left > right) {
        return;
    }
    uint32* row = PixelAt(left, y);
    if (!mHasPattern) {
        yk_color_func_for(mDrawingMode)(row, mHighColor, kFullLevel, right - left + 1);
        return;
    }
    const yk_pixel_func merge = yk_pixel_func_for(mDrawingMode);
    for (int32 x = left; x <= right; ++x, ++row) {
        *row = merge(*row, PatternColor(x, y), kFullLevel);
    }
}

// --- Rectangles and lines ---

void YKRaster::FillRect(int32 left, int32 top, int32 right, int32 bottom) {
    if (left > right || top > bottom || !CanDraw()) {
        return;
    }
    for (int32 y = std::max(top, mFrame.top); y <= std::min(bottom, mFrame.bottom); ++y) {
        FillSpan(y, left, right);
    }
}

void YKRaster::StrokeRect(int32 left, int32 top, int32 right, int32 bottom) {
    FillRect(left, top, right, top);
    FillRect(left, bottom, right, bottom);
    FillRect(left, top, left, bottom);
    FillRect(right, top, right, bottom);
}

void YKRaster::StrokeLine(int32 x0, int32 y0, int32 x1, int32 y1) {
    if (x0 == x1 || y0 == y1) {
        FillRect(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
        return;
    }
    if (!CanDraw()) {
        return;
    }
    // Bresenham along the longer axis; "major" and "minor" name the axes after the exchange.
    int64 dMajor = std::abs(int64{x1} - x0);
    int64 dMinor = std::abs(int64{y1} - y0);
    int32 x = x0;
    int32 y = y0;
    const int32 sx = x1 > x0 ? 1 : -1;
    const int32 sy = y1 > y0 ? 1 : -1;
    const bool steep = dMinor > dMajor;
    if (steep) {
        std::swap(dMajor, dMinor);
    }
    int32& major = steep ? y : x;
    int32& minor = steep ? x : y;
    const int32 majorStep = steep ? sy : sx;
    const int32 minorStep = steep ? sx : sy;
    int64 error = 2 * dMinor - dMajor;
    for (int64 i = 0; i < dMajor; ++i) {
        PutPixel(x, y);
        while (error >= 0) {
            minor += minorStep;
            error -= 2 * dMajor;
        }
        major += majorStep;
        error += 2 * dMinor;
    }
    PutPixel(x1, y1);
}

// --- Ellipses ---

template <typename Visit>
void YKRaster::WalkEllipse(int64 a, int64 b, Visit visit) {
    if (b == 0) {
        for (int64 x = 0; x <= a; ++x) {
            visit(x, int64{0});
        }
        return;
    }
    // The midpoint algorithm with every decision value scaled by 4 to stay in integers.
    const int64 a2 = a * a;
    const int64 b2 = b * b;
    int64 x = 0;
    int64 y = b;
    int64 d = 4 * b2 - 4 * a2 * b + a2;
    while (b2 * x < a2 * y) {  // slope below 1: x steps every time
        visit(x, y);
        if (d >= 0) {
            d -= 8 * a2 * (y - 1);
            --y;
        }
        d += 4 * b2 * (2 * x + 3);
        ++x;
    }
    d = b2 * (2 * x + 1) * (2 * x + 1) + 4 * a2 * (y - 1) * (y - 1) - 4 * a2 * b2;
    while (y >= 0) {  // y steps every time
        visit(x, y);
        if (d <= 0) {
            d += 8 * b2 * (x + 1);
            ++x;
        }
        d += 4 * a2 * (3 - 2 * y);
        --y;
    }
}

void YKRaster::FillEllipse(int32 left, int32 top, int32 right, int32 bottom) {
    if (left > right || top > bottom || !CanDraw() ||
        !mFrame.Intersects({left, top, right, bottom})) {
        return;
    }
    const int64 cx = (int64{left} + right) / 2;
    const int64 cy = (int64{top} + bottom) / 2;
    // One span per row, from the widest point the outline reaches on it, so that no pixel is
    // merged twice.
    const auto span = [&](int64 x, int64 y) {
        const int32 l = ClampToInt32(cx - x);
        const int32 r = ClampToInt32(cx + x);
        FillSpan(ClampToInt32(cy - y), l, r);
        if (y != 0) {
            FillSpan(ClampToInt32(cy + y), l, r);
        }
    };
    int64 rowY = -1;
    int64 rowX = 0;
    WalkEllipse(cx - left, cy - top, [&](int64 x, int64 y) {
        if (y != rowY && rowY >= 0) {
            span(rowX, rowY);
        }
        rowY = y;
        rowX = x;
    });
    span(rowX, rowY);
}

void YKRaster::StrokeEllipse(int32 left, int32 top, int32 right, int32 bottom) {
    if (left > right || top > bottom || !CanDraw() ||
        !mFrame.Intersects({left, top, right, bottom})) {
        return;
    }
    const int64 cx = (int64{left} + right) / 2;
    const int64 cy = (int64{top} + bottom) / 2;
    WalkEllipse(cx - left, cy - top, [&](int64 x, int64 y) {
        for (const int64 px : {cx + x, cx - x}) {
            PutPixel(ClampToInt32(px), ClampToInt32(cy + y));
            if (y != 0) {
                PutPixel(ClampToInt32(px), ClampToInt32(cy - y));
            }
            if (x == 0) {
                break;
            }
        }
    });
}

// --- Polygons ---

void YKRaster::FillPolygon(const YKPoint<int32>* points, int32 count) {
    if (points == nullptr || count < 2 || !CanDraw()) {
        return;
    }
    // The first two crossings of each frame row, found by walking each edge in 24.8 fixed point
    // from the row below its upper end to its lower end.
    struct Crossings {
        int32 first = 0;
        int32 second = 0;
        int32 count = 0;
    };
    std::vector<Crossings> rows(static_cast<std::size_t>(Height()));
    for (int32 i = 0; i < count; ++i) {
        YKPoint<int32> upper = points[i];
        YKPoint<int32> lower = points[i + 1 < count ? i + 1 : 0];
        if (upper.y == lower.y) {
            continue;
        }
        if (upper.y > lower.y) {
            std::swap(upper, lower);
        }
        const int64 step = ((int64{lower.x} - upper.x) * 256) / (int64{lower.y} - upper.y);
        const int32 first = std::max(upper.y + 1, mFrame.top);
        const int32 last = std::min(lower.y, mFrame.bottom);
        for (int32 y = first; y <= last; ++y) {
            const int32 x = ClampToInt32((int64{upper.x} * 256 + step * (int64{y} - upper.y)) >> 8);
            Crossings& row = rows[static_cast<std::size_t>(y - mFrame.top)];
            if (row.count == 0) {
                row.first = x;
            } else if (row.count == 1) {
                row.second = x;
            }
            ++row.count;
        }
    }
    for (int32 i = 0; i < Height(); ++i) {
        const Crossings& row = rows[static_cast<std::size_t>(i)];
        if (row.count > 0) {
            const int32 second = row.count > 1 ? row.second : row.first;
            FillSpan(mFrame.top + i, std::min(row.first, second), std::max(row.first, second));
        }
    }
}

void YKRaster::FillTriangle(YKPoint<int32> p1, YKPoint<int32> p2, YKPoint<int32> p3) {
    if (!CanDraw()) {
        return;
    }
    if (p2.y < p1.y) {
        std::swap(p1, p2);
    }
    if (p3.y < p1.y) {
        std::swap(p1, p3);
    }
    if (p3.y < p2.y) {
        std::swap(p2, p3);
    }
    // x on the edge a-b at row y; a flat edge gives its first end.
    const auto edgeX = [](YKPoint<int32> a, YKPoint<int32> b, int32 y) {
        if (a.y == b.y) {
            return a.x;
        }
        return ClampToInt32(a.x + (int64{b.x} - a.x) * (int64{y} - a.y) / (int64{b.y} - a.y));
    };
    if (p1.y == p3.y) {
        FillSpan(p1.y, std::min({p1.x, p2.x, p3.x}), std::max({p1.x, p2.x, p3.x}));
        return;
    }
    for (int32 y = std::max(p1.y, mFrame.top); y <= std::min(p3.y, mFrame.bottom); ++y) {
        const int32 along = edgeX(p1, p3, y);
        const int32 across = y < p2.y ? edgeX(p1, p2, y) : edgeX(p2, p3, y);
        FillSpan(y, std::min(along, across), std::max(along, across));
    }
}
