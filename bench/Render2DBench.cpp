// The same scenes rendered at 1920 x 1080 by the zip sketcher, by Cairo (image surface,
// default antialiasing) and by AGG (scanline rasterizer, BGRA pixels): many small filled
// polygons of 10, 20 and 40 vertices, a few large ones, turned and rounded rectangles, thick
// strokes with round and miter joins, dashed strokes, gradient fills of every type and pattern
// fills, upright and turned (every engine samples the turned tile at the nearest texel). Cairo
// has only linear and radial gradients: the other types are set against the nearest of them (a
// reflected linear ramp for the bi-linear type, a repeating one for the waves, the radial
// gradient for the square, conical and hyperbolic types). Every engine builds its paths from the
// same points in each iteration, as a document redraw would. Each scene counts the canvas's
// bytes once, so the ratios printed are speed ratios; the geometric means over the fill and
// stroke scenes are printed last.

#include <cairo.h>

#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_gradient_lut.h>
#include <agg_image_accessors.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rounded_rect.h>
#include <agg_scanline_p.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>
#include <agg_span_pattern_rgba.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "BenchRatios.h"
#include "YKBitmap.h"
#include "YKDash.h"
#include "YKGradientBuffer.h"
#include "YKPattern.h"
#include "YKRaster.h"
#include "YKZipSketcher.h"

namespace {

using Point = YKPoint<double>;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int64 kBytes = int64{kWidth} * kHeight * 4;

// --- Scenes ---

enum class PaintKind {
    kColor,
    kLinear,
    kRadial,
    kPattern,
    kBilinear,
    kSquare,
    kConicalSymmetric,
    kConicalAsymmetric,
    kHyperbolic,
    kWave1,
    kWave2,
    kTurnedPattern
};

// Our gradient type for each gradient paint, and how Cairo draws its nearest equivalent.
struct GradientKind {
    PaintKind paint;
    GradientType type;
    const char* scene;
    bool radial;            // Cairo: radial, else linear
    cairo_extend_t extend;  // Cairo: how the linear ramp continues past its ends
};
constexpr GradientKind kGradientKinds[] = {
    {PaintKind::kLinear, GRADIENT_LINEAR, "linear gradient fills", false, CAIRO_EXTEND_PAD},
    {PaintKind::kRadial, GRADIENT_RADIAL, "radial gradient fills", true, CAIRO_EXTEND_PAD},
    {PaintKind::kBilinear, GRADIENT_BILINEAR, "bi-linear gradient fills, turned", false,
     CAIRO_EXTEND_REFLECT},
    {PaintKind::kSquare, GRADIENT_SQUARE, "square gradient fills, turned", true, CAIRO_EXTEND_PAD},
    {PaintKind::kConicalSymmetric, GRADIENT_CONICAL_SYMMETRIC,
     "conical symmetric gradient fills, turned", true, CAIRO_EXTEND_PAD},
    {PaintKind::kConicalAsymmetric, GRADIENT_CONICAL_ASYMMETRIC,
     "conical asymmetric gradient fills, turned", true, CAIRO_EXTEND_PAD},
    {PaintKind::kHyperbolic, GRADIENT_HYPERBOLIC, "hyperbolic gradient fills, turned", true,
     CAIRO_EXTEND_PAD},
    {PaintKind::kWave1, GRADIENT_WAVE1, "wave1 gradient fills, turned", false, CAIRO_EXTEND_REPEAT},
    {PaintKind::kWave2, GRADIENT_WAVE2, "wave2 gradient fills, turned", false, CAIRO_EXTEND_REPEAT},
};

const GradientKind& KindOf(PaintKind paint) {
    for (const GradientKind& kind : kGradientKinds) {
        if (kind.paint == paint) {
            return kind;
        }
    }
    return kGradientKinds[0];
}

// The turned pattern scene turns the tile by this angle about each box's centre.
constexpr double kPatternAngle = 0.5;

struct Item {
    std::vector<Point> points;  // a polygon, or an open polyline when stroked
    double width = 0;           // 0: filled
    bool round = false;         // round joins and caps, else miter joins and butt caps
    bool dashed = false;
    double radius = 0;  // > 0: a rounded rectangle of corners points[0..3]
    PaintKind paint = PaintKind::kColor;
    uint32 color = 0xFF336699u;
    double gradientAngle = 0;  // of the gradient's direction, from S at the box's centre
};

struct Scene {
    explicit Scene(std::string sceneName) : name(std::move(sceneName)) {}
    std::string name;
    bool counted = true;  // part of the fill and stroke geometric mean
    std::vector<Item> items;
};

std::vector<Point> StarPolygon(std::mt19937& random, Point centre, double radius, int n) {
    std::uniform_real_distribution<double> jitter(0.55, 1.0);
    std::vector<Point> points;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n;
        const double r = radius * jitter(random);
        points.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
    }
    return points;
}

std::vector<Point> TurnedBox(Point centre, double w, double h, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    std::vector<Point> points;
    for (Point p : {Point{-w, -h}, Point{w, -h}, Point{w, h}, Point{-w, h}}) {
        points.push_back({centre.x + p.x * c - p.y * s, centre.y + p.x * s + p.y * c});
    }
    return points;
}

std::vector<Scene> MakeScenes() {
    std::mt19937 random(2026);
    std::uniform_real_distribution<double> x(40, kWidth - 40), y(40, kHeight - 40);
    std::uniform_int_distribution<uint32> colour(0, 0xFFFFFF);
    std::vector<Scene> scenes;
    for (int n : {10, 20, 40}) {
        Scene scene{"small polygons " + std::to_string(n)};
        for (int i = 0; i < 3000; ++i) {
            scene.items.push_back({StarPolygon(random, {x(random), y(random)}, 18, n)});
            scene.items.back().color = 0xFF000000u | colour(random);
        }
        scenes.push_back(scene);
    }
    Scene large{"large polygons"};
    for (int i = 0; i < 12; ++i) {
        large.items.push_back({StarPolygon(random, {x(random), y(random)}, 420, 24)});
        large.items.back().color = 0xC0000000u | colour(random);
    }
    scenes.push_back(large);
    Scene rects{"turned and rounded rectangles"};
    for (int i = 0; i < 800; ++i) {
        Item item{TurnedBox({x(random), y(random)}, 30, 18, i * 0.37)};
        item.radius = i % 2 == 0 ? 8 : 0;
        item.color = 0xFF000000u | colour(random);
        rects.items.push_back(item);
    }
    scenes.push_back(rects);
    // 250 wandering polylines of 8 points, turning by (a, b) radians per step of `step` pixels.
    const auto polylines = [&](const char* name, double step, double a, double b, Item style) {
        Scene scene{name};
        for (int i = 0; i < 250; ++i) {
            Item item = style;
            Point at{x(random), y(random)};
            for (int k = 0; k < 8; ++k) {
                item.points.push_back(at);
                at = {at.x + step * std::cos(k * a + i), at.y + step * std::sin(k * b + i)};
            }
            scene.items.push_back(item);
        }
        scenes.push_back(scene);
    };
    Item thick;
    thick.width = 9;
    thick.round = true;
    polylines("thick strokes, round joins", 40, 1.3, 1.1, thick);
    thick.round = false;
    polylines("thick strokes, miter joins", 40, 1.3, 1.1, thick);
    Item dashed;
    dashed.width = 4;
    dashed.dashed = true;
    polylines("dashed strokes", 60, 0.9, 0.7, dashed);
    for (PaintKind kind :
         {PaintKind::kLinear, PaintKind::kRadial, PaintKind::kPattern, PaintKind::kTurnedPattern}) {
        Scene paint{kind == PaintKind::kLinear    ? "linear gradient fills"
                    : kind == PaintKind::kRadial  ? "radial gradient fills"
                    : kind == PaintKind::kPattern ? "pattern fills"
                                                  : "turned pattern fills"};
        paint.counted = false;
        for (int i = 0; i < 60; ++i) {
            Item item{TurnedBox({x(random), y(random)}, 110, 80, 0)};
            item.paint = kind;
            paint.items.push_back(item);
        }
        scenes.push_back(paint);
    }
    // The other gradient types, each gradient turned its own way.
    for (const GradientKind& kind : kGradientKinds) {
        if (kind.paint == PaintKind::kLinear || kind.paint == PaintKind::kRadial) {
            continue;
        }
        Scene paint{kind.scene};
        paint.counted = false;
        for (int i = 0; i < 60; ++i) {
            Item item{TurnedBox({x(random), y(random)}, 110, 80, 0)};
            item.paint = kind.paint;
            item.gradientAngle = i * 0.37;
            paint.items.push_back(item);
        }
        scenes.push_back(paint);
    }
    return scenes;
}

const std::vector<Scene>& Scenes() {
    static const std::vector<Scene> scenes = MakeScenes();
    return scenes;
}

// The 32 x 32 tile every pattern scene paints with.
std::vector<uint32> TilePixels() {
    std::vector<uint32> tile(32 * 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            tile[y * 32 + x] = ((x / 8 + y / 8) % 2) != 0 ? 0xFFE0A040u : 0xFF204080u;
        }
    }
    return tile;
}

// Gradients run from the box's centre as far as to its right edge, turned by their angle.
Point GradientStart(const Item& item) {
    return {(item.points[0].x + item.points[2].x) / 2, (item.points[0].y + item.points[2].y) / 2};
}
Point GradientEnd(const Item& item) {
    const Point s = GradientStart(item);
    const double length = item.points[2].x - s.x;
    return {s.x + length * std::cos(item.gradientAngle),
            s.y + length * std::sin(item.gradientAngle)};
}

// --- Ours ---

class OurRenderer {
public:
    OurRenderer() {
        YKList<double> tab;
        for (double d : {20.0, 10.0, 10.0, 10.0}) {
            tab.AddItem(d);
        }
        mDash.SetTab(tab);
        mSketcher.SetBuffer(&mBitmap);
        mSketcher.SetFrame({0, 0, kWidth - 1, kHeight - 1});
        mSketcher.SetAntgMode(YK_ANTG_ANTIALIASED);
        YKRaster tile({0, 0, 31, 31});
        const std::vector<uint32> pixels = TilePixels();
        std::memcpy(tile.Bits(), pixels.data(), pixels.size() * 4);
        mPattern = std::make_unique<YKPattern>(&tile);
    }
    void Draw(const Scene& scene) {
        for (const Item& item : scene.items) {
            Draw(item);
        }
    }

private:
    YKGradientBuffer* GradientFor(const Item& item) {
        auto& buffer = mGradients[&item];
        if (!buffer) {
            buffer = std::make_unique<YKGradientBuffer>(
                YKRect<int32>{0, 0, kWidth - 1, kHeight - 1}, "tmp_gradient", false);
            buffer->SetGradientType(KindOf(item.paint).type);
            const Point s = GradientStart(item), e = GradientEnd(item);
            buffer->SetSxSy(s.x, s.y);
            buffer->SetExEy(e.x, e.y);
        }
        return buffer.get();
    }
    void Draw(const Item& item) {
        const yk_color colour(item.color);
        YKPointList points;
        for (Point p : item.points) {
            points.AddItem(p);
        }
        if (item.width > 0) {
            mSketcher.SetFillStyle(YK_STYLE_NONE);
            mSketcher.SetStrokeStyle(YK_STYLE_COLOR);
            mSketcher.SetStrokeColor(colour);
            mSketcher.SetWidth(item.width);
            mSketcher.SetClosed(false);
            mSketcher.SetStrokeDash(item.dashed ? &mDash : nullptr);
            const int32 cap = item.round ? YK_CAP_ROUND : YK_CAP_BUTT;
            mSketcher.SetLineMode(cap, cap, item.round ? YK_JOIN_ROUND : YK_JOIN_MITER, 10.0);
            mSketcher.DrawPolygon(&points);
            return;
        }
        mSketcher.SetStrokeStyle(YK_STYLE_NONE);
        mSketcher.SetClosed(true);
        mSketcher.SetFillColor(colour);
        switch (item.paint) {
            case PaintKind::kColor:
                mSketcher.SetFillStyle(YK_STYLE_COLOR);
                break;
            case PaintKind::kPattern:
            case PaintKind::kTurnedPattern:
                mSketcher.SetFillStyle(YK_STYLE_PATTERN);
                mSketcher.SetFillPattern(mPattern.get());
                mSketcher.SetFillPatternAlpha(255);
                mSketcher.SetFillPatternRotation(
                    GradientStart(item), item.paint == PaintKind::kPattern ? 0.0 : kPatternAngle);
                break;
            default:
                mSketcher.SetFillStyle(YK_STYLE_GRADIENT);
                mSketcher.SetFillGradient(GradientFor(item));
        }
        if (item.radius > 0) {
            const auto& p = item.points;
            mSketcher.DrawRoundRect(p[0], p[1], p[2], p[3], item.radius, item.radius);
        } else {
            mSketcher.DrawPolygon(&points);
        }
    }

    YKBitmap mBitmap;
    YKZipSketcher mSketcher;
    YKDash mDash;
    std::unique_ptr<YKPattern> mPattern;
    std::map<const Item*, std::unique_ptr<YKGradientBuffer>> mGradients;
};

// --- Cairo ---

class CairoRenderer {
public:
    CairoRenderer()
        : mSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight)),
          mCairo(cairo_create(mSurface)) {
        mTilePixels = TilePixels();
        mTile = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(mTilePixels.data()), CAIRO_FORMAT_ARGB32, 32, 32,
            32 * 4);
        mTilePattern = cairo_pattern_create_for_surface(mTile);
        cairo_pattern_set_extend(mTilePattern, CAIRO_EXTEND_REPEAT);
        mTurnedPattern = cairo_pattern_create_for_surface(mTile);
        cairo_pattern_set_extend(mTurnedPattern, CAIRO_EXTEND_REPEAT);
        cairo_pattern_set_filter(mTurnedPattern, CAIRO_FILTER_NEAREST);
        cairo_set_fill_rule(mCairo, CAIRO_FILL_RULE_WINDING);
    }
    ~CairoRenderer() {
        cairo_pattern_destroy(mTurnedPattern);
        cairo_pattern_destroy(mTilePattern);
        cairo_surface_destroy(mTile);
        cairo_destroy(mCairo);
        cairo_surface_destroy(mSurface);
    }
    void Draw(const Scene& scene) {
        for (const Item& item : scene.items) {
            Draw(item);
        }
        cairo_surface_flush(mSurface);
    }

private:
    void Path(const Item& item) {
        cairo_t* cr = mCairo;
        cairo_new_path(cr);
        if (item.radius > 0) {
            // Four quarter circles between the sides of the (turned) box.
            const auto& p = item.points;
            const double r = item.radius;
            for (int i = 0; i < 4; ++i) {
                const Point a = p[i], b = p[(i + 1) % 4], c = p[(i + 2) % 4];
                const double ab = std::hypot(b.x - a.x, b.y - a.y);
                const double bc = std::hypot(c.x - b.x, c.y - b.y);
                const Point inA{b.x + (a.x - b.x) * r / ab, b.y + (a.y - b.y) * r / ab};
                const Point inC{b.x + (c.x - b.x) * r / bc, b.y + (c.y - b.y) * r / bc};
                cairo_line_to(cr, inA.x, inA.y);
                cairo_curve_to(cr, b.x, b.y, b.x, b.y, inC.x, inC.y);
            }
        } else {
            for (Point p : item.points) {
                cairo_line_to(cr, p.x, p.y);
            }
        }
        if (item.width == 0) {
            cairo_close_path(cr);
        }
    }
    void Draw(const Item& item) {
        cairo_t* cr = mCairo;
        Path(item);
        const uint32 c = item.color;
        cairo_set_source_rgba(cr, ((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0,
                              (c & 255) / 255.0, (c >> 24) / 255.0);
        if (item.width > 0) {
            static const double kDashes[] = {20, 10, 10, 10};
            cairo_set_dash(cr, kDashes, item.dashed ? 4 : 0, 0);
            cairo_set_line_width(cr, item.width);
            cairo_set_line_join(cr, item.round ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
            cairo_set_line_cap(cr, item.round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
            cairo_set_miter_limit(cr, 10.0);
            cairo_stroke(cr);
            return;
        }
        cairo_pattern_t* gradient = nullptr;
        if (item.paint == PaintKind::kPattern) {
            cairo_set_source(cr, mTilePattern);
        } else if (item.paint == PaintKind::kTurnedPattern) {
            // Pattern space is user space turned back about the box's centre.
            const Point c = GradientStart(item);
            cairo_matrix_t matrix;
            cairo_matrix_init_translate(&matrix, c.x, c.y);
            cairo_matrix_rotate(&matrix, -kPatternAngle);
            cairo_matrix_translate(&matrix, -c.x, -c.y);
            cairo_pattern_set_matrix(mTurnedPattern, &matrix);
            cairo_set_source(cr, mTurnedPattern);
        } else if (item.paint != PaintKind::kColor) {
            const GradientKind& kind = KindOf(item.paint);
            const Point s = GradientStart(item), e = GradientEnd(item);
            const double length = std::hypot(e.x - s.x, e.y - s.y);
            // Our linear ramp starts at S - (E - S); the reflected and repeating ones at S.
            const Point from =
                kind.extend == CAIRO_EXTEND_PAD ? Point{2 * s.x - e.x, 2 * s.y - e.y} : s;
            gradient = kind.radial ? cairo_pattern_create_radial(s.x, s.y, 0, s.x, s.y, length)
                                   : cairo_pattern_create_linear(from.x, from.y, e.x, e.y);
            cairo_pattern_set_extend(gradient, kind.extend);
            cairo_pattern_add_color_stop_rgba(gradient, 0, 0, 0, 0, 1);
            cairo_pattern_add_color_stop_rgba(gradient, 1, 1, 1, 1, 1);
            cairo_set_source(cr, gradient);
        }
        cairo_fill(cr);
        if (gradient != nullptr) {
            cairo_pattern_destroy(gradient);
        }
    }

    cairo_surface_t* mSurface;
    cairo_t* mCairo;
    std::vector<uint32> mTilePixels;
    cairo_surface_t* mTile;
    cairo_pattern_t* mTilePattern;
    cairo_pattern_t* mTurnedPattern;
};

// --- AGG ---

class AggRenderer {
public:
    using PixelFormat = agg::pixfmt_bgra32;
    using Base = agg::renderer_base<PixelFormat>;

    AggRenderer()
        : mPixels(std::size_t(kWidth) * kHeight * 4),
          mBuffer(mPixels.data(), kWidth, kHeight, kWidth * 4),
          mFormat(mBuffer),
          mBase(mFormat),
          mTilePixels(TilePixels()),
          mTileBuffer(reinterpret_cast<agg::int8u*>(mTilePixels.data()), 32, 32, 32 * 4),
          mTileFormat(mTileBuffer) {
        mLut.remove_all();
        mLut.add_color(0, agg::rgba8(0, 0, 0, 255));
        mLut.add_color(1, agg::rgba8(255, 255, 255, 255));
        mLut.build_lut();
    }
    void Draw(const Scene& scene) {
        for (const Item& item : scene.items) {
            Draw(item);
        }
    }

private:
    using Lut = agg::gradient_lut<agg::color_interpolator<agg::rgba8>, 256>;
    using Source =
        agg::image_accessor_wrap<PixelFormat, agg::wrap_mode_repeat, agg::wrap_mode_repeat>;

    template <typename Source>
    void AddTo(Source& source) {
        mRasterizer.reset();
        mRasterizer.add_path(source);
    }
    void Solid(uint32 c) {
        agg::render_scanlines_aa_solid(
            mRasterizer, mScanline, mBase,
            agg::rgba8((c >> 16) & 255, (c >> 8) & 255, c & 255, c >> 24));
    }
    template <typename GradientShape>
    void Gradient(const Item& item, GradientShape shape, double from) {
        const Point s = GradientStart(item), e = GradientEnd(item);
        const double length = std::hypot(e.x - s.x, e.y - s.y);
        agg::trans_affine matrix;
        matrix.translate(s.x, s.y);
        matrix.invert();
        agg::span_interpolator_linear<> interpolator(matrix);
        agg::span_gradient<agg::rgba8, agg::span_interpolator_linear<>, GradientShape, Lut> span(
            interpolator, shape, mLut, from * length, length);
        agg::render_scanlines_aa(mRasterizer, mScanline, mBase, mAllocator, span);
    }
    void Draw(const Item& item) {
        agg::path_storage path;
        if (item.radius > 0) {
            // The rounded rectangle of AGG is upright, so the box is described by its size.
            const auto& p = item.points;
            agg::rounded_rect box(std::min(p[0].x, p[2].x), std::min(p[0].y, p[2].y),
                                  std::max(p[0].x, p[2].x), std::max(p[0].y, p[2].y), item.radius);
            box.normalize_radius();
            AddTo(box);
            Solid(item.color);
            return;
        }
        path.move_to(item.points[0].x, item.points[0].y);
        for (std::size_t i = 1; i < item.points.size(); ++i) {
            path.line_to(item.points[i].x, item.points[i].y);
        }
        if (item.width > 0) {
            if (item.dashed) {
                agg::conv_dash<agg::path_storage> dash(path);
                dash.add_dash(20, 10);
                dash.add_dash(10, 10);
                agg::conv_stroke<agg::conv_dash<agg::path_storage>> stroke(dash);
                stroke.width(item.width);
                AddTo(stroke);
            } else {
                agg::conv_stroke<agg::path_storage> stroke(path);
                stroke.width(item.width);
                stroke.line_join(item.round ? agg::round_join : agg::miter_join);
                stroke.line_cap(item.round ? agg::round_cap : agg::butt_cap);
                stroke.miter_limit(10.0);
                AddTo(stroke);
            }
            Solid(item.color);
            return;
        }
        path.close_polygon();
        AddTo(path);
        switch (item.paint) {
            case PaintKind::kColor:
                Solid(item.color);
                break;
            case PaintKind::kLinear:
                Gradient(item, agg::gradient_x(), -1.0);
                break;
            case PaintKind::kRadial:
                Gradient(item, agg::gradient_circle(), 0.0);
                break;
            default:
                // The other types as Cairo draws them, unturned: AGG's nearest shape.
                if (KindOf(item.paint).radial) {
                    Gradient(item, agg::gradient_circle(), 0.0);
                } else {
                    Gradient(item, agg::gradient_x(), 0.0);
                }
                break;
            case PaintKind::kPattern: {
                Source source(mTileFormat);
                agg::span_pattern_rgba<Source> span(source, 0, 0);
                agg::render_scanlines_aa(mRasterizer, mScanline, mBase, mAllocator, span);
                break;
            }
            case PaintKind::kTurnedPattern: {
                const Point c = GradientStart(item);
                agg::trans_affine matrix = agg::trans_affine_translation(-c.x, -c.y);
                matrix *= agg::trans_affine_rotation(kPatternAngle);
                matrix *= agg::trans_affine_translation(c.x, c.y);
                matrix.invert();
                agg::span_interpolator_linear<> interpolator(matrix);
                Source source(mTileFormat);
                agg::span_image_filter_rgba_nn<Source, agg::span_interpolator_linear<>> span(
                    source, interpolator);
                agg::render_scanlines_aa(mRasterizer, mScanline, mBase, mAllocator, span);
            }
        }
    }

    std::vector<agg::int8u> mPixels;
    agg::rendering_buffer mBuffer;
    PixelFormat mFormat;
    Base mBase;
    agg::rasterizer_scanline_aa<> mRasterizer;
    agg::scanline_u8 mScanline;
    agg::span_allocator<agg::rgba8> mAllocator;
    std::vector<uint32> mTilePixels;
    agg::rendering_buffer mTileBuffer;
    PixelFormat mTileFormat;
    Lut mLut;
};

template <typename Renderer>
void BM_Scene(benchmark::State& state) {
    const Scene& scene = Scenes()[state.range(0)];
    state.SetLabel(scene.name);
    Renderer renderer;
    for (auto _ : state) {
        renderer.Draw(scene);
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = static_cast<int>(Scenes().size());
    std::vector<BenchRatio> ratios;
    for (const auto& [label, peer] : {std::pair{"Cairo", "BM_Cairo"}, std::pair{"AGG", "BM_Agg"}}) {
        for (int i = 0; i < count; ++i) {
            std::string index = "/";
            index += std::to_string(i);
            const std::string group = Scenes()[i].counted
                                          ? std::string("fill and stroke vs ") + label
                                          : std::string("paint vs ") + label;
            ratios.push_back({Scenes()[i].name + " vs " + label, "BM_Ours" + index,
                              std::string(peer) + index, group});
        }
    }
    benchmark::RegisterBenchmark("BM_Ours", BM_Scene<OurRenderer>)
        ->DenseRange(0, count - 1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Cairo", BM_Scene<CairoRenderer>)
        ->DenseRange(0, count - 1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Agg", BM_Scene<AggRenderer>)
        ->DenseRange(0, count - 1)
        ->Unit(benchmark::kMillisecond);
    return RunWithRatios(argc, argv, ratios);
}
