#include "YKZipSketcher.h"

#include <algorithm>
#include <cmath>

#include "YKAutolock.h"
#include "YKLocker.h"
#include "YKScanConverter.h"
#include "YKZipSketcherGlyphs.h"
#include "YKZipSketcherPaint.h"
#include "yk_composition.h"

// Sections: construction · drawing · filling. Painting rows is in YKZipSketcherPaint.cpp.

namespace {

const yk_color kPreviewGrey{80, 80, 80, 255};
const yk_color kWireframeBlue{51, 102, 152, 255};

}  // namespace

// --- Construction ---

YKZipSketcher::YKZipSketcher() : mScan(std::make_unique<YKScanConverter>()) {}

YKZipSketcher::~YKZipSketcher() = default;

YKLocker& YKZipSketcher::Lock() {
    static YKLocker lock("lock_sketcher");
    return lock;
}

void YKZipSketcher::SetFrame(YKRect<int32> frame) {
    if (frame.IsValid()) {
        frame.InsetBy(-1, -1);
        // Points are pulled within the same range, so nothing is drawn beyond it, and the
        // frame's fixed-point form stays in range.
        const auto limit = static_cast<int32>(YKScanConverter::kMaxCoordinate);
        frame = frame & YKRect<int32>{-limit, -limit, limit, limit};
    }
    YKSketcher::SetFrame(frame);
    mScan->SetFrame(frame);
    mLine.assign(frame.IsValid() ? std::size_t(frame.right - frame.left) + 1 : 0, 0);
}

// --- Drawing ---

bool YKZipSketcher::CanDraw() const {
    return mBuffer != nullptr && Frame().IsValid();
}

bool YKZipSketcher::StrokePainted() const {
    return StrokeStyle() != YK_STYLE_NONE && StrokeColor().alpha != 0 && Width() > 1.0;
}

template <typename Build>
void YKZipSketcher::Draw(Build build) {
    YKAutolock guard(Lock());
    if (!CanDraw()) {
        return;
    }
    // The previews paint every outline; the normal display only a stroke with paint.
    SetOutlineWanted(Display() != YK_PREVIEW_NORMAL || StrokePainted());
    build();
    SetOutlineWanted(true);
    PolygonDraw();
}

void YKZipSketcher::DrawChar(char c, YKPoint<double> at) {
    YKAutolock guard(Lock());
    const char text[2] = {c, 0};
    if (!CanDraw() || !DrawGlyphMasks(text, at, 0)) {
        Draw([&] { YKSketcher::DrawChar(c, at); });
    }
}

void YKZipSketcher::DrawString(const char* text, YKPoint<double> at) {
    YKAutolock guard(Lock());
    if (!CanDraw() || !DrawGlyphMasks(text, at, 0)) {
        Draw([&] { YKSketcher::DrawString(text, at); });
    }
}

void YKZipSketcher::DrawString(const char* text, YKPoint<double> at, int32 skip) {
    YKAutolock guard(Lock());
    if (!CanDraw() || !DrawGlyphMasks(text, at, skip)) {
        Draw([&] { YKSketcher::DrawString(text, at, skip); });
    }
}

void YKZipSketcher::DrawString(char* text, YKPointList* path, double a, double b) {
    Draw([&] { YKSketcher::DrawString(text, path, a, b); });
    if (path != nullptr) {
        path->MakeEmpty();
    }
}

void YKZipSketcher::DrawLine(YKPoint<double> from, YKPoint<double> to) {
    Draw([&] { YKSketcher::DrawLine(from, to); });
}

void YKZipSketcher::DrawLine(double x0, double y0, double x1, double y1) {
    Draw([&] { YKSketcher::DrawLine(x0, y0, x1, y1); });
}

void YKZipSketcher::DrawPolygon(YKPointList* points) {
    Draw([&] { YKSketcher::DrawPolygon(points); });
    if (points != nullptr) {
        points->MakeEmpty();
    }
}

void YKZipSketcher::DrawRect(YKPointList* corners) {
    Draw([&] { YKSketcher::DrawRect(corners); });
    if (corners != nullptr) {
        corners->MakeEmpty();
    }
}

void YKZipSketcher::DrawRoundRect(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                                  YKPoint<double> p3, double rx, double ry) {
    Draw([&] { YKSketcher::DrawRoundRect(p0, p1, p2, p3, rx, ry); });
}

void YKZipSketcher::DrawEllipse(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                                YKPoint<double> p3) {
    Draw([&] { YKSketcher::DrawEllipse(p0, p1, p2, p3); });
}

void YKZipSketcher::DrawArc(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2) {
    Draw([&] { YKSketcher::DrawArc(p0, p1, p2); });
}

void YKZipSketcher::DrawBezier(YKPointList* points) {
    Draw([&] { YKSketcher::DrawBezier(points); });
    if (points != nullptr) {
        points->MakeEmpty();
    }
}

void YKZipSketcher::PolygonDraw() {
    const int32 fillStyle = FillStyle();
    const int32 strokeStyle = StrokeStyle();
    const yk_color strokeColor = StrokeColor();
    const bool stroked = StrokePainted();
    switch (Display()) {
        case YK_PREVIEW_OUTLINE:
            // A preview shows the outline in plain colour; one that would not show at all is
            // drawn in the wireframe colour so the object can still be found.
            SetStrokeColor(!stroked                        ? kWireframeBlue
                           : strokeStyle != YK_STYLE_COLOR ? kPreviewGrey
                                                           : strokeColor);
            SetStrokeStyle(YK_STYLE_COLOR);
            for (int32 i = 0; i < Outline()->CountItems(); ++i) {
                PolygonStroke(*Outline()->ItemAt(i));
            }
            break;
        case YK_PREVIEW_WIREFRAME:
            SetStrokeColor(kWireframeBlue);
            SetStrokeStyle(YK_STYLE_COLOR);
            for (int32 i = 0; i < Outline()->CountItems(); ++i) {
                PolygonStroke(*Outline()->ItemAt(i));
            }
            break;
        default: {
            const bool filled = fillStyle != YK_STYLE_NONE && FillColor().alpha != 0;
            if (filled && mOverlapStroke) {
                PolygonFill();
            }
            for (int32 i = 0; stroked && i < Outline()->CountItems(); ++i) {
                PolygonStroke(*Outline()->ItemAt(i));
            }
            if (filled && !mOverlapStroke) {
                PolygonFill();
            }
        }
    }
    // The previews change only what this drawing showed.
    SetStrokeStyle(strokeStyle);
    SetStrokeColor(strokeColor);
}

void YKZipSketcher::PolygonFill() {
    Fill({Polygon()->Items(), static_cast<std::size_t>(Polygon()->CountItems())}, true);
}

void YKZipSketcher::PolygonStroke(const YKPointList& outline) {
    const YKPointList* const one = &outline;
    Fill({&one, 1}, false);
}

YKZipSketcher::Paint YKZipSketcher::PaintFor(bool fill) const {
    Paint paint;
    paint.style = fill ? FillStyle() : StrokeStyle();
    paint.color = fill ? FillColor() : StrokeColor();
    paint.pattern = fill ? &FillPatternPaint() : &StrokePatternPaint();
    paint.gradient = fill ? FillGradient() : StrokeGradient();
    if (paint.style == YK_STYLE_PATTERN) {
        paint.placement = yk_zip_pattern_placement(*paint.pattern);
    }
    // The part drawn first replaces what the bitmap holds; the one over it is composed.
    paint.mode = (fill == mOverlapStroke) ? YK_COPY : YK_NORMAL;
    return paint;
}

void YKZipSketcher::Fill(std::span<const YKPointList* const> polygons, bool fill) {
    std::vector<YKFixedPolygon>& store = mScan->PolygonStore();
    std::size_t count = 0;
    for (const YKPointList* polygon : polygons) {
        if (store.size() == count) {
            store.emplace_back();
        }
        // A polygon with a point nowhere cannot be drawn.
        if (YKScanConverter::ToFixed(*polygon, store[count])) {
            ++count;
        }
    }
    const std::span<const YKFixedPolygon> fixed(store.data(), count);
    const Paint paint = PaintFor(fill);
    if (!Paints(paint)) {
        return;
    }
    if (AntgMode() == YK_ANTG_ANTIALIASED) {
        mScan->FillAntialiased(fixed, [&](int32 y, const YKCoveragePiece* pieces,
                                          std::size_t pieceCount, const int32* coverage) {
            PaintCoverageRow(paint, y, pieces, pieceCount, coverage);
        });
    } else {
        mScan->FillPlain(fixed, [&](int32 y, int32 x0, int32 x1) { PaintRun(paint, y, x0, x1); });
    }
}
