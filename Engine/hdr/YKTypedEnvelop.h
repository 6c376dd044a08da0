#pragma once

#include <concepts>
#include <optional>

#include "YKDebug.h"
#include "YKEnvelop.h"
#include "YKEnvelopTraits.h"
#include "YKInternalError.h"
#include "YKMessage.h"
#include "YKTypedKeyFrame.h"

// An envelope of one kind: its key frames are YKTypedKeyFrame<Traits> and its values
// Traits::ValueType. YKEnvelopKinds.h names the seven kinds.
template <typename Traits>
class YKTypedEnvelop : public YKEnvelop {
public:
    using KindTraits = Traits;
    using ValueType = typename Traits::ValueType;
    using KeyFrame = YKTypedKeyFrame<Traits>;

    explicit YKTypedEnvelop(int32 owner = 0, const char* name = nullptr) : YKEnvelop(owner, name) {}
    YKTypedEnvelop(const YKMessage* archive, int32 owner) : YKEnvelop(owner, nullptr) {
        YKTypedEnvelop::UnArchive(archive, owner);
    }

    // Reads the base fields, then each "YKE:YKKeyFrame" in order.
    void UnArchive(const YKMessage* archive, int32 owner) override;
    // Only key frames of this kind belong here.
    void AddKeyFrame(YKKeyFrame* keyFrame, bool notify) override;
    int32 GetType() const override { return Traits::kType; }

    // --- Untyped forms: `out` and `value` point to a ValueType.
    void Value(void* out) const override { Value(out, CurrentFrame()); }
    void Value(void* out, int32 frame) const override;
    void SetValue(const void* value) override { SetValue(value, CurrentFrame()); }
    void SetValue(const void* value, int32 frame) override;
    void FixValue(const YKEnvelop* source) override;
    YKTypedEnvelop* Duplicate() const override;
    bool IsValueModified(int32 frame) const override;
    bool DiffersFrom(const YKEnvelop& other, int32 frame) const override;

    // --- Typed forms. Without key frames the value is ValueType{} (after internal error 100).
    using YKEnvelop::SetValue;
    using YKEnvelop::Value;
    ValueType Value() const { return Value(CurrentFrame()); }
    ValueType Value(int32 frame) const;
    void SetValue(const ValueType& value) { SetValue(value, CurrentFrame()); }
    void SetValue(const ValueType& value, int32 frame);
    // Drops every key frame and sets `value` at the current frame.
    void SetUniqueValue(const ValueType& value);
    // Moves every key frame's point by `offset`. A member template so that instantiating the
    // other kinds never looks at its body.
    template <typename Offset = ValueType>
    requires std::same_as<Offset, YKPoint<double>> && std::same_as<Offset, ValueType>
    void AllOffsetBy(const Offset& offset) {
        for (int32 i = 0; i < CountKeyFrames(); ++i) {
            KeyFrame* keyFrame = TypedAt(i);
            keyFrame->SetData(keyFrame->Data() + offset);
        }
    }

    // The key frame at exactly `frame`, or null.
    KeyFrame* TypedKeyFrame(int32 frame) const {
        return static_cast<KeyFrame*>(KeyFramePointer(frame));
    }

private:
    // The value at `frame`, or nothing when there are no key frames (internal error 100).
    std::optional<ValueType> ValueAt(int32 frame) const;
    KeyFrame* TypedAt(int32 index) const {
        return static_cast<KeyFrame*>(KeyFrameList()->ItemAt(index));
    }
};

template <typename Traits>
void YKTypedEnvelop<Traits>::UnArchive(const YKMessage* archive, int32 owner) {
    YKEnvelop::UnArchive(archive, owner);
    if (!IsEnvelopArchive(archive)) {
        return;
    }
    YKMessage keyArchive;
    for (int32 i = 0; archive->FindMessage("YKE:YKKeyFrame", i, &keyArchive); ++i) {
        YKEnvelop::AddKeyFrame(new KeyFrame(&keyArchive), false);
    }
}

template <typename Traits>
void YKTypedEnvelop<Traits>::AddKeyFrame(YKKeyFrame* keyFrame, bool notify) {
    YK_ASSERT(keyFrame == nullptr || dynamic_cast<KeyFrame*>(keyFrame) != nullptr);
    YKEnvelop::AddKeyFrame(keyFrame, notify);
}

// --- Values

template <typename Traits>
std::optional<typename Traits::ValueType> YKTypedEnvelop<Traits>::ValueAt(int32 frame) const {
    if (CountKeyFrames() == 0) {
        YKInternalError::Show(100);
        return std::nullopt;
    }
    YKKeyFrame* exact = nullptr;
    YKKeyFrame* previous = nullptr;
    YKKeyFrame* next = nullptr;
    Bounds(frame, &exact, &previous, &next);
    if (exact != nullptr) {
        return static_cast<KeyFrame*>(exact)->Data();
    }
    if (previous == nullptr || next == nullptr) {
        // Before the first key frame or after the last one the nearest holds.
        return static_cast<KeyFrame*>(previous != nullptr ? previous : next)->Data();
    }
    const int64 a = int64{frame} - previous->FrameNumber();
    const int64 b = int64{next->FrameNumber()} - frame;
    return Traits::Between(static_cast<KeyFrame*>(previous)->Data(),
                           static_cast<KeyFrame*>(next)->Data(), a, b, InterpolationStep());
}

template <typename Traits>
void YKTypedEnvelop<Traits>::Value(void* out, int32 frame) const {
    const std::optional<ValueType> value = ValueAt(frame);
    if (value && out != nullptr) {
        *static_cast<ValueType*>(out) = *value;
    }
}

template <typename Traits>
typename Traits::ValueType YKTypedEnvelop<Traits>::Value(int32 frame) const {
    return ValueAt(frame).value_or(ValueType{});
}

template <typename Traits>
bool YKTypedEnvelop<Traits>::IsValueModified(int32 frame) const {
    // Without key frames there is no value to have changed (and no reason to alert twice).
    if (CountKeyFrames() == 0 || frame == CurrentFrame()) {
        return false;
    }
    return Traits::Differs(*ValueAt(frame), *ValueAt(CurrentFrame()));
}

template <typename Traits>
bool YKTypedEnvelop<Traits>::DiffersFrom(const YKEnvelop& other, int32 frame) const {
    const auto* typed = dynamic_cast<const YKTypedEnvelop*>(&other);
    if (typed == nullptr) {
        return true;
    }
    // An envelope without key frames has no value: it only equals another without any.
    if (CountKeyFrames() == 0 || typed->CountKeyFrames() == 0) {
        return CountKeyFrames() != typed->CountKeyFrames();
    }
    return Traits::Differs(*ValueAt(frame), *typed->ValueAt(frame));
}

// --- Setting values

template <typename Traits>
void YKTypedEnvelop<Traits>::SetValue(const ValueType& value, int32 frame) {
    if (!AcceptsValues()) {
        return;
    }
    if (KeyFrame* keyFrame = TypedKeyFrame(frame)) {
        keyFrame->SetData(value);
    } else {
        AddKeyFrame(new KeyFrame(frame, value), true);
        ExtendTo(frame);
    }
    CountModification();
}

template <typename Traits>
void YKTypedEnvelop<Traits>::SetValue(const void* value, int32 frame) {
    if (value != nullptr) {
        SetValue(*static_cast<const ValueType*>(value), frame);
    }
}

template <typename Traits>
void YKTypedEnvelop<Traits>::SetUniqueValue(const ValueType& value) {
    // Checked first, or a refusing manager would leave the envelope with no value at all.
    if (!AcceptsValues()) {
        return;
    }
    RemoveAllKeyFrames();
    SetValue(value);
}

template <typename Traits>
void YKTypedEnvelop<Traits>::FixValue(const YKEnvelop* source) {
    const auto* typed = source == nullptr ? this : dynamic_cast<const YKTypedEnvelop*>(source);
    YK_ASSERT(typed != nullptr);
    if (const std::optional<ValueType> value = typed->ValueAt(typed->CurrentFrame())) {
        SetValue(*value);
    }
}

template <typename Traits>
YKTypedEnvelop<Traits>* YKTypedEnvelop<Traits>::Duplicate() const {
    auto* copy = new YKTypedEnvelop(Owner(), nullptr);
    *copy = *this;
    for (int32 i = 0; i < CountKeyFrames(); ++i) {
        copy->YKEnvelop::AddKeyFrame(TypedAt(i)->Duplicate(), false);
    }
    return copy;
}
