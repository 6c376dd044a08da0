#include "YKFrameInfo.h"

#include "YKMessage.h"

YKFrameInfo::YKFrameInfo(const YKMessage* archive) {
    if (archive == nullptr) {
        return;
    }
    archive->FindFloat("YKKInf:_duration", &duration);
    archive->FindBool("YKKInf:_usable", &usable);
}

void YKFrameInfo::Archive(YKMessage* archive) const {
    if (archive == nullptr) {
        return;
    }
    archive->AddFloat("YKKInf:_duration", duration);
    archive->AddBool("YKKInf:_usable", usable);
}
