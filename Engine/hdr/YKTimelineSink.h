#pragma once

#include "yk_types.h"

class YKMessage;

// The timeline window as the animation model sees it: a receiver of messages about frames and
// objects. The desktop application installs one that queues the message onto the window's
// thread; headless there is none unless a test installs a recorder.
//
// Messages (what codes): 11 the frame count changed; 30 redrawing is on again; 31 object added,
// 32 object removed, 33 object touched, 36 key frames changed by undo or redo — each of 31 to
// 36 with "object_id" (int32, the owner id, 0 for the whole document) and "from" (pointer to
// the envelope manager).
class YKTimelineSink {
public:
    enum : uint32 {
        kMaxFrameChanged = 11,
        kRedrawOn = 30,
        kObjectAdded = 31,
        kObjectRemoved = 32,
        kObjectTouched = 33,
        kKeyFramesChanged = 36,
    };

    virtual ~YKTimelineSink() = default;
    // Takes the message; called on the thread that made the change.
    virtual void Deliver(const YKMessage& message) = 0;

    // The timeline window of the application, or null when none is open.
    static YKTimelineSink* Current();
    static void SetCurrent(YKTimelineSink* sink);
};
