// The sketcher's text: the font data's glyph contours become fill polygons, stroked like every
// other shape, either from one pen position or character by character along a path.
//
// Placement along a path: the characters follow one another along the flattened path's arc
// length, from the start offset on, each advancing by its own width plus the font's spacing
// and kerning with its neighbour. A glyph is turned to the path's direction at the middle of
// its advance, and its pen origin set back along that direction so that the middle of the
// advance lies on the path: on a curve the glyphs sit centred on it. The text stops at the
// first character that would run past the path's end.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "YKFontData.h"
#include "YKSketcher.h"
#include "yk_sketch_geometry_internal.h"
#include "yk_utf8.h"

namespace {

using yk_sketch::AllFinite;
using yk_sketch::Point;
using yk_sketch::Scaled;

// As many contour points as one string drawn at a point may give: zero-width characters
// cannot pile up glyphs without bound.
constexpr int64 kMaxGlyphPoints = int64{1} << 24;

Point Heading(double angle) {
    return {std::cos(angle), std::sin(angle)};
}

// A polyline measured by arc length.
class PathWalk {
public:
    explicit PathWalk(const YKPointList& points) {
        mLengths.reserve(static_cast<std::size_t>(points.CountItems()));
        double length = 0;
        for (int32 i = 0; i < points.CountItems(); ++i) {
            const Point p = points.ItemAt(i);
            if (i > 0) {
                const Point step = p - mPoints.back();
                length += std::hypot(step.x, step.y);
            }
            mPoints.push_back(p);
            mLengths.push_back(length);
        }
    }

    double Length() const { return mLengths.empty() ? 0 : mLengths.back(); }

    // The point `s` along the path (0 <= s <= Length() > 0) and the direction of the segment
    // it lies on; segments of no length are passed over.
    path_item At(double s) const {
        const auto first = mLengths.begin();
        const auto end = s < Length() ? std::upper_bound(first, mLengths.end(), s)
                                      : std::lower_bound(first, mLengths.end(), Length());
        const auto k = static_cast<std::size_t>(std::max<std::ptrdiff_t>(end - first, 1));
        const Point from = mPoints[k - 1];
        const Point step = mPoints[k] - from;
        const double piece = mLengths[k] - mLengths[k - 1];
        path_item item;
        item.point = from + Scaled(step, piece > 0 ? (s - mLengths[k - 1]) / piece : 0);
        item.angle = std::atan2(step.y, step.x);
        return item;
    }

private:
    std::vector<Point> mPoints;
    std::vector<double> mLengths;  // arc length up to each point
};

}  // namespace

// --- Glyphs at a pen position

void YKSketcher::BuildGlyphs(const char* text, YKPoint<double> at, int32 skip) {
    ResetPolygon();
    ResetOutline();
    if (mFontData != nullptr && text != nullptr) {
        mFontData->GetGlyphOutlines(mPolygons, text, at, skip, 0);
    }
    ComputeOutline();
}

void YKSketcher::DrawChar(char c, YKPoint<double> at) {
    const char text[2] = {c, 0};
    BuildGlyphs(text, at, 0);
}

void YKSketcher::DrawString(const char* text, YKPoint<double> at) {
    BuildGlyphs(text, at, 0);
}

void YKSketcher::DrawString(const char* text, YKPoint<double> at, int32 skip) {
    BuildGlyphs(text, at, skip);
}

// --- Text along a path

void YKSketcher::DrawString(char* text, YKPointList* path, double a, double) {
    ResetPolygon();
    ResetOutline();
    InitStringPath();
    if (path != nullptr && mFontData != nullptr) {
        InitPolygon();
        SetBezierWhole(*path);
        _ComputeStringPath(text, a);
        // The flattened path was only measured; every glyph goes into one polygon list, so that
        // the whole text is filled at once.
        ResetPolygon();
        const double rotation = mFontData->Rotation();
        // Vertical writing advances down the glyphs' own y axis: that axis follows the path.
        const double turn = mFontData->Direction() ? 0 : std::numbers::pi / 2;
        int64 points = 0;
        for (int32 i = 0; i + 1 < mStringPath.CountItems() && points < kMaxGlyphPoints; ++i) {
            const path_item item = mStringPath.ItemAt(i);
            mFontData->SetRotation(rotation + item.angle - turn);
            const int32 first = mPolygons.CountItems();
            mFontData->GetGlyphOutlines(mPolygons, item.character, item.point, 0, 0);
            for (int32 k = first; k < mPolygons.CountItems(); ++k) {
                points += mPolygons.ItemAt(k)->CountItems();
            }
        }
        mFontData->SetRotation(rotation);
        ComputeOutline();
    }
    if (path != nullptr) {
        path->MakeEmpty();
    }
}

void YKSketcher::_ComputeStringPath(const char* text, double start) {
    InitStringPath();
    if (mFontData == nullptr || text == nullptr || mCurrent == nullptr || !AllFinite(*mCurrent)) {
        return;
    }
    const PathWalk walk(*mCurrent);
    const double length = walk.Length();
    if (!(length > 0) || !std::isfinite(length)) {
        return;
    }
    // Text cannot start before the path does nor after it ends.
    double pen = std::isfinite(start) ? std::clamp(start, 0.0, length) : 0.0;
    path_item previous;
    double previousWidth = 0;
    bool placed = false;
    for (const char* p = text; *p != 0;) {
        const int32 bytes = yk_utf8_char_length(p);
        path_item item;
        std::memcpy(item.character, p, static_cast<std::size_t>(bytes));
        p += bytes;
        const double width = mFontData->StringWidth(item.character, 0);
        if (placed) {
            // Spacing and kerning: what the pair measures beyond its two characters.
            char pair[sizeof item.character * 2] = {};
            std::strcpy(pair, previous.character);
            std::strcat(pair, item.character);
            pen += mFontData->StringWidth(pair, 0) - previousWidth - width;
        }
        if (!(pen + width <= length)) {
            break;
        }
        const path_item middle = walk.At(std::max(pen + width / 2, 0.0));
        item.angle = middle.angle;
        item.point = middle.point - Scaled(Heading(middle.angle), width / 2);
        mStringPath.AddItem(item);
        pen += width;
        previous = item;
        previousWidth = width;
        placed = true;
    }
    // The end: where the last glyph's advance ends, on its own baseline, so that a caret after
    // the text sits flush with it.
    path_item end = walk.At(std::clamp(pen, 0.0, length));
    if (placed) {
        end.point = previous.point + Scaled(Heading(previous.angle), previousWidth);
        end.angle = previous.angle;
    }
    mStringPath.AddItem(end);
}
