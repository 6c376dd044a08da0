// Vector objects at scale: hit-testing 10,000 objects at a point, and drawing 10,000 small
// shapes (rectangles, rounded rectangles, ellipses, polylines; filled and stroked) through the
// zip sketcher, each against Cairo doing the same work. Throughput counts objects (one "byte"
// per object), so the printed MB/s are millions of objects per second and the ratios are speed
// ratios; the per-object costs are printed in nanoseconds.
//
// Our hit test rejects by the grown bounds first; the peer gets the same bounds rejection before
// cairo_in_fill/cairo_in_stroke on the object's path, so both do the same exact work.

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "BenchRatios.h"
#include "YKBitmap.h"
#include "YKEnvelopManager.h"
#include "YKVectorEntity.h"
#include "YKVectorEntityFactory.h"
#include "YKZipSketcher.h"

namespace {

using Point = YKPoint<double>;
constexpr int32 kObjects = 10000;
constexpr int32 kWidth = 1920;
constexpr int32 kHeight = 1080;

struct Shape {
    int32 type;
    Point a;
    Point b;
    Point c;
};

// The same 10,000 shapes of 8 to 40 units, scattered over the canvas.
std::vector<Shape> Shapes() {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(0, kWidth - 50);
    std::uniform_real_distribution<double> y(0, kHeight - 50);
    std::uniform_real_distribution<double> size(8, 40);
    const int32 types[] = {YKVectorEntity::kTypeRectangle, YKVectorEntity::kTypeRoundRect,
                           YKVectorEntity::kTypeEllipse, YKVectorEntity::kTypePolyline};
    std::vector<Shape> shapes;
    for (int32 i = 0; i < kObjects; ++i) {
        const Point a{x(random), y(random)};
        shapes.push_back(
            {types[i % 4], a, {a.x + size(random), a.y + size(random)}, {a.x + size(random), a.y}});
    }
    return shapes;
}

struct Objects {
    YKEnvelopManager manager;
    std::vector<std::unique_ptr<YKVectorEntity>> entities;

    Objects() {
        for (const Shape& shape : Shapes()) {
            std::unique_ptr<YKVectorEntity> entity(
                YKVectorEntityFactory::Create(shape.type, shape.a, 1, &manager));
            entity->nextPoint(shape.b, false);
            if (shape.type == YKVectorEntity::kTypePolyline) {
                entity->addPoint(shape.b, false);
                entity->nextPoint(shape.c, false);
                entity->addPoint(shape.c, false);
                entity->nextPoint(shape.a, false);
                entity->addPoint(shape.a, false);
            }
            entity->endCreationWithTol(1);
            YKVectorAttributes attributes;
            entity->getAttributes(&attributes);
            attributes.width = 2;
            attributes.fillColorFlag = kColorFlagColor;
            attributes.fillColor = {240, 180, 40, 255};
            attributes.strokeColor = {20, 40, 160, 255};
            attributes.rx = 4;
            attributes.ry = 4;
            entity->setAttributes(&attributes);
            entity->resetBounds();
            entities.push_back(std::move(entity));
        }
    }
    static Objects& Get() {
        static Objects objects;
        return objects;
    }
};

// Points the hit tests are made at: a spread over the canvas.
std::vector<Point> Probes() {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> x(0, kWidth);
    std::uniform_real_distribution<double> y(0, kHeight);
    std::vector<Point> probes(64);
    for (Point& p : probes) {
        p = {x(random), y(random)};
    }
    return probes;
}

// --- Cairo: the same shapes as paths ---

void CairoPath(cairo_t* cr, const Shape& shape) {
    const double w = shape.b.x - shape.a.x;
    const double h = shape.b.y - shape.a.y;
    cairo_new_path(cr);
    switch (shape.type) {
        case YKVectorEntity::kTypeRectangle:
            cairo_rectangle(cr, shape.a.x, shape.a.y, w, h);
            break;
        case YKVectorEntity::kTypeRoundRect: {
            const double r = 4;
            cairo_new_sub_path(cr);
            cairo_arc(cr, shape.b.x - r, shape.a.y + r, r, -M_PI / 2, 0);
            cairo_arc(cr, shape.b.x - r, shape.b.y - r, r, 0, M_PI / 2);
            cairo_arc(cr, shape.a.x + r, shape.b.y - r, r, M_PI / 2, M_PI);
            cairo_arc(cr, shape.a.x + r, shape.a.y + r, r, M_PI, 3 * M_PI / 2);
            cairo_close_path(cr);
            break;
        }
        case YKVectorEntity::kTypeEllipse:
            cairo_save(cr);
            cairo_translate(cr, shape.a.x + w / 2, shape.a.y + h / 2);
            cairo_scale(cr, w / 2, h / 2);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            break;
        default:
            cairo_move_to(cr, shape.a.x, shape.a.y);
            cairo_line_to(cr, shape.b.x, shape.b.y);
            cairo_line_to(cr, shape.c.x, shape.c.y);
            cairo_close_path(cr);
    }
}

struct CairoCanvas {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    ~CairoCanvas() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
};

// --- Hit tests ---

void BM_HitTest_Ours(benchmark::State& state) {
    Objects& objects = Objects::Get();
    const std::vector<Point> probes = Probes();
    size_t probe = 0;
    int64 hits = 0;
    for (auto _ : state) {
        const Point p = probes[probe++ % probes.size()];
        for (const auto& entity : objects.entities) {
            hits += entity->hitAtTol(p, 3) != 0 ? 1 : 0;
        }
    }
    benchmark::DoNotOptimize(hits);
    state.SetBytesProcessed(state.iterations() * kObjects);
    state.counters["ns/object"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kObjects,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_HitTest_Cairo(benchmark::State& state) {
    const std::vector<Shape> shapes = Shapes();
    const std::vector<Point> probes = Probes();
    CairoCanvas canvas;
    cairo_set_line_width(canvas.cr, 2);
    size_t probe = 0;
    int64 hits = 0;
    for (auto _ : state) {
        const Point p = probes[probe++ % probes.size()];
        for (const Shape& shape : shapes) {
            const double left = std::min({shape.a.x, shape.b.x, shape.c.x}) - 4;
            const double right = std::max({shape.a.x, shape.b.x, shape.c.x}) + 4;
            const double top = std::min({shape.a.y, shape.b.y, shape.c.y}) - 4;
            const double bottom = std::max({shape.a.y, shape.b.y, shape.c.y}) + 4;
            if (p.x < left || p.x > right || p.y < top || p.y > bottom) {
                continue;
            }
            CairoPath(canvas.cr, shape);
            hits += cairo_in_fill(canvas.cr, p.x, p.y) || cairo_in_stroke(canvas.cr, p.x, p.y);
        }
    }
    benchmark::DoNotOptimize(hits);
    state.SetBytesProcessed(state.iterations() * kObjects);
    state.counters["ns/object"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kObjects,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// --- Drawing ---

void BM_Draw_Ours(benchmark::State& state) {
    Objects& objects = Objects::Get();
    YKBitmap bitmap;
    YKZipSketcher sketcher;
    sketcher.SetBuffer(&bitmap);
    sketcher.SetFrame({0, 0, kWidth - 1, kHeight - 1});
    for (auto _ : state) {
        bitmap.MakeEmpty();
        for (const auto& entity : objects.entities) {
            entity->drawIn(&sketcher, true);
        }
    }
    state.SetBytesProcessed(state.iterations() * kObjects);
    state.counters["ns/object"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kObjects,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Draw_Cairo(benchmark::State& state) {
    const std::vector<Shape> shapes = Shapes();
    CairoCanvas canvas;
    cairo_t* cr = canvas.cr;
    cairo_set_line_width(cr, 2);
    for (auto _ : state) {
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        for (const Shape& shape : shapes) {
            CairoPath(cr, shape);
            cairo_set_source_rgba(cr, 240 / 255.0, 180 / 255.0, 40 / 255.0, 1);
            cairo_fill_preserve(cr);
            cairo_set_source_rgba(cr, 20 / 255.0, 40 / 255.0, 160 / 255.0, 1);
            cairo_stroke(cr);
        }
        cairo_surface_flush(canvas.surface);
    }
    state.SetBytesProcessed(state.iterations() * kObjects);
    state.counters["ns/object"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kObjects,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_HitTest_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HitTest_Cairo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Draw_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw_Cairo)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunWithRatios(
        argc, argv,
        {{"hit test 10,000 objects (M objects/s)", "BM_HitTest_Ours", "BM_HitTest_Cairo", ""},
         {"draw 10,000 small shapes (M objects/s)", "BM_Draw_Ours", "BM_Draw_Cairo", ""}});
}
