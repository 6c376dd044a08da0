// A document's frames as the source of an animation export.

#include "YKDocumentFrames.h"

#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKRaster.h"
#include "YKViewerLayer.h"

YKDocumentFrames::YKDocumentFrames(YKDocument* document, int32 first, int32 last)
    : mDocument(document),
      mFirst(first),
      mLast(last),
      mWasPlaying(document->PlayMode()),
      mPreviousFrame(document->EnvelopManager()->CurrentFrame()) {
    // As while playing: going from frame to frame must not write values into the envelopes (a
    // text laid out again at a frame would otherwise leave key frames there).
    mDocument->SetPlayMode(true);
}

YKDocumentFrames::~YKDocumentFrames() {
    // Rendering moved the document from frame to frame; the views show the frame they showed.
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    if (viewer->LockHirarchy()) {
        const int32 current = manager->CurrentFrame();
        if (current != mPreviousFrame) {
            manager->SetCurrentFrame(mPreviousFrame);
            viewer->SwitchToFrame(current);
        }
        viewer->UnlockHirarchy();
    }
    mDocument->SetPlayMode(mWasPlaying);
}

bool YKDocumentFrames::FrameUsable(int32 frame) const {
    return mDocument->EnvelopManager()->FrameUsable(frame);
}

float YKDocumentFrames::FrameDuration(int32 frame) const {
    return mDocument->EnvelopManager()->FrameDuration(frame);
}

std::unique_ptr<YKRaster> YKDocumentFrames::RenderFrame(int32 frame, std::string* error) {
    if (frame < mFirst || frame > mLast) {
        if (error != nullptr) {
            *error = "Frame " + std::to_string(frame) + " is outside the exported frames";
        }
        return nullptr;
    }
    return std::unique_ptr<YKRaster>(mDocument->RenderFrame(frame, error));
}
