#include "YKKeyFrame.h"

#include "YKMessage.h"

void YKKeyFrame::Archive(YKMessage* archive) const {
    if (archive == nullptr) {
        return;
    }
    archive->AddInt32("YKK:_frame_number", mFrameNumber);
    archive->AddString("Class", "YKKeyFrame");
}
