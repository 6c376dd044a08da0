#include "YKSketcher.h"

#include "yk_sketch_geometry_internal.h"
#include "yk_stroker_internal.h"

namespace {

using yk_sketch::AllFinite;
using yk_sketch::AppendPoints;

void DeleteAll(YKList<YKPointList*>& lists) {
    for (int32 i = 0; i < lists.CountItems(); ++i) {
        delete lists.ItemAt(i);
    }
    lists.MakeEmpty();
}

}  // namespace

YKSketcher::YKSketcher() = default;

YKSketcher::~YKSketcher() {
    ResetPolygon();
    ResetOutline();
}

// --- State

void YKSketcher::SetWidth(double width) {
    // A stroke is never thinner than a pixel, and wireframes are always hairlines.
    mWidth = width > 1.0 && mDisplay != YK_PREVIEW_WIREFRAME ? width : 1.00001;
    mWidthArray = nullptr;
}

void YKSketcher::SetWidthArray(YKList<double>* widths) {
    mWidthArray = widths;
    mWidth = -1.0;
    if (widths != nullptr) {
        for (int32 i = 0; i < widths->CountItems(); ++i) {
            mWidth = MAX(mWidth, widths->ItemAt(i));
        }
    }
}

void YKSketcher::SetLineMode(int32 capIn, int32 capOut, int32 join, double miterLimit) {
    mCapIn = capIn;
    mCapOut = capOut;
    mJoin = join;
    mMiterLimit = miterLimit;
}

void YKSketcher::SetAntgMode(int32) {
    mAntgMode = YK_ANTG_ANTIALIASED;
}

// --- Building

void YKSketcher::ResetPolygon() {
    DeleteAll(mPolygons);
    delete mCurrent;
    mCurrent = nullptr;
}

void YKSketcher::InitPolygon() {
    delete mCurrent;
    mCurrent = new YKPointList(16);
}

void YKSketcher::ClosePolygon() {
    if (mCurrent == nullptr) {
        return;
    }
    // A polygon with a point at infinity or NaN has no drawable shape: it is dropped whole.
    if (AllFinite(*mCurrent)) {
        mPolygons.AddItem(mCurrent);
    } else {
        delete mCurrent;
    }
    mCurrent = nullptr;
}

void YKSketcher::ResetOutline() {
    DeleteAll(mOutline);
    DeleteAll(mOutlineIn);
    DeleteAll(mOutlineOut);
}

void YKSketcher::ComputeOutline() {
    if (!mOutlineWanted) {
        return;
    }
    if (mStroker == nullptr) {
        mStroker = std::make_unique<YKStroker>(*this);
    }
    for (int32 i = 0; i < mPolygons.CountItems(); ++i) {
        mStroker->Outline(*mPolygons.ItemAt(i));
    }
}

// --- Drawing: build the fill polygon, then its stroke

template <typename Build>
void YKSketcher::BuildPolygon(Build build) {
    ResetPolygon();
    InitPolygon();
    build();
    ClosePolygon();
    ResetOutline();
}

template <typename Build>
void YKSketcher::Draw(Build build) {
    BuildPolygon(build);
    ComputeOutline();
}

template <typename Build>
void YKSketcher::DrawCopy(YKPointList* points, Build build) {
    YKPointList copy(16);
    if (points != nullptr) {
        AppendPoints(*points, copy);
    }
    Draw([&] { build(copy); });
    if (points != nullptr) {
        points->MakeEmpty();
    }
}

// --- Shapes

void YKSketcher::DrawLine(YKPoint<double> from, YKPoint<double> to) {
    Draw([&] { SetLine(from, to); });
}

void YKSketcher::DrawLine(double x0, double y0, double x1, double y1) {
    DrawLine(YKPoint<double>{x0, y0}, YKPoint<double>{x1, y1});
}

void YKSketcher::DrawPolygon(YKPointList* points) {
    DrawCopy(points, [this](const YKPointList& copy) { SetPolygon(copy); });
}

void YKSketcher::DrawRect(YKPointList* corners) {
    DrawCopy(corners, [this](const YKPointList& copy) { SetRect(copy); });
}

void YKSketcher::DrawRoundRect(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                               YKPoint<double> p3, double rx, double ry) {
    Draw([&] { SetRoundRect(p0, p1, p2, p3, rx, ry); });
}

void YKSketcher::DrawEllipse(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                             YKPoint<double> p3) {
    Draw([&] { SetEllipse(p0, p1, p2, p3); });
}

void YKSketcher::DrawArc(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2) {
    BuildPolygon([&] { SetArc(p0, p1, p2); });
    // The fill is closed through the centre; the stroke follows the curve alone.
    YKPointList* arc = mPolygons.LastItem();
    if (arc == nullptr || arc->IsEmpty()) {
        return;
    }
    const YKPoint<double> closing = arc->RemoveItem(arc->CountItems() - 1);
    ComputeOutline();
    arc->AddItem(closing);
}

void YKSketcher::DrawBezier(YKPointList* points) {
    DrawCopy(points, [this](const YKPointList& copy) { SetBezier(copy); });
}
