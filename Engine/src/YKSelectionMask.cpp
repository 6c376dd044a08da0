#include <algorithm>
#include <cmath>
#include <numbers>

#include "YKEffectLayer.h"
#include "YKSelectionMask_internal.h"
#include "YKZipSketcher.h"
#include "yk_composition.h"
#include "yk_image_limits.h"
#include "yk_sketch_modes.h"

// Sections: alpha maps · shapes · combining · feathering · magic wand.

namespace yk_selection {

namespace {

// Shapes may reach this far beyond the canvas; further out they are pulled in.
constexpr double kMargin = 1 << 16;
constexpr uint32 kOpaqueMask = 0xFF000000u;

bool Workable(YKRect<int32> area, int32 bytesPerPixel) {
    return area.IsValid() && yk_image_size_ok(int64{area.right} - area.left + 1,
                                              int64{area.bottom} - area.top + 1, bytesPerPixel);
}

YKRect<int32> Normalized(YKRect<int32> rect) {
    return {std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
            std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
}

YKRect<int32> FrameOf(YKBitmap* bitmap) {
    return bitmap != nullptr ? bitmap->Frame() : YKRect<int32>::None();
}

// Inclusive rectangles: a rectangle's pixel counts across and down.
int32 Columns(YKRect<int32> rect) {
    return rect.right - rect.left + 1;
}

int32 Rows(YKRect<int32> rect) {
    return rect.bottom - rect.top + 1;
}

double Pulled(double value, int32 low, int32 high) {
    return std::clamp(value, low - kMargin, high + kMargin);
}

}  // namespace

// --- Alpha maps ---

std::vector<uint8> Alphas(YKBitmap* bitmap, YKRect<int32> area) {
    if (!Workable(area, 1)) {
        return {};
    }
    const int32 width = Columns(area);
    std::vector<uint8> alphas(static_cast<size_t>(width) * Rows(area), 0);
    if (bitmap == nullptr || !area.Intersects(bitmap->Frame())) {
        return alphas;
    }
    std::vector<uint32> row(static_cast<size_t>(width));
    uint8* out = alphas.data();
    for (int32 y = area.top; y <= area.bottom; ++y, out += width) {
        bitmap->GetLineAt(y, area.left, area.right, false, row.data());
        std::transform(row.begin(), row.end(), out, [](uint32 p) { return uint8(p >> 24); });
    }
    return alphas;
}

std::unique_ptr<YKBitmap> FromAlphas(const std::vector<uint8>& alphas, YKRect<int32> area) {
    if (alphas.empty()) {
        return nullptr;
    }
    auto mask = std::make_unique<YKBitmap>("selection");
    const int32 width = Columns(area);
    std::vector<uint32> row(static_cast<size_t>(width));
    for (int32 y = area.top; y <= area.bottom; ++y) {
        const uint8* in = alphas.data() + static_cast<size_t>(y - area.top) * width;
        const auto first = std::find_if(in, in + width, [](uint8 a) { return a != 0; });
        if (first == in + width) {
            continue;
        }
        const int32 x0 = static_cast<int32>(first - in);
        int32 x1 = width - 1;
        while (in[x1] == 0) {
            --x1;
        }
        for (int32 x = x0; x <= x1; ++x) {
            row[x] = uint32{in[x]} << 24;
        }
        mask->SetLineAt(row.data() + x0, y, area.left + x0, area.left + x1);
    }
    return mask->IsEmpty() ? nullptr : std::move(mask);
}

std::unique_ptr<YKBitmap> AlphaOf(YKBitmap* pixels, YKRect<int32> canvas) {
    const YKRect<int32> area = FrameOf(pixels) & canvas;
    return FromAlphas(Alphas(pixels, area), area);
}

// --- Shapes ---

std::unique_ptr<YKBitmap> Rectangle(YKRect<int32> rect, YKRect<int32> canvas) {
    const YKRect<int32> area = Normalized(rect) & canvas;
    if (!area.IsValid()) {
        return nullptr;
    }
    auto mask = std::make_unique<YKBitmap>("selection");
    for (int32 y = area.top; y <= area.bottom; ++y) {
        mask->SetPixelAt(y, area.left, Columns(area), kOpaqueMask, YK_COPY);
    }
    return mask;
}

std::unique_ptr<YKBitmap> Polygon(const std::vector<YKPoint<double>>& points, YKRect<int32> canvas,
                                  bool antialias) {
    if (!Workable(canvas, 4)) {
        return nullptr;
    }
    YKPointList list;
    for (const YKPoint<double>& p : points) {
        if (std::isfinite(p.x) && std::isfinite(p.y)) {
            list.AddItem(
                {Pulled(p.x, canvas.left, canvas.right), Pulled(p.y, canvas.top, canvas.bottom)});
        }
    }
    if (list.CountItems() < 3) {
        return nullptr;
    }
    YKBitmap drawn;
    YKZipSketcher sketcher;
    sketcher.SetBuffer(&drawn);
    sketcher.SetFrame(canvas);
    sketcher.SetAntgMode(YK_ANTG_ANTIALIASED);
    sketcher.SetFillColor(yk_color(0, 0, 0, 255));
    sketcher.SetStrokeStyle(YK_STYLE_NONE);
    sketcher.DrawPolygon(&list);
    // The sketcher draws one pixel beyond its frame.
    const YKRect<int32> area = drawn.Frame() & canvas;
    std::vector<uint8> alphas = Alphas(&drawn, area);
    if (!antialias) {
        // A hard edge keeps the pixels at least half covered.
        for (uint8& a : alphas) {
            a = a >= 128 ? 255 : 0;
        }
    }
    return FromAlphas(alphas, area);
}

std::unique_ptr<YKBitmap> Ellipse(YKRect<int32> rect, YKRect<int32> canvas, bool antialias) {
    const YKRect<int32> box = Normalized(rect);
    // The ellipse touches the outer edges of the box's pixels.
    const double left = Pulled(box.left, canvas.left, canvas.right);
    const double right = Pulled(box.right + 1.0, canvas.left, canvas.right);
    const double top = Pulled(box.top, canvas.top, canvas.bottom);
    const double bottom = Pulled(box.bottom + 1.0, canvas.top, canvas.bottom);
    const double a = (right - left) / 2;
    const double b = (bottom - top) / 2;
    // About two pixels of outline per vertex, within bounds.
    const int32 count =
        std::clamp(static_cast<int32>(std::ceil(std::numbers::pi * (a + b) / 2)), 16, 4096);
    std::vector<YKPoint<double>> points;
    points.reserve(static_cast<size_t>(count));
    for (int32 i = 0; i < count; ++i) {
        const double t = 2 * std::numbers::pi * i / count;
        points.push_back({left + a + a * std::cos(t), top + b + b * std::sin(t)});
    }
    return Polygon(points, canvas, antialias);
}

// --- Combining ---

std::unique_ptr<YKBitmap> Combine(YKBitmap* a, YKBitmap* b, bool subtract, YKRect<int32> canvas) {
    const YKRect<int32> area = (subtract ? FrameOf(a) : FrameOf(a) | FrameOf(b)) & canvas;
    std::vector<uint8> result = Alphas(a, area);
    const std::vector<uint8> other = Alphas(b, area);
    for (size_t i = 0; i < result.size(); ++i) {
        result[i] = subtract ? uint8((result[i] * (255 - other[i]) + 127) / 255)
                             : std::max(result[i], other[i]);
    }
    return FromAlphas(result, area);
}

// --- Feathering ---

std::unique_ptr<YKBitmap> Feather(YKBitmap* mask, int32 radius, YKRect<int32> canvas) {
    const int32 reach = std::clamp(radius, 0, YKEffectLayer::kMaxBlurRadius);
    YKRect<int32> area = FrameOf(mask);
    if (area.IsValid()) {
        area.InsetBy(-reach, -reach);
    }
    area = area & canvas;
    std::vector<uint8> alphas = Alphas(mask, area);
    if (reach > 0 && !alphas.empty()) {
        // The effects' blur: a cosine window that leaves out what falls off the map.
        YKEffectLayer blur(0);
        blur.SetRadius(static_cast<float>(reach));
        blur.Blur8(alphas.data(), Columns(area), Rows(area));
    }
    return FromAlphas(alphas, area);
}

// --- Magic wand ---

std::unique_ptr<YKBitmap> MagicWand(YKBitmap* image, YKPoint<int32> seed, int32 tolerance,
                                    YKRect<int32> canvas) {
    if (image == nullptr || !canvas.Contains(seed) || !Workable(canvas, 4)) {
        return nullptr;
    }
    const int32 width = Columns(canvas);
    const int32 height = Rows(canvas);
    std::vector<uint32> pixels(static_cast<size_t>(width) * height);
    for (int32 y = 0; y < height; ++y) {
        image->GetLineAt(canvas.top + y, canvas.left, canvas.right, false,
                         pixels.data() + static_cast<size_t>(y) * width);
    }
    const int32 limit = std::clamp(tolerance, 0, 255);
    const int32 start = (seed.y - canvas.top) * width + (seed.x - canvas.left);
    const uint32 reference = pixels[static_cast<size_t>(start)];
    const auto similar = [reference, limit](uint32 p) {
        for (int32 shift = 0; shift < 32; shift += 8) {
            const int32 d = int32((p >> shift) & 0xFF) - int32((reference >> shift) & 0xFF);
            if (std::abs(d) > limit) {
                return false;
            }
        }
        return true;
    };
    // Marked when pushed, so the stack never holds more entries than the canvas has pixels.
    std::vector<uint8> selected(pixels.size(), 0);
    std::vector<int32> stack{start};
    selected[static_cast<size_t>(start)] = 255;
    while (!stack.empty()) {
        const int32 at = stack.back();
        stack.pop_back();
        const int32 x = at % width;
        const int32 y = at / width;
        const auto visit = [&](bool inside, int32 next) {
            if (inside && selected[static_cast<size_t>(next)] == 0 &&
                similar(pixels[static_cast<size_t>(next)])) {
                selected[static_cast<size_t>(next)] = 255;
                stack.push_back(next);
            }
        };
        visit(x > 0, at - 1);
        visit(x + 1 < width, at + 1);
        visit(y > 0, at - width);
        visit(y + 1 < height, at + width);
    }
    return FromAlphas(selected, canvas);
}

}  // namespace yk_selection
