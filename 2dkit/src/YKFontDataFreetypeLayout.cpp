// Pen placement, kerning and glyph contours of YKFontDataFreetype.

#include <algorithm>
#include <cmath>
#include <utility>

#include <freetype/ftoutln.h>

#include "YKAutolock.h"
#include "YKFontDataFreetype.h"
#include "yk_utf8.h"

namespace {

// Curves are halved until their control points lie this close to the chord (a cross product,
// in 1/2048 pixel units squared), at most kMaxDepth times so that huge sizes stay bounded.
constexpr double kFlatness = 5.0;
constexpr int32 kMaxDepth = 12;

struct Vec {
    double x;
    double y;
};

Vec Mid(Vec a, Vec b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

double Cross(Vec origin, Vec a, Vec b) {
    return (a.x - origin.x) * (b.y - origin.y) - (a.y - origin.y) * (b.x - origin.x);
}

// Receives FreeType's contour walk; points stay in glyph space, 1/2048 pixel with y up.
struct ContourSink {
    std::vector<std::vector<YKPoint<double>>>& out;
    std::vector<YKPoint<double>>* current = nullptr;
    Vec last{0, 0};

    void Add(Vec p) {
        current->push_back({p.x, p.y});
        last = p;
    }
    void Start(Vec p) {
        Close();
        current = &out.emplace_back();
        Add(p);
    }
    void Close() {
        if (current == nullptr) {
            return;
        }
        // The walk ends each contour on its first point, which a fill polygon need not repeat.
        if (current->size() > 1 && current->front().x == current->back().x &&
            current->front().y == current->back().y) {
            current->pop_back();
        }
        if (current->size() < 3) {
            out.pop_back();
        }
        current = nullptr;
    }
    void Conic(Vec p0, Vec c, Vec p1, int32 depth) {
        if (depth >= kMaxDepth || std::fabs(Cross(p0, c, p1)) < kFlatness) {
            Add(p1);
            return;
        }
        const Vec a = Mid(p0, c);
        const Vec b = Mid(c, p1);
        const Vec m = Mid(a, b);
        Conic(p0, a, m, depth + 1);
        Conic(m, b, p1, depth + 1);
    }
    void Cubic(Vec p0, Vec c0, Vec c1, Vec p1, int32 depth) {
        if (depth >= kMaxDepth ||
            std::max(std::fabs(Cross(p0, c0, p1)), std::fabs(Cross(p0, c1, p1))) < kFlatness) {
            Add(p1);
            return;
        }
        const Vec a = Mid(p0, c0);
        const Vec b = Mid(c0, c1);
        const Vec c = Mid(c1, p1);
        const Vec ab = Mid(a, b);
        const Vec bc = Mid(b, c);
        const Vec m = Mid(ab, bc);
        Cubic(p0, a, ab, m, depth + 1);
        Cubic(m, bc, c, p1, depth + 1);
    }
};

Vec ToVec(const FT_Vector* v) {
    return {static_cast<double>(v->x), static_cast<double>(v->y)};
}

ContourSink& Sink(void* user) {
    return *static_cast<ContourSink*>(user);
}

const FT_Outline_Funcs kWalk = {
    [](const FT_Vector* to, void* user) {
        Sink(user).Start(ToVec(to));
        return 0;
    },
    [](const FT_Vector* to, void* user) {
        Sink(user).Add(ToVec(to));
        return 0;
    },
    [](const FT_Vector* control, const FT_Vector* to, void* user) {
        ContourSink& sink = Sink(user);
        sink.Conic(sink.last, ToVec(control), ToVec(to), 0);
        return 0;
    },
    [](const FT_Vector* control0, const FT_Vector* control1, const FT_Vector* to, void* user) {
        ContourSink& sink = Sink(user);
        sink.Cubic(sink.last, ToVec(control0), ToVec(control1), ToVec(to), 0);
        return 0;
    },
    0,
    0,
};

}  // namespace

// --- Layout ---

FT_Pos YKFontDataFreetype::Kerning(FT_UInt previous, FT_UInt index) {
    if (mKerning.empty()) {
        mKerning.resize(std::size_t{1} << kKerningSlotBits);
    }
    const uint64 pair = uint64{previous} << 32 | index;
    KerningSlot& slot = mKerning[(pair * 0x9E3779B97F4A7C15u) >> (64 - kKerningSlotBits)];
    if (slot.pair == pair) {
        return slot.delta;
    }
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(mFace, previous, index, FT_KERNING_UNFITTED, &delta) != 0) {
        delta.x = 0;
    }
    slot = {pair, delta.x};
    return delta.x;
}

template <typename Place>
double YKFontDataFreetype::Layout(const std::vector<uint16>& codes, Place place) {
    const double size = mDirection ? mSizeH : mSizeV;
    const double spacing = mSpacing * size * 2048 / 100;
    const bool kerning = mDirection && mFace != nullptr && FT_HAS_KERNING(mFace);
    double pen = 0;
    FT_UInt previous = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        GlyphEntry& glyph = CachedGlyph(codes[i]);
        if (i > 0) {
            pen += spacing;
            if (kerning) {
                pen += static_cast<double>(Kerning(previous, glyph.index));
            }
        }
        place(static_cast<int32>(i), glyph, pen);
        pen +=
            static_cast<double>(mDirection ? glyph.metrics.horiAdvance : glyph.metrics.vertAdvance);
        previous = glyph.index;
    }
    return pen;
}

double YKFontDataFreetype::StringWidth(const char* text, double) {
    const std::vector<uint16> codes = yk_utf8_to_ucs2(text);
    YKAutolock lock(lock_freetype_access);
    return Layout(codes, [](int32, const GlyphEntry&, double) {}) / 2048.0;
}

double YKFontDataFreetype::GetHeight(const char* text, double) {
    if (mDirection) {
        return (mUnitAscent - mUnitDescent) / 2048.0;
    }
    // Across a vertical line: the widest character.
    const std::vector<uint16> codes = yk_utf8_to_ucs2(text);
    YKAutolock lock(lock_freetype_access);
    FT_Pos widest = 0;
    Layout(codes, [&](int32, const GlyphEntry& glyph, double) {
        widest = std::max(widest, glyph.metrics.horiAdvance);
    });
    return static_cast<double>(widest) / 2048.0;
}

void YKFontDataFreetype::GetGlyphOutlines(YKList<YKList<YKPoint<double>>*>& out, const char* text,
                                          YKPoint<double> origin, int32 skip, double) {
    if (!std::isfinite(origin.x) || !std::isfinite(origin.y)) {
        return;
    }
    const std::vector<uint16> codes = yk_utf8_to_ucs2(text);
    YKAutolock lock(lock_freetype_access);
    int64 produced = 0;
    Layout(codes, [&](int32 index, GlyphEntry& glyph, double pen) {
        if (index < skip || produced >= kMaxOutlinePoints) {
            return;
        }
        const int32 first = out.CountItems();
        AppendContours(out, glyph, pen, origin);
        for (int32 i = first; i < out.CountItems(); ++i) {
            produced += out.ItemAt(i)->CountItems();
        }
    });
}

void YKFontDataFreetype::Flatten(GlyphEntry& glyph) {
    if (glyph.flattened) {
        return;
    }
    if (mCachedPoints > kMaxCachedPoints) {
        // Too many glyphs seen at this size: start over rather than grow without bound.
        for (auto& [code, entry] : mGlyphs) {
            entry.flat = {};
            entry.flattened = false;
        }
        mCachedPoints = 0;
    }
    glyph.flattened = true;
    ++mFlattenings;
    if (glyph.contours.empty()) {
        return;
    }
    FT_Outline outline{};
    outline.n_points = static_cast<short>(glyph.points.size());
    outline.n_contours = static_cast<short>(glyph.contours.size());
    outline.points = glyph.points.data();
    outline.tags = glyph.tags.data();
    outline.contours = glyph.contours.data();
    ContourSink sink{glyph.flat};
    FT_Outline_Decompose(&outline, &kWalk, &sink);
    sink.Close();
    for (const auto& contour : glyph.flat) {
        mCachedPoints += static_cast<int64>(contour.size());
    }
}

// --- Placing contours ---

// Glyph space (y up, 1/2048 pixel, pen at 0) to document space (y down) relative to the
// origin: flip, shear (positive leans right), move to the pen, turn. Outline units are centred
// on pixel corners half a pixel up and left of the pen.
struct YKFontDataFreetype::Transform {
    double shear;
    double cosine;
    double sine;
    bool flipH;
    bool flipV;
    bool horizontal;
    // Mirrored within the line, so that the glyph keeps its place.
    double flipAxis;

    YKPoint<double> Apply(double x, double y, double advance, double pen,
                          YKPoint<double> origin) const {
        x = flipH ? advance - x : x;
        y = flipV ? flipAxis - y : y;
        x += shear * y;
        y = -y;
        if (horizontal) {
            x += pen;
        } else {
            y += pen;
        }
        const double turnedX = x * cosine - y * sine;
        const double turnedY = x * sine + y * cosine;
        return {origin.x + (turnedX - 1024) / 2048.0, origin.y + (turnedY - 1024) / 2048.0};
    }
    // Neither flipped, sheared nor turned, along a line: x grows and y falls with Apply's.
    bool IsPlain() const {
        return shear == 0 && cosine == 1 && sine == 0 && !flipH && !flipV && horizontal;
    }
    // Where Apply puts a glyph's own origin: the pen, turned.
    YKPoint<double> PenOrigin(double pen, YKPoint<double> origin) const {
        const double x = horizontal ? pen : 0;
        const double y = horizontal ? 0 : pen;
        return {origin.x + (x * cosine - y * sine) / 2048.0,
                origin.y + (x * sine + y * cosine) / 2048.0};
    }
};

YKFontDataFreetype::Transform YKFontDataFreetype::CurrentTransform() const {
    return {std::tan(mShearing * M_PI / 180.0),
            std::cos(mRotation),
            std::sin(mRotation),
            mFlipH,
            mFlipV,
            mDirection,
            mUnitAscent + mUnitDescent};
}

void YKFontDataFreetype::AppendContours(YKList<YKList<YKPoint<double>>*>& out, GlyphEntry& glyph,
                                        double pen, YKPoint<double> origin) {
    Flatten(glyph);
    const Transform transform = CurrentTransform();
    const double advance = static_cast<double>(glyph.metrics.horiAdvance);
    for (const auto& contour : glyph.flat) {
        // Copied whole, then placed where they lie: one allocation and no growth per contour.
        const auto count = static_cast<int32>(contour.size());
        auto* points = new YKList<YKPoint<double>>(count);
        points->AddItems(contour.data(), count);
        YKPoint<double>* p = points->Items();
        for (int32 i = 0; i < count; ++i) {
            p[i] = transform.Apply(p[i].x, p[i].y, advance, pen, origin);
        }
        out.AddItem(points);
    }
}

YKRect<double> YKFontDataFreetype::GetBoundingBox(const char* text, YKPoint<double> origin,
                                                  double) {
    YKRect<double> box = YKRect<double>::None();
    if (!std::isfinite(origin.x) || !std::isfinite(origin.y)) {
        return box;
    }
    const std::vector<uint16> codes = yk_utf8_to_ucs2(text);
    YKAutolock lock(lock_freetype_access);
    const Transform transform = CurrentTransform();
    // Text layout asks for the box of every character on every frame: the contours' points
    // are not worth a list each just to be measured.
    int64 produced = 0;
    Layout(codes, [&](int32, GlyphEntry& glyph, double pen) {
        if (produced >= kMaxOutlinePoints) {
            return;
        }
        Flatten(glyph);
        const double advance = static_cast<double>(glyph.metrics.horiAdvance);
        for (const auto& contour : glyph.flat) {
            for (const YKPoint<double>& p : contour) {
                const YKPoint<double> q = transform.Apply(p.x, p.y, advance, pen, origin);
                if (!box.IsValid()) {
                    box = {q.x, q.y, q.x, q.y};
                }
                box = {std::min(box.left, q.x), std::min(box.top, q.y), std::max(box.right, q.x),
                       std::max(box.bottom, q.y)};
            }
            produced += static_cast<int64>(contour.size());
        }
    });
    return box;
}

bool YKFontDataFreetype::PlaceGlyphs(const char* text, YKPoint<double> origin, int32 skip,
                                     const PlaceGlyph& place) {
    if (text == nullptr || !std::isfinite(origin.x) || !std::isfinite(origin.y)) {
        return true;
    }
    const std::vector<uint16> codes = yk_utf8_to_ucs2(text);
    YKAutolock lock(lock_freetype_access);
    const Transform transform = CurrentTransform();
    const bool plain = transform.IsPlain();
    GlyphPlacement placement;
    Layout(codes, [&](int32 index, GlyphEntry& glyph, double pen) {
        if (index < skip) {
            return;
        }
        // The box transforms the glyph's control box, which holds every point of its
        // flattened curves.
        placement.glyph = glyph.code;
        placement.origin = transform.PenOrigin(pen, origin);
        placement.box = YKRect<double>::None();
        const FT_Glyph_Metrics& m = glyph.metrics;
        if (!glyph.contours.empty()) {
            const double advance = static_cast<double>(m.horiAdvance);
            const double left = static_cast<double>(m.horiBearingX);
            const double top = static_cast<double>(m.horiBearingY);
            const double right = left + static_cast<double>(m.width);
            const double bottom = top - static_cast<double>(m.height);
            if (plain) {
                // Upright text: Apply only moves the corners, so two opposite ones give the
                // same box as all four.
                const YKPoint<double> a = transform.Apply(left, top, advance, pen, origin);
                const YKPoint<double> b = transform.Apply(right, bottom, advance, pen, origin);
                placement.box = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                                 std::max(a.y, b.y)};
                place(placement);
                return;
            }
            for (const auto& [x, y] : {std::pair{left, top}, std::pair{right, top},
                                       std::pair{left, bottom}, std::pair{right, bottom}}) {
                const YKPoint<double> p = transform.Apply(x, y, advance, pen, origin);
                placement.box = placement.box.IsValid()
                                    ? YKRect<double>{std::min(placement.box.left, p.x),
                                                     std::min(placement.box.top, p.y),
                                                     std::max(placement.box.right, p.x),
                                                     std::max(placement.box.bottom, p.y)}
                                    : YKRect<double>{p.x, p.y, p.x, p.y};
            }
        }
        place(placement);
    });
    return true;
}

void YKFontDataFreetype::GetGlyphContours(YKList<YKList<YKPoint<double>>*>& out, uint32 glyph,
                                          YKPoint<double> origin) {
    if (glyph > 0xFFFF || !std::isfinite(origin.x) || !std::isfinite(origin.y)) {
        return;
    }
    YKAutolock lock(lock_freetype_access);
    AppendContours(out, CachedGlyph(static_cast<uint16>(glyph)), 0, origin);
}
