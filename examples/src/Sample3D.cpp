// The 3D sample: a 256 x 256 document of 24 frames in which a golden torus, made of polygons in
// code, turns once about its vertical axis, like a spun coin, while it tips forward and back.

#include "Sample3D.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "YK3DLayer.h"
#include "YK3DObject.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

namespace {

constexpr int32 kFrames = 24;
constexpr int32 kRing = 64;  // quads around the ring
constexpr int32 kTube = 32;  // quads around the tube

// A torus of kRing x kTube quads, its ring in the x-y plane, facing the viewer.
class Torus : public YK3DObject {
public:
    Torus() {
        constexpr double ring = 1.0, tube = 0.38;
        for (int32 i = 0; i < kRing; ++i) {
            const double u = 2 * std::numbers::pi * i / kRing;
            for (int32 j = 0; j < kTube; ++j) {
                const double v = 2 * std::numbers::pi * j / kTube;
                const double r = ring + tube * std::cos(v);
                mVertices.insert(
                    mVertices.end(),
                    {float(r * std::cos(u)), float(tube * std::sin(v)), float(r * std::sin(u))});
            }
        }
        const auto at = [](int32 i, int32 j) { return (i % kRing) * kTube + j % kTube; };
        for (int32 i = 0; i < kRing; ++i) {
            for (int32 j = 0; j < kTube; ++j) {
                mFaces.push_back({0, {at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i + 1, j)}});
            }
        }
        YK3DMaterial gold;
        gold.name = "Gold";
        gold.red = 0.95f;
        gold.green = 0.72f;
        gold.blue = 0.25f;
        gold.diffuse = 0.9f;
        gold.specular = 0.6f;
        mMaterials = {gold};
        Initialize();
    }
};

// The rotation value that turns the model by `degrees`.
double Turn(double degrees) {
    return degrees * 10 / (2 * std::numbers::pi);
}

}  // namespace

YKDocument* YKBuildSample3D(YKDispatcher* dispatcher) {
    YKDocument* document =
        dispatcher->CreateDocument(256, 256, "Sample 3D", yk_color{24, 24, 40, 255});
    if (document == nullptr) {
        return nullptr;
    }
    YKEnvelopManager* manager = document->EnvelopManager();
    manager->SetMaxFrame(kFrames, false);
    for (int32 frame = 1; frame <= kFrames; ++frame) {
        manager->SetFrameDuration(frame, 6);  // hundredths of a second
    }
    YKViewerLayer* viewer = document->ViewerLayer();
    viewer->LockHirarchy();
    viewer->BeginInvalidate();
    auto* layer = new YK3DLayer(document->GetUniqueID(), "Torus", std::make_unique<Torus>(),
                                YKPoint<double>{0, 0});
    viewer->CurrentUserLayer()->AddChild(layer, true);
    // A whole turn spread over the frames, so that the loop closes; the tilt goes there and back.
    layer->RotationYEnvelop()->SetValue(Turn(360.0 * (kFrames - 1) / kFrames), kFrames);
    layer->RotationXEnvelop()->SetValue(Turn(20), 1);
    layer->RotationXEnvelop()->SetValue(Turn(-20), kFrames / 2);
    layer->RotationXEnvelop()->SetValue(Turn(20), kFrames);
    viewer->EndInvalidate();
    viewer->UnlockHirarchy();
    return document;
}
