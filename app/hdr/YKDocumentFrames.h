#pragma once

// YKDocumentFrames: a range of a document's frames as an animation to export. Frames are
// rendered on demand over the document's background; frame numbers are the document's (from 1).
// While it exists the document is in play mode, so rendering writes no values into it;
// afterwards the play mode and the current frame are what they were.

#include "YKAnimationSource.h"

class YKDocument;

class YKDocumentFrames : public YKAnimationSource {
public:
    // `first` and `last` must lie in 1..the document's frame count, first <= last.
    YKDocumentFrames(YKDocument* document, int32 first, int32 last);
    ~YKDocumentFrames() override;
    YKDocumentFrames(const YKDocumentFrames&) = delete;
    YKDocumentFrames& operator=(const YKDocumentFrames&) = delete;

    int32 FirstFrame() const override { return mFirst; }
    int32 LastFrame() const override { return mLast; }
    bool FrameUsable(int32 frame) const override;
    float FrameDuration(int32 frame) const override;
    std::unique_ptr<YKRaster> RenderFrame(int32 frame, std::string* error) override;

private:
    YKDocument* mDocument;
    int32 mFirst;
    int32 mLast;
    bool mWasPlaying;
    int32 mPreviousFrame;
};
