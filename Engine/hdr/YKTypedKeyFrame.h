#pragma once

#include <cstdio>
#include <cstring>

#include "YKKeyFrame.h"
#include "YKMessage.h"
#include "yk_types.h"

// The key frame of one envelope kind: a frame number and a value of the kind's type.
// `Traits` is one of the structs of YKEnvelopTraits.h; YKEnvelopKinds.h names the seven kinds.
template <typename Traits>
class YKTypedKeyFrame : public YKKeyFrame {
public:
    using ValueType = typename Traits::ValueType;

    YKTypedKeyFrame(int32 frameNumber, const ValueType& data)
        : YKKeyFrame(frameNumber), mData(data) {}
    // Missing keys leave frame 0 and the default value. An archive of another class is reported
    // and still read.
    explicit YKTypedKeyFrame(const YKMessage* archive);
    YKTypedKeyFrame(const YKTypedKeyFrame&) = default;
    YKTypedKeyFrame& operator=(const YKTypedKeyFrame&) = default;

    void Archive(YKMessage* archive) const override;
    YKTypedKeyFrame* Duplicate() const override { return new YKTypedKeyFrame(*this); }

    const ValueType& Data() const { return mData; }
    void SetData(const ValueType& data) { mData = data; }
    // Same frame and same value (colours: all eight bytes).
    bool operator==(const YKTypedKeyFrame& other) const {
        return FrameNumber() == other.FrameNumber() && !Traits::Differs(mData, other.mData);
    }

private:
    ValueType mData{};
};

template <typename Traits>
YKTypedKeyFrame<Traits>::YKTypedKeyFrame(const YKMessage* archive) {
    if (archive == nullptr) {
        return;
    }
    const char* found = "";
    archive->FindString("Class", &found);
    if (std::strcmp(found, Traits::kKeyFrameClass) != 0) {
        std::printf("%s: not the right class [%s]\n", Traits::kKeyFrameClass, found);
    }
    int32 frameNumber = 0;
    archive->FindInt32("YKK:_frame_number", &frameNumber);
    SetFrameNumber(frameNumber);
    Traits::UnArchiveData(archive, &mData);
}

template <typename Traits>
void YKTypedKeyFrame<Traits>::Archive(YKMessage* archive) const {
    if (archive == nullptr) {
        return;
    }
    YKKeyFrame::Archive(archive);
    archive->ReplaceString("Class", Traits::kKeyFrameClass);
    Traits::ArchiveData(mData, archive);
}
