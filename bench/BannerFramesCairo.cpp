// The sample banner's 20 frames drawn with Cairo and written as PNGs, as a yardstick for
// rendering every frame through gravik-cli: time the two whole commands against each other.
// The same shapes, paints, merge methods and key-framed values; glow and shadow are box blurs of
// the shape's mask here, the emboss is left out, text is Cairo's own (the tagline's letters are
// set along the curve one by one) and the brush strokes are round-capped polylines.
//
//   banner_frames_cairo OUT     writes OUT_001.png ... OUT_020.png

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 468;
constexpr int kHeight = 60;
constexpr int kFrames = 20;

struct Rgba {
    double r, g, b, a;
};

// A key-framed value from frame 1 to `at`, then on to the last frame.
double Keyed(int frame, double first, double middle, int at, double last) {
    if (frame <= at) {
        return first + (middle - first) * (frame - 1) / (at - 1);
    }
    return middle + (last - middle) * (frame - at) / (kFrames - at);
}

Rgba Mix(Rgba a, Rgba b, double f) {
    return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f,
            a.a + (b.a - a.a) * f};
}

Rgba Bytes(int r, int g, int b, int a = 255) {
    return {r / 255.0, g / 255.0, b / 255.0, a / 255.0};
}

void Source(cairo_t* cr, Rgba c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void RoundRect(cairo_t* cr, double x0, double y0, double x1, double y1, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - r, y0 + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x1 - r, y1 - r, r, 0, M_PI / 2);
    cairo_arc(cr, x0 + r, y1 - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x0 + r, y0 + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// A box blur of an A8 surface's rows and columns, `radius` on each side, run three times.
void Blur(cairo_surface_t* mask, int radius) {
    cairo_surface_flush(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    const int w = cairo_image_surface_get_width(mask);
    const int h = cairo_image_surface_get_height(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    std::vector<int> line(std::max(w, h));
    const int span = 2 * radius + 1;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            unsigned char* row = data + y * stride;
            for (int x = 0; x < w; ++x) {
                line[x] = row[x];
            }
            int sum = 0;
            for (int x = -radius; x < w + radius; ++x) {
                sum += x + radius < w ? line[x + radius] : 0;
                sum -= x - radius - 1 >= 0 ? line[x - radius - 1] : 0;
                if (x >= 0 && x < w) {
                    row[x] = static_cast<unsigned char>(sum / span);
                }
            }
        }
        for (int x = 0; x < w; ++x) {
            for (int y = 0; y < h; ++y) {
                line[y] = data[y * stride + x];
            }
            int sum = 0;
            for (int y = -radius; y < h + radius; ++y) {
                sum += y + radius < h ? line[y + radius] : 0;
                sum -= y - radius - 1 >= 0 ? line[y - radius - 1] : 0;
                if (y >= 0 && y < h) {
                    data[y * stride + x] = static_cast<unsigned char>(sum / span);
                }
            }
        }
    }
    cairo_surface_mark_dirty(mask);
}

// Paints `colour` through the blurred mask of the current path, moved by (dx, dy).
void BlurredPath(cairo_t* cr, int radius, double dx, double dy, Rgba colour) {
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, kWidth, kHeight);
    cairo_t* m = cairo_create(mask);
    cairo_translate(m, kWidth / 2 + dx, kHeight / 2 + dy);
    cairo_append_path(m, path);
    cairo_fill(m);
    cairo_destroy(m);
    Blur(mask, radius);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    Source(cr, colour);
    cairo_mask_surface(cr, mask, 0, 0);
    cairo_restore(cr);
    cairo_surface_destroy(mask);
    cairo_path_destroy(path);
}

cairo_surface_t* StripeTile() {
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    auto* pixels = reinterpret_cast<unsigned*>(cairo_image_surface_get_data(tile));
    const int stride = cairo_image_surface_get_stride(tile) / 4;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            pixels[y * stride + x] = (x + y) % 8 < 3 ? 0xFFFFD166u : 0xFFEF476Fu;
        }
    }
    cairo_surface_mark_dirty(tile);
    return tile;
}

cairo_surface_t* BadgeTile() {
    cairo_surface_t* badge = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 32);
    auto* pixels = reinterpret_cast<unsigned*>(cairo_image_surface_get_data(badge));
    const int stride = cairo_image_surface_get_stride(badge) / 4;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double d = std::hypot(x - 15.5, y - 15.5);
            const unsigned a = d < 14 ? 255 : (d < 15.5 ? unsigned((15.5 - d) * 170) : 0);
            const unsigned shade = unsigned(150 + 100 * (1 - (x + y) / 62.0));
            // Premultiplied, as Cairo keeps its pixels.
            pixels[y * stride + x] =
                a << 24 | (shade * a / 255) << 16 | (shade * 3 / 4 * a / 255) << 8 | 40u * a / 255;
        }
    }
    cairo_surface_mark_dirty(badge);
    return badge;
}

// A point of the cubic through four points.
void Cubic(const double p[4][2], double t, double* x, double* y) {
    const double u = 1 - t;
    *x = u * u * u * p[0][0] + 3 * u * u * t * p[1][0] + 3 * u * t * t * p[2][0] +
         t * t * t * p[3][0];
    *y = u * u * u * p[0][1] + 3 * u * u * t * p[1][1] + 3 * u * t * t * p[2][1] +
         t * t * t * p[3][1];
}

void DrawFrame(cairo_t* cr, int frame, cairo_pattern_t* stripes, cairo_surface_t* badge) {
    const double f = (frame - 1.0) / (kFrames - 1);
    cairo_identity_matrix(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    Source(cr, Bytes(29, 53, 87));
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_translate(cr, kWidth / 2, kHeight / 2);

    // Ground: linear gradient, stroked.
    RoundRect(cr, -232, -28, 231, 27, 10);
    cairo_pattern_t* ground = cairo_pattern_create_linear(-232, -28, 231, 27);
    cairo_pattern_add_color_stop_rgba(ground, 0, 0.11, 0.21, 0.34, 1);
    cairo_pattern_add_color_stop_rgba(ground, 1, 0.07, 0.45, 0.51, 1);
    cairo_set_source(cr, ground);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(ground);
    Source(cr, Bytes(168, 218, 220));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);

    // Ribbon: the stripes multiplied in.
    cairo_set_operator(cr, CAIRO_OPERATOR_MULTIPLY);
    cairo_rectangle(cr, -230, 14, 459, 11);
    cairo_set_source(cr, stripes);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);

    // Sun: radial gradient with a glow, moving right.
    const double sunX = -200 + 350 * f;
    cairo_new_path(cr);
    cairo_arc(cr, sunX + 15, -3, 15, 0, 2 * M_PI);
    BlurredPath(cr, 3, 0, 0, Bytes(255, 209, 102));
    cairo_pattern_t* sun = cairo_pattern_create_radial(sunX + 15, -3, 0, sunX + 15, -3, 15);
    cairo_pattern_add_color_stop_rgba(sun, 0, 1, 0.95, 0.6, 1);
    cairo_pattern_add_color_stop_rgba(sun, 1, 1, 0.6, 0.1, 1);
    cairo_set_source(cr, sun);
    cairo_fill(cr);
    cairo_pattern_destroy(sun);

    // Orbit: a dashed arc, screened.
    cairo_set_operator(cr, CAIRO_OPERATOR_SCREEN);
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, -25, -1);
    cairo_scale(cr, 35, 23);
    cairo_arc(cr, 0, 0, 1, M_PI, 2 * M_PI);
    cairo_restore(cr);
    const double dashes[] = {6, 3};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Source(cr, Bytes(230, 57, 70));
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);

    // Zigzag: mitred, changing colour.
    const double zig[][2] = {{20, 10}, {35, -12}, {50, 10}, {65, -12}, {80, 10}};
    cairo_new_path(cr);
    for (const auto& p : zig) {
        cairo_line_to(cr, p[0], p[1]);
    }
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr, 4);
    cairo_set_line_width(cr, 3);
    Source(cr, Mix(Bytes(241, 250, 238), Bytes(255, 209, 102), f));
    cairo_stroke(cr);

    // Wave: a Bézier turning back and forth about its start.
    cairo_save(cr);
    cairo_translate(cr, 95, 0);
    cairo_rotate(cr, Keyed(frame, 0.0, 0.6, kFrames / 2, 0.0));
    cairo_translate(cr, -95, 0);
    cairo_new_path(cr);
    cairo_move_to(cr, 95, 0);
    cairo_curve_to(cr, 105, -20, 120, 0, 120, 0);
    cairo_curve_to(cr, 120, 0, 135, 20, 150, 0);
    cairo_restore(cr);
    cairo_set_line_width(cr, 2.5);
    Source(cr, Bytes(168, 218, 220));
    cairo_stroke(cr);

    // Flourish.
    cairo_new_path(cr);
    for (int i = 0; i <= 24; ++i) {
        cairo_line_to(cr, 160 + i * 2.5, 8 + 8 * std::sin(i / 2.5) - i * 0.3);
    }
    cairo_set_line_width(cr, 1.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    Source(cr, Bytes(255, 209, 102));
    cairo_stroke(cr);

    // Button: a shadow, then the face, fading.
    const double fade = Keyed(frame, 230, 120, kFrames / 2, 230) / 255.0;
    cairo_push_group(cr);
    cairo_new_path(cr);
    RoundRect(cr, -130, -14, -75, 14, 8);
    BlurredPath(cr, 1, 3, 3, {0, 0, 0, 200 / 255.0});
    Source(cr, Bytes(230, 57, 70));
    cairo_fill(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, fade);

    // Badge, lightest.
    cairo_set_operator(cr, CAIRO_OPERATOR_LIGHTEN);
    cairo_set_source_surface(cr, badge, 192, -28);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);

    // Sparkle: the brush stroke.
    cairo_new_path(cr);
    for (int i = 0; i <= 30; ++i) {
        cairo_line_to(cr, -20 + i * 1.5, -20 + 6 * std::sin(i / 3.0));
    }
    cairo_set_line_width(cr, 3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Source(cr, Bytes(241, 250, 238));
    cairo_stroke(cr);

    // Headline.
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, Keyed(frame, 11, 12.5, kFrames / 2, 11));
    Source(cr, Mix(Bytes(241, 250, 238), Bytes(255, 209, 102), f));
    cairo_move_to(cr, -226, 6);
    cairo_show_text(cr, "Spring Sale!");

    // Tagline, letter by letter along its curve.
    const double curve[4][2] = {{-60, 25}, {-10, 17}, {90, 27}, {140, 21}};
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 7);
    Source(cr, Mix(Bytes(168, 218, 220), Bytes(255, 255, 255), f));
    const char* text = "banners - buttons - animations";
    const int n = static_cast<int>(std::strlen(text));
    for (int i = 0; i < n; ++i) {
        double x = 0, y = 0, nx = 0, ny = 0;
        Cubic(curve, i / double(n), &x, &y);
        Cubic(curve, (i + 1) / double(n), &nx, &ny);
        const char letter[2] = {text[i], 0};
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, std::atan2(ny - y, nx - x));
        cairo_move_to(cr, 0, 0);
        cairo_show_text(cr, letter);
        cairo_restore(cr);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT\n", argv[0]);
        return 2;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_surface_t* tile = StripeTile();
    cairo_pattern_t* stripes = cairo_pattern_create_for_surface(tile);
    cairo_pattern_set_extend(stripes, CAIRO_EXTEND_REPEAT);
    cairo_surface_t* badge = BadgeTile();
    int status = 0;
    for (int frame = 1; frame <= kFrames; ++frame) {
        DrawFrame(cr, frame, stripes, badge);
        char name[16];
        std::snprintf(name, sizeof name, "_%03d.png", frame);
        if (cairo_surface_write_to_png(surface, (std::string(argv[1]) + name).c_str()) !=
            CAIRO_STATUS_SUCCESS) {
            status = 1;
        }
    }
    cairo_surface_destroy(badge);
    cairo_pattern_destroy(stripes);
    cairo_surface_destroy(tile);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return status;
}
