#include <cmath>
#include <memory>
#include <numbers>

#include "YK3DLayer.h"
#include "YKRaster.h"
#include "yk_image_limits.h"
#include "yk_osmesa.h"

// Placement and drawing of the 3D layer: the model is drawn into the rectangle between the
// object's left-top and right-bottom corners, filling it (the unit sphere spans it), with no
// depth buffer and the faces in back-to-front order.

namespace {

// Placements beyond this are refused before they become integers.
constexpr double kMaxCoordinate = 1 << 29;

bool InRange(YKPoint<double> p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= kMaxCoordinate &&
           std::fabs(p.y) <= kMaxCoordinate;
}

YKRect<int32> TargetRect(const YKObjectLayer::Placement& placement) {
    const YKPoint<double> leftTop = placement.position + placement.leftTop;
    const YKPoint<double> rightBottom = placement.position + placement.rightBottom;
    if (!InRange(leftTop) || !InRange(rightBottom)) {
        return YKRect<int32>::None();
    }
    return {static_cast<int32>(std::floor(leftTop.x)), static_cast<int32>(std::floor(leftTop.y)),
            static_cast<int32>(std::floor(rightBottom.x)),
            static_cast<int32>(std::floor(rightBottom.y))};
}

bool SameSize(YKRect<int32> a, YKRect<int32> b) {
    return a.Width() == b.Width() && a.Height() == b.Height();
}

// Two white lights from the upper front and the lower left, no light besides them.
void SetLights(const YKOSMesa& gl) {
    const float first[4] = {0, 3, 3, 0};
    const float second[4] = {-3, -3, 3, 0};
    const float specular[4] = {0.25f, 0.25f, 0.25f, 1};
    const float diffuse[4] = {0.9f, 0.9f, 0.9f, 1};
    const float none[4] = {0, 0, 0, 1};
    for (const auto& [light, position] : {std::pair{GL_LIGHT0, first}, {GL_LIGHT1, second}}) {
        gl.Lightfv(light, GL_POSITION, position);
        gl.Lightfv(light, GL_SPECULAR, specular);
        gl.Lightfv(light, GL_DIFFUSE, diffuse);
        gl.Lightfv(light, GL_AMBIENT, diffuse);
        gl.Enable(light);
    }
    gl.LightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
}

void SetQuality(const YKOSMesa& gl, int32 quality) {
    gl.Disable(GL_DEPTH_TEST);
    gl.Disable(GL_CULL_FACE);
    if (quality == 0) {
        gl.Enable(GL_LIGHTING);
        gl.ShadeModel(GL_SMOOTH);
        SetLights(gl);
    } else {
        gl.Disable(GL_LIGHTING);
        gl.Disable(GL_POLYGON_SMOOTH);
        gl.ShadeModel(GL_FLAT);
    }
}

// Making a context, and pointing it at a new raster, cost more than drawing a banner-sized
// model: each thread that draws keeps a context bound to a raster, made again only for a new
// size.
struct DrawingTarget {
    const YKOSMesa* gl = nullptr;
    OSMesaContext context = nullptr;
    std::unique_ptr<YKRaster> raster;
    ~DrawingTarget() {
        if (context != nullptr) {
            gl->DestroyContext(context);
        }
    }
};

// The thread's raster of rect's size, current for drawing and cleared; null when OSMesa
// refuses.
YKRaster* CurrentTarget(const YKOSMesa& gl, YKRect<int32> rect) {
    thread_local DrawingTarget target;
    if (target.context == nullptr) {
        target.gl = &gl;
        // The bitmap's pixels are blue, green, red, alpha in memory.
        target.context = gl.CreateContextExt(OSMESA_BGRA, 0, 0, 0, nullptr);
        if (target.context == nullptr) {
            return nullptr;
        }
    }
    const bool sameSize = target.raster != nullptr && SameSize(target.raster->Frame(), rect);
    if (!sameSize || gl.GetCurrentContext() != target.context) {
        if (!sameSize) {
            target.raster =
                std::make_unique<YKRaster>(YKRect<int32>{0, 0, rect.Width(), rect.Height()});
        }
        YKRaster& raster = *target.raster;
        if (raster.Bits() == nullptr ||
            !gl.MakeCurrent(target.context, raster.Bits(), GL_UNSIGNED_BYTE, raster.Width(),
                            raster.Height())) {
            target.raster.reset();
            return nullptr;
        }
        gl.PixelStore(OSMESA_ROW_LENGTH, raster.BytesPerRow() / 4);
        // The raster's first row is the top one.
        gl.PixelStore(OSMESA_Y_UP, 0);
        gl.Viewport(0, 0, raster.Width(), raster.Height());
        gl.DrawBuffer(GL_FRONT);
        gl.ReadBuffer(GL_FRONT);
    }
    target.raster->OffsetTo(rect.LeftTop());
    return target.raster.get();
}

}  // namespace

double YK3DLayer::AngleOf(double r) {
    return 2 * std::numbers::pi * r / 10;
}

int32 YK3DLayer::Quality() const {
    const int32 faces = mModel != nullptr ? mModel->CountFaces() : 0;
    if (!mFastPreview || faces <= kFlatAbove) {
        return 0;
    }
    return faces > kOutlinesAbove ? 2 : 1;
}

void YK3DLayer::SetFastPreview(bool fast) {
    if (fast != mFastPreview) {
        mFastPreview = fast;
        Refresh();
    }
}

void YK3DLayer::NotifyPreviewModification() {
    SetFastPreview(PreviewMode() != 0);
}

void YK3DLayer::TakeAngles() {
    mRx = mRotX.Value();
    mRy = mRotY.Value();
    mRz = mRotZ.Value();
}

void YK3DLayer::Refresh() {
    if (Parent() != nullptr) {
        SuggestBoundingBox(CurrentPlacement(), true, false);
    }
}

// --- Placement ---

void YK3DLayer::AskBoundingBox(Placement* placement) {
    if (placement != nullptr && mPendingPlacement.has_value()) {
        *placement = *mPendingPlacement;
    }
}

void YK3DLayer::SuggestBoundingBox(const Placement& placement, bool force, bool switching) {
    (void)force;
    (void)switching;
    TakeAngles();
    const Drawn wanted{TargetRect(placement), mRx, mRy, mRz, Quality()};
    // The pixels depend on the angles, the quality and the target's size only: an unchanged
    // drawing is kept even when a full rendering is asked for, and a move shifts it.
    const bool sameDrawing = mDrawn.has_value() && mDrawn->target.IsValid() &&
                             wanted.target.IsValid() && SameSize(mDrawn->target, wanted.target) &&
                             mDrawn->rx == wanted.rx && mDrawn->ry == wanted.ry &&
                             mDrawn->rz == wanted.rz && mDrawn->quality == wanted.quality;
    const YKRect<int32> before = Frame();
    if (sameDrawing && mDrawn->target == wanted.target) {
        return;
    }
    if (sameDrawing) {
        ShiftRendering(&mBitmap, wanted.target.LeftTop() - mDrawn->target.LeftTop());
    } else {
        Render(wanted.target, mRx, mRy, mRz);
        ProcessEffect();
    }
    mDrawn = wanted;
    InvalidateLayer(before | Frame(), true, nullptr);
}

// --- Drawing ---

void YK3DLayer::Render(YKRect<int32> rect, double rx, double ry, double rz) {
    ++mRenderCount;
    mBitmap.MakeEmpty();
    const int64 width = int64{rect.right} - rect.left + 1;
    const int64 height = int64{rect.bottom} - rect.top + 1;
    const YKOSMesa* gl = yk_osmesa();
    if (gl == nullptr || mModel == nullptr || !rect.IsValid() ||
        !yk_image_size_ok(width, height, 4)) {
        return;
    }
    YKRaster* raster = CurrentTarget(*gl, rect);
    if (raster == nullptr) {
        return;
    }
    const int32 quality = Quality();
    SetQuality(*gl, quality);
    gl->ClearColor(0, 0, 0, 0);
    gl->Clear(GL_COLOR_BUFFER_BIT);
    gl->MatrixMode(GL_MODELVIEW);
    gl->PushMatrix();
    gl->LoadIdentity();
    gl->Rotatef(static_cast<GLfloat>(AngleOf(rx)), 1, 0, 0);
    gl->Rotatef(static_cast<GLfloat>(AngleOf(ry)), 0, 1, 0);
    gl->Rotatef(static_cast<GLfloat>(AngleOf(rz)), 0, 0, 1);
    mModel->RenderObject(quality);
    gl->PopMatrix();
    gl->Finish();
    mBitmap.SetRaster(raster, rect);
}

// --- Composition ---

void YK3DLayer::ComposeLayer(YKBitmap* destination, YKRect<int32> rect) {
    ComposeRendering(destination, rect, &mBitmap);
}

YKRect<int32> YK3DLayer::Frame() const {
    return YKEffectLayer::Frame() | mBitmap.Frame();
}
