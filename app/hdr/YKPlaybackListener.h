#pragma once

// YKPlaybackListener: what a playback tells the window that shows it. The calls come from the
// playing thread; a window carries them over to its own thread.

#include "yk_types.h"

class YKPlaybackListener {
public:
    YKPlaybackListener() = default;
    YKPlaybackListener(const YKPlaybackListener&) = delete;
    YKPlaybackListener& operator=(const YKPlaybackListener&) = delete;
    virtual ~YKPlaybackListener() = default;

    // `frame` became the current frame and the views show it.
    virtual void FrameShown(int32 frame) { (void)frame; }
    // Playing began, or ended at the last frame (without the loop) or at a stop. An urgent stop
    // ends it silently.
    virtual void PlayingChanged(bool playing) { (void)playing; }
};
