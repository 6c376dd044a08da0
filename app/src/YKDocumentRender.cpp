// Rendering a frame of the document for export: the canvas over the background.

#include "YKBitmap.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKRaster.h"
#include "YKViewerLayer.h"
#include "yk_composition.h"
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

    YKBitmap bitmap("frame");
    // An opaque background is part of the picture; a transparent one leaves the pixels
    // without a layer transparent, which is what the writers crop and key on.
    if (mBackground.alpha != 0) {
        const uint32 pixel = mBackground.ARGBPixel();
        for (int32 y = canvas.top; y <= canvas.bottom; ++y) {
            bitmap.SetPixelAt(y, canvas.left, canvas.Width() + 1, pixel, YK_COPY);
        }
    }
    viewer->ComposeInto(&bitmap, canvas);
    viewer->UnlockHirarchy();
    return bitmap.Raster(canvas);
}
