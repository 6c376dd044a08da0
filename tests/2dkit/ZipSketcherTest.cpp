#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "OutlineProbe.h"
#include "PixelAt.h"
#include "YKBitmap.h"
#include "YKGradient.h"
#include "YKGradientBuffer.h"
#include "YKPattern.h"
#include "YKRaster.h"
#include "YKZipSketcher.h"
#include "yk_composition.h"

namespace {

using Point = YKPoint<double>;

class ZipSketcherTest : public ::testing::Test {
protected:
    ZipSketcherTest() {
        sketcher.SetBuffer(&bitmap);
        sketcher.SetFrame({0, 0, 63, 63});
        sketcher.SetAntgMode(YK_ANTG_ANTIALIASED);
        sketcher.SetFillColor(yk_color(200, 100, 50, 255));
        sketcher.SetStrokeStyle(YK_STYLE_NONE);
    }
    void Polygon(std::initializer_list<Point> points) {
        YKPointList list;
        outline_probe::Fill(list, points);
        sketcher.DrawPolygon(&list);
        EXPECT_EQ(list.CountItems(), 0);  // the caller's list is emptied
    }
    uint32 AlphaAt(int32 x, int32 y) { return PixelAt(bitmap, x, y) >> 24; }

    YKBitmap bitmap;
    YKZipSketcher sketcher;
};

TEST_F(ZipSketcherTest, CoverageOfWholeAndPartPixels) {
    Polygon({{2, 2}, {3, 2}, {3, 3}, {2, 3}});
    EXPECT_EQ(PixelAt(bitmap, 2, 2), 0xFFC86432u);
    EXPECT_EQ(AlphaAt(1, 2), 0u);
    EXPECT_EQ(AlphaAt(3, 2), 0u);
    // Half a pixel across gives coverage 1024, alpha 127; half a pixel down the same.
    Polygon({{10, 10}, {10.5, 10}, {10.5, 11}, {10, 11}});
    EXPECT_EQ(AlphaAt(10, 10), 127u);
    Polygon({{20, 20}, {21, 20}, {21, 20.5}, {20, 20.5}});
    EXPECT_EQ(AlphaAt(20, 20), 127u);
    // A fill colour's alpha scales the coverage's.
    sketcher.SetFillColor(yk_color(0, 0, 0, 128));
    Polygon({{30, 30}, {31, 30}, {31, 31}, {30, 31}});
    EXPECT_EQ(AlphaAt(30, 30), 128u);
}

TEST_F(ZipSketcherTest, NonZeroWindingFillsOverlapsOnceAndLeavesOppositeHoles) {
    // A pentagram: its centre winds twice and is filled.
    std::vector<Point> star;
    for (int32 i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 4 * M_PI / 5;
        star.push_back({32 + 25 * std::cos(a), 32 + 25 * std::sin(a)});
    }
    Polygon({star[0], star[1], star[2], star[3], star[4]});
    EXPECT_EQ(AlphaAt(32, 32), 255u);
    bitmap.MakeEmpty();
    // An outer square one way and an inner one the other way, joined by a zero-width bridge.
    Polygon({{4, 4},
             {60, 4},
             {60, 60},
             {4, 60},
             {4, 20},
             {20, 20},
             {20, 40},
             {40, 40},
             {40, 20},
             {4, 20}});
    EXPECT_EQ(AlphaAt(30, 30), 0u);
    EXPECT_EQ(AlphaAt(10, 30), 255u);
}

struct Fixed {
    int32 x;  // 1/256 pixel
    int32 y;  // 1/8 pixel
};

// Upright boxes in fixed point, one to three, some turned the other way (holes where they
// overlap one going the first way, often one cut out of the first box), joined into one polygon
// by bridges there and back. Leaning boxes have their corners moved across by a few units, so
// that their sides are steep but move.
std::vector<Fixed> RandomBoxes(std::mt19937& random, int32 left, int32 top, int32 width,
                               int32 height, bool leaning) {
    const auto integer = [&](int32 low, int32 high) {
        return std::uniform_int_distribution<int32>(low, high)(random);
    };
    std::vector<Fixed> polygon;
    bool turned = false;
    Fixed outer[2] = {};  // the first box's corners
    for (int32 part = integer(1, 3); part > 0; --part) {
        int32 x0 = integer(left * 256, (left + width) * 256);
        int32 y0 = integer(top * 8, (top + height) * 8);
        int32 x1 = x0 + integer(1, 90 * 256);
        int32 y1 = y0 + integer(1, 60 * 8);
        if (!polygon.empty() && integer(0, 1) == 0) {
            // Inside the first box, the other way round.
            x0 = integer(outer[0].x, outer[1].x - 1);
            y0 = integer(outer[0].y, outer[1].y - 1);
            x1 = integer(x0 + 1, outer[1].x);
            y1 = integer(y0 + 1, outer[1].y);
            turned = !turned;
        } else {
            turned = integer(0, 1) == 0;
        }
        if (polygon.empty()) {
            outer[0] = {x0, y0};
            outer[1] = {x1, y1};
        }
        const std::size_t first = polygon.size();
        if (!turned) {
            polygon.insert(polygon.end(), {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
        } else {
            polygon.insert(polygon.end(), {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
        }
        for (std::size_t i = first; leaning && i < polygon.size(); ++i) {
            polygon[i].x += integer(-4, 4);
        }
        polygon.push_back(polygon[first]);
    }
    return polygon;
}

// The coverage rules written out plainly, against the sketcher over random polygons and upright
// boxes on the fixed-point grid: every edge stepped from its top end, each sub-scanline's
// crossings sorted, inside spans merged (across gaps within one pixel) and summed per pixel of
// the frame. The fill replaces what the bitmap held over each row's touched pixels, uncovered
// ones included, and leaves the rest.
TEST(ZipSketcherCoverageTest, MatchesTheRulesOverRandomPolygonsAndBoxes) {
    std::mt19937 random(2024);
    const auto integer = [&](int32 low, int32 high) {
        return std::uniform_int_distribution<int32>(low, high)(random);
    };
    const YKRect<int32> frame{-6, -5, 125, 77};  // drawn with one pixel more on every side
    const int32 left = frame.left - 1;
    const int32 top = frame.top - 1;
    const int32 width = frame.right - frame.left + 3;
    const int32 height = frame.bottom - frame.top + 3;
    constexpr uint32 kBackground = 0xFF808080u;
    for (int32 round = 0; round < 240; ++round) {
        // Points in 1/256 pixel across and 1/8 down, some beyond the frame, some parts tiny. The
        // parts are joined into one polygon by bridges there and back, which cancel. Some parts
        // go round their centre, smooth or jagged, either way: long runs of sides going down or
        // up, which may start above the frame or end below it.
        std::vector<Fixed> polygon;
        for (int32 part = round % 3 == 0 ? integer(1, 3) : 0; part > 0; --part) {
            const int32 spread = integer(0, 1) != 0 ? 3 * 256 : 60 * 256;
            const int32 cx = integer(left * 256, (left + width) * 256);
            const int32 cy = integer(top * 8, (top + height) * 8);
            const std::size_t first = polygon.size();
            if (integer(0, 1) == 0) {
                const int32 corners = integer(10, 40);
                const double jag = integer(0, 1) * 0.4;
                const double turn = integer(0, 1) != 0 ? 1 : -1;
                for (int32 i = 0; i < corners; ++i) {
                    const double angle = turn * 2 * M_PI * i / corners;
                    const double r = spread * (1 - jag * integer(0, 100) / 100.0);
                    polygon.push_back({cx + static_cast<int32>(r * std::cos(angle)),
                                       cy + static_cast<int32>(r * std::sin(angle) / 32)});
                }
                polygon.push_back(polygon[first]);
                continue;
            }
            for (int32 i = integer(3, 12); i > 0; --i) {
                const int32 y = integer(0, 4) == 0 && polygon.size() > first
                                    ? polygon.back().y
                                    : cy + integer(-spread, spread) / 32;
                polygon.push_back({cx + integer(-spread, spread), y});
            }
            polygon.push_back(polygon[first]);
        }
        if (round % 3 != 0) {
            polygon = RandomBoxes(random, left, top, width, height, round % 3 == 2);
        }
        std::vector<int32> coverage(std::size_t(width) * height, 0);
        std::map<int32, std::vector<std::pair<int32, int32>>> crossings;  // y: (x, winding)
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            Fixed a = polygon[i];
            Fixed b = polygon[(i + polygon.size() - 1) % polygon.size()];
            const int32 winding = b.y < a.y ? -1 : 1;
            if (b.y < a.y) {
                std::swap(a, b);
            }
            const int32 dy = b.y - a.y;
            if (dy == 0) {
                continue;  // horizontal edges cover nothing
            }
            const int32 dx = b.x - a.x;
            const int32 direction = dx > 0 ? 1 : -1;
            const int32 whole = dy < std::abs(dx) ? std::abs(dx) / dy * direction : 0;
            const int32 up = dy < std::abs(dx) ? std::abs(dx) % dy : std::abs(dx);
            int32 x = a.x;
            int32 error = dx < 0 ? 1 - dy : 0;
            for (int32 y = a.y; y < b.y; ++y) {
                crossings[y].push_back({x, winding});
                x += whole;
                error += up;
                if (error > 0) {
                    x += direction;
                    error -= dy;
                }
            }
        }
        // Per row, the first and last pixel the spans touched.
        std::vector<std::pair<int32, int32>> touched(std::size_t(height), {width, -1});
        const auto add = [&](int32 y, int32 s, int32 e) {
            const int32 row = (y >> 3) - top;
            const int32 cs = std::max(s, left * 256) - left * 256;
            const int32 ce = std::min(e, (left + width) * 256) - left * 256;
            if (row >= 0 && row < height && cs < ce) {
                auto& [first, last] = touched[std::size_t(row)];
                first = std::min(first, cs >> 8);
                last = std::max(last, (ce & 255) != 0 ? ce >> 8 : (ce >> 8) - 1);
            }
            const auto put = [&](int32 pixel, int32 amount) {
                const int32 column = pixel - left;
                if (row >= 0 && row < height && column >= 0 && column < width) {
                    coverage[std::size_t(row) * width + column] += amount;
                }
            };
            const int32 ps = s >> 8, pe = e >> 8;
            if (ps == pe) {
                put(ps, (e - s) & 255);
                return;
            }
            put(ps, 256 - (s & 255));
            for (int32 p = ps + 1; p < pe; ++p) {
                put(p, 256);
            }
            put(pe, e & 255);
        };
        for (auto& [y, list] : crossings) {
            std::sort(list.begin(), list.end());
            int32 sum = 0;
            std::optional<std::pair<int32, int32>> span;
            for (std::size_t i = 0; i + 1 < list.size(); ++i) {
                sum += list[i].second;
                const int32 s = list[i].first, e = list[i + 1].first;
                if (sum == 0 || e <= s) {
                    continue;
                }
                if (span && (s <= span->second || span->second >> 8 == (s - 1) >> 8)) {
                    span->second = std::max(span->second, e);
                    continue;
                }
                if (span) {
                    add(y, span->first, span->second);
                }
                span = {s, e};
            }
            if (span) {
                add(y, span->first, span->second);
            }
        }

        const uint8 opacity = round % 2 == 0 ? 255 : static_cast<uint8>(integer(1, 254));
        YKBitmap bitmap;
        YKZipSketcher sketcher;
        sketcher.SetBuffer(&bitmap);
        sketcher.SetFrame(frame);
        sketcher.SetAntgMode(YK_ANTG_ANTIALIASED);
        sketcher.SetStrokeStyle(YK_STYLE_NONE);
        sketcher.SetFillColor(yk_color(10, 20, 30, opacity));
        for (int32 y = top; y < top + height; ++y) {
            bitmap.SetPixelAt(y, left, width, kBackground, YK_COPY);
        }
        YKPointList points;
        for (Fixed p : polygon) {
            points.AddItem({p.x / 256.0, p.y / 8.0});
        }
        sketcher.DrawPolygon(&points);
        for (int32 row = 0; row < height; ++row) {
            for (int32 column = 0; column < width; ++column) {
                const uint32 c = coverage[std::size_t(row) * width + column];
                const uint32 a = std::min<uint32>(255, (c * 255) >> 11);
                const uint32 alpha =
                    opacity == 255 ? a : ((a * opacity >> 8) + 1 + a * opacity) >> 8;
                const auto [first, last] = touched[std::size_t(row)];
                const uint32 uncovered = column >= first && column <= last ? 0 : kBackground;
                const uint32 expected = c == 0 ? uncovered : alpha << 24 | 0x0A141Eu;
                ASSERT_EQ(PixelAt(bitmap, left + column, top + row), expected)
                    << "round " << round << " at " << left + column << "," << top + row;
            }
        }
    }
}

TEST_F(ZipSketcherTest, NothingIsDrawnWithoutPaintBufferOrFrame) {
    sketcher.SetFillColor(yk_color(10, 10, 10, 0));
    Polygon({{2, 2}, {9, 2}, {9, 9}, {2, 9}});
    sketcher.SetFillColor(yk_color(10, 10, 10, 255));
    sketcher.SetFillStyle(YK_STYLE_NONE);
    Polygon({{2, 2}, {9, 2}, {9, 9}, {2, 9}});
    sketcher.SetFillStyle(YK_STYLE_COLOR);
    sketcher.SetFrame(YKRect<int32>::None());
    Polygon({{2, 2}, {9, 2}, {9, 9}, {2, 9}});
    EXPECT_TRUE(bitmap.IsEmpty());

    // Without a buffer nothing is even built; a stroke whose width was never set draws nothing.
    YKZipSketcher fresh;
    fresh.SetFrame({0, 0, 63, 63});
    YKPointList square;
    outline_probe::Fill(square, {{2, 2}, {9, 2}, {9, 9}});
    fresh.DrawPolygon(&square);
    EXPECT_EQ(fresh.Polygon()->CountItems(), 0);
    fresh.SetBuffer(&bitmap);
    fresh.SetFillStyle(YK_STYLE_NONE);
    fresh.DrawLine(Point{5, 5}, Point{50, 5});
    EXPECT_TRUE(bitmap.IsEmpty());
}

// A stroke without paint is not outlined for the normal display, but the previews show every
// outline: the outline preview at its width, the wireframe as a hairline.
TEST_F(ZipSketcherTest, PreviewsShowTheOutlineOfAStrokeWithoutPaint) {
    const uint32 kWireframe = 0x336698u;  // (51, 102, 152)
    for (const int32 display : {YK_PREVIEW_NORMAL, YK_PREVIEW_OUTLINE, YK_PREVIEW_WIREFRAME}) {
        // The stroke is composed over what lies below it: here opaque white.
        YKBitmap target;
        for (int32 y = 0; y < 64; ++y) {
            target.SetPixelAt(y, 0, 64, 0xFFFFFFFFu, YK_COPY);
        }
        sketcher.SetBuffer(&target);
        sketcher.SetDisplay(display);
        sketcher.SetWidth(4);
        Polygon({{10, 10}, {40, 10}, {40, 40}, {10, 40}});
        // Pixel (25, 9) lies wholly in the 4-wide band along the top side, half in the hairline.
        const uint32 band = PixelAt(target, 25, 9);
        const uint32 inside = PixelAt(target, 25, 25);
        if (display == YK_PREVIEW_NORMAL) {
            EXPECT_EQ(band, 0xFFFFFFFFu);
            EXPECT_EQ(inside, 0xFFC86432u);
        } else {
            EXPECT_EQ(inside, 0xFFFFFFFFu) << display;  // the previews leave out the fill
            EXPECT_EQ(band == (0xFF000000u | kWireframe), display == YK_PREVIEW_OUTLINE) << display;
            EXPECT_NE(band, 0xFFFFFFFFu) << display;
        }
    }
}

// Inside one sub-scanline, a gap narrower than a pixel between two inside spans counts as
// covered: the spans are merged before their coverage is added.
TEST_F(ZipSketcherTest, GapInsideOnePixelCountsAsCovered) {
    Polygon({{2, 2},
             {2.25, 2},
             {2.25, 3},
             {2, 3},
             {2, 2},
             {2.75, 2},
             {3, 2},
             {3, 3},
             {2.75, 3},
             {2.75, 2}});
    EXPECT_EQ(AlphaAt(2, 2), 255u);
    bitmap.MakeEmpty();
    // Across a pixel border the gap stays open.
    Polygon({{2, 2},
             {2.75, 2},
             {2.75, 3},
             {2, 3},
             {2, 2},
             {3.25, 2},
             {4, 2},
             {4, 3},
             {3.25, 3},
             {3.25, 2}});
    EXPECT_EQ(AlphaAt(2, 2), 191u);
    EXPECT_EQ(AlphaAt(3, 2), 191u);
}

TEST_F(ZipSketcherTest, HostileCoordinatesDrawNothingOrClippedAndQuickly) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Polygon({{nan, 2}, {9, 2}, {9, 9}});
    Polygon({{inf, 2}, {9, -inf}, {9, 9}});
    EXPECT_TRUE(bitmap.IsEmpty());
    const auto start = std::chrono::steady_clock::now();
    Polygon({{-1e300, -1e300}, {1e300, -1e300}, {1e300, 1e300}, {-1e300, 1e300}});
    EXPECT_EQ(AlphaAt(0, 0), 255u);
    EXPECT_EQ(AlphaAt(63, 63), 255u);
    EXPECT_EQ(AlphaAt(65, 65), 0u);  // the frame grows by one pixel
    // Far beyond the frame is skipped, not walked: a generous bound against a hang.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// Pattern paint against its definition, pixel by pixel: the texel under each pixel from its
// turned position, wrapped in both directions (the frame spans the origin), its alpha scaled by
// the coverage's and the opacity's. The coverage comes from the same polygons painted white.
// Rows are wide enough for full runs between edge pixels and for many tile periods.
TEST_F(ZipSketcherTest, PatternPaintMatchesItsDefinitionOverRandomPatternsAndAngles) {
    std::mt19937 random(24);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto integer = [&](int32 low, int32 high) {
        return std::uniform_int_distribution<int32>(low, high)(random);
    };
    const YKRect<int32> frame{-97, -29, 101, 33};
    for (int32 round = 0; round < 60; ++round) {
        const int32 width = integer(1, 45);
        const int32 height = integer(1, 19);
        YKRaster tile({0, 0, width - 1, height - 1});
        for (int32 y = 0; y < height; ++y) {
            for (int32 x = 0; x < width; ++x) {
                const uint32 texel = std::uniform_int_distribution<uint32>()(random);
                std::memcpy(tile.Bits() + y * tile.BytesPerRow() + x * 4, &texel, 4);
            }
        }
        YKPattern pattern(&tile);
        const bool plain = round % 5 == 4;
        const double angle = round % 3 == 0 ? 0.0 : uniform(-7, 7);
        const Point center{uniform(-50, 50), uniform(-50, 50)};
        const Point reference{uniform(-30, 30), uniform(-30, 30)};
        const uint8 opacity = round % 4 == 0 ? 255 : static_cast<uint8>(integer(1, 255));
        std::vector<Point> points;
        for (int32 i = integer(3, 9); i > 0; --i) {
            points.push_back({uniform(frame.left - 3, frame.right + 3),
                              uniform(frame.top - 3, frame.bottom + 3)});
        }
        if (round % 10 == 9) {
            // Boxes a pixel high, each beginning on the next row where the one above ends.
            points.clear();
            for (int32 k = 0; k < 8; ++k) {
                points.push_back({-90.0 + 10 * k, -20.0 + k});
                points.push_back({-80.0 + 10 * k, -20.0 + k});
            }
            for (int32 k = 7; k >= 0; --k) {
                points.push_back({-80.0 + 10 * k, -19.0 + k});
                points.push_back({-90.0 + 10 * k, -19.0 + k});
            }
        }
        const auto paint = [&](YKBitmap& target, bool withPattern) {
            YKZipSketcher painter;
            painter.SetBuffer(&target);
            painter.SetFrame(frame);
            painter.SetAntgMode(plain ? YK_ANTG_PLAIN : YK_ANTG_ANTIALIASED);
            painter.SetStrokeStyle(YK_STYLE_NONE);
            painter.SetFillColor(yk_color(255, 255, 255, 255));
            painter.SetFillStyle(withPattern ? YK_STYLE_PATTERN : YK_STYLE_COLOR);
            painter.SetFillPattern(&pattern);
            painter.SetFillPatternAlpha(opacity);
            painter.SetFillPatternRotation(center, angle);
            painter.SetFillPatternRefPoint(reference);
            YKPointList list;
            for (Point p : points) {
                list.AddItem(p);
            }
            painter.DrawPolygon(&list);
        };
        YKBitmap painted;
        YKBitmap white;
        paint(painted, true);
        paint(white, false);
        const int64 c = std::lround(64 * std::cos(angle));
        const int64 s = std::lround(64 * std::sin(angle));
        const int64 cx = std::llround(center.x), cy = std::llround(center.y);
        const int64 rx = std::llround(reference.x), ry = std::llround(reference.y);
        for (int32 y = frame.top; y <= frame.bottom; ++y) {
            for (int32 x = frame.left; x <= frame.right; ++x) {
                const uint32 coverage = PixelAt(white, x, y);
                const int64 u = x * c - y * s + cx * (1 - c) + cy * s;
                const int64 v = x * s + y * c - cx * s + cy * (1 - c);
                const uint32 texel = pattern.TexelAt(rx + (u >> 6), ry + (v >> 6));
                const uint32 alpha = (texel >> 24) * (coverage >> 24) / 255 * opacity / 255;
                const uint32 expected = coverage == 0 ? 0 : alpha << 24 | (texel & 0xFFFFFFu);
                ASSERT_EQ(PixelAt(painted, x, y), expected)
                    << "round " << round << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(ZipSketcherTest, GradientPaintTakesEachPixelsColourFromTheBuffer) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    sketcher.SetFillStyle(YK_STYLE_GRADIENT);
    for (int32 type = GRADIENT_LINEAR; type <= GRADIENT_WAVE2; ++type) {
        YKGradientBuffer gradient({0, 0, 63, 63}, "tmp_gradient", false);
        gradient.SetGradientType(static_cast<GradientType>(type));
        const double angle = 2 * M_PI * unit(random);
        const double sx = 64 * unit(random), sy = 64 * unit(random);
        gradient.SetSxSy(sx, sy);
        gradient.SetExEy(sx + 40 * std::cos(angle), sy + 40 * std::sin(angle));
        gradient.SetOffset(30 * unit(random));
        sketcher.SetFillGradient(&gradient);
        Polygon({{0, 0}, {64, 0}, {64, 64}, {0, 64}});
        for (int32 y = 0; y < 64; y += 5) {
            for (int32 x = 0; x < 64; ++x) {
                double r = 0, g = 0, b = 0, a = 0;
                gradient.GetPixel(x, y, &r, &g, &b, &a);
                const uint32 expected = 0xFF000000u | uint32(std::lround(r * 255)) << 16 |
                                        uint32(std::lround(g * 255)) << 8 |
                                        uint32(std::lround(b * 255));
                ASSERT_EQ(PixelAt(bitmap, x, y), expected) << type << " at " << x << "," << y;
            }
        }
    }
}

// A gradient of one colour paints as that colour does: edge coverage and the gradient's own
// alpha combine into the same pixels.
TEST_F(ZipSketcherTest, FlatGradientPaintsAsItsColour) {
    const std::initializer_list<Point> star{{3.3, 30.2},  {60.7, 2.9},  {40.1, 31.6},
                                            {61.2, 60.4}, {20.5, 44.8}, {2.2, 62.7}};
    for (uint8 alpha : {255, 200, 77, 1}) {
        YKGradientBuffer gradient({0, 0, 63, 63}, "tmp_gradient", false);
        YKGradient flat;
        flat.Eraze();
        const YKGradientItem::Color colour{51 / 255.0, 102 / 255.0, 153 / 255.0, alpha / 255.0};
        flat.AddItem(0.0, 0.5, 1.0, colour, colour);
        gradient.SetGradient(flat);
        gradient.SetExEy(40, 10);
        sketcher.SetFillStyle(YK_STYLE_GRADIENT);
        sketcher.SetFillGradient(&gradient);
        Polygon(star);
        std::vector<uint32> painted;
        for (int32 y = 0; y < 64; ++y) {
            for (int32 x = 0; x < 64; ++x) {
                painted.push_back(PixelAt(bitmap, x, y));
            }
        }
        bitmap.Erase({-8, -8, 72, 72});
        sketcher.SetFillStyle(YK_STYLE_COLOR);
        sketcher.SetFillColor(yk_color(51, 102, 153, alpha));
        Polygon(star);
        for (int32 y = 0; y < 64; ++y) {
            for (int32 x = 0; x < 64; ++x) {
                ASSERT_EQ(PixelAt(bitmap, x, y), painted[y * 64 + x])
                    << int32{alpha} << " at " << x << "," << y;
            }
        }
        bitmap.Erase({-8, -8, 72, 72});
    }
}

// Curves that stay clear of the frame are not subdivided: drawing far outside costs nothing.
TEST(SketcherFrameTest, CurvesClearOfTheFrameAreNotFlattened) {
    YKSketcher sketcher;
    sketcher.SetFrame({0, 0, 63, 63});
    sketcher.SetWidth(4);
    YKPointList far;
    outline_probe::Fill(far, {{1e6, 0}, {3e6, 9e5}, {-2e6, 4e6}, {1e6, 2e6}});
    sketcher.DrawBezier(&far);
    EXPECT_LE(sketcher.Polygon()->ItemAt(0)->CountItems(), 16);
    // The same curve through the frame is flattened as before.
    YKPointList through;
    outline_probe::Fill(through, {{-50, 30}, {20, -40}, {40, 100}, {110, 30}});
    sketcher.DrawBezier(&through);
    EXPECT_GT(sketcher.Polygon()->ItemAt(0)->CountItems(), 8);
}

}  // namespace
