// Rendering a frame of the document for export: the canvas over the background.

#include <memory>

#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKRaster.h"
#include "YKViewerLayer.h"
#include "yk_image_limits.h"

YKRaster* YKDocument::RenderFrame(int32 frame, std::string* error) {
    const auto fail = [error](std::string text) -> YKRaster* {
        if (error != nullptr) {
            *error = std::move(text);
        }
        return nullptr;
    };
    const int32 frames = mEnvelopManager->MaxFrame();
    if (frame < 1 || frame > frames) {
        return fail("Frame " + std::to_string(frame) + " is outside 1 to " +
                    std::to_string(frames));
    }
    const YKRect<int32> canvas = Frame();
    if (!canvas.IsValid()) {
        return fail("The canvas is empty");
    }
    // Checked before anything is drawn: the background alone would fill the whole canvas.
    if (!yk_image_frame_ok(canvas)) {
        return fail(
            "The canvas is larger than an image can be, or reaches the end of the "
            "coordinates");
    }
    YKViewerLayer* viewer = mViewerLayer.get();
    viewer->LockHirarchy();
    const int32 previous = mEnvelopManager->CurrentFrame();
    mEnvelopManager->SetCurrentFrame(frame);
    viewer->SwitchToFrame(previous);

    // Composed as the windows compose, then laid over the background as they show it.
    std::unique_ptr<YKRaster> raster(viewer->RenderPicture(canvas, mBackground.ARGBPixel()));
    viewer->UnlockHirarchy();
    if (raster == nullptr) {
        return fail("The canvas is empty");
    }
    if (raster->Bits() == nullptr) {
        return fail("The canvas is too large to render");
    }
    return raster.release();
}
