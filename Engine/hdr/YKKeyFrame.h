#pragma once

#include "yk_types.h"

class YKMessage;

// A key frame: a frame number (from 1) at which an envelope holds a set value. Each envelope
// kind has its own key frame class carrying the value.
class YKKeyFrame {
public:
    explicit YKKeyFrame(int32 frameNumber = 0) : mFrameNumber(frameNumber) {}
    virtual ~YKKeyFrame() = default;

    // Adds "YKK:_frame_number" and "Class"; kinds replace "Class" and add their data.
    virtual void Archive(YKMessage* archive) const;
    virtual YKKeyFrame* Duplicate() const = 0;

    int32 FrameNumber() const { return mFrameNumber; }
    void SetFrameNumber(int32 frameNumber) { mFrameNumber = frameNumber; }
    bool IsValid() const { return mFrameNumber >= 1; }
    // Key frames compare by frame number.
    bool operator==(const YKKeyFrame& other) const { return mFrameNumber == other.mFrameNumber; }

protected:
    YKKeyFrame(const YKKeyFrame&) = default;
    YKKeyFrame& operator=(const YKKeyFrame&) = default;

private:
    int32 mFrameNumber;
};
