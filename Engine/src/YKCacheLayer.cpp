#include "YKCacheLayer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "YKEnvelopManager.h"

// Sections: construction and archive · tree membership · messages · opacity · merging ·
// filters and effects.

namespace {

constexpr int32 kOpaque = 255;
constexpr const char* kOpacityName = "Opacity";

}  // namespace

// --- Construction and archive ---

YKCacheLayer::YKCacheLayer(int32 id, const char* name)
    : YKEffectLayer(id),
      mOpacity(std::make_unique<YKEnvelopInt32>(id, kOpacityName)),
      mCacheName(name != nullptr ? name : "") {
    mOpacity->SetValue(kOpaque, 1);
    TouchLayer(true);
}

YKCacheLayer::YKCacheLayer(int32 id, std::unique_ptr<YKEnvelopInt32> opacity)
    : YKEffectLayer(id), mOpacity(std::move(opacity)) {
    if (mOpacity == nullptr) {
        mOpacity = std::make_unique<YKEnvelopInt32>(id, kOpacityName);
    }
    EnsureOpacityValue();
    TouchLayer(true);
}

YKCacheLayer::YKCacheLayer(const YKMessage* archive)
    : YKCacheLayer(Check(archive, "YKCacheLayer")) {}

YKCacheLayer::YKCacheLayer(const YKMessage* archive, const char* className)
    : YKCacheLayer(Check(archive, className)) {}

YKCacheLayer::YKCacheLayer(CheckedArchive checked)
    : YKEffectLayer(checked.archive),
      mOpacity(std::make_unique<YKEnvelopInt32>(ID(), kOpacityName)) {
    const YKMessage* archive = checked.archive;
    if (archive != nullptr) {
        YKMessage part;
        if (archive->FindMessage("YKCL:GlobalAlpha", &part)) {
            mOpacity->UnArchive(&part, ID());
            if (mOpacity->Name() == nullptr) {
                mOpacity->SetName(kOpacityName);
            }
        }
        int8 method = 0;
        // Out-of-range methods come only from damaged files; they keep the default.
        if (archive->FindInt8("YKCL:MergeMethod", &method) && method >= 0 &&
            method < kMergeMethodCount) {
            mMergeMethod = method;
        }
        if (mMergeMethod == kFilterMergeMethod && archive->FindMessage("YKCL:MergeFilter", &part)) {
            mMergeFilterArchive = part;
        }
        for (int32 i = 0; archive->FindMessage("YKCL:Filter", i, &part); ++i) {
            mFilterArchives.push_back(part);
        }
        mFiltersActive = !mFilterArchives.empty();
        // Only a label, but kept so that saving again writes what was read.
        archive->FindString("YKCL:Name", &mCacheName);
    }
    EnsureOpacityValue();
    TouchLayer(true);
}

YKCacheLayer::~YKCacheLayer() = default;

YKCacheLayer::CheckedArchive YKCacheLayer::Check(const YKMessage* archive, const char* className) {
    if (archive == nullptr || IsArchiveOf(archive, className)) {
        return {archive};
    }
    const char* found = "";
    archive->FindString("Class", &found);
    std::printf("%s reload: not the right class message [%s]\n", className, found);
    return {nullptr};
}

bool YKCacheLayer::IsArchiveOf(const YKMessage* archive, const char* className) {
    const char* found = nullptr;
    return archive != nullptr && className != nullptr && archive->FindString("Class", &found) &&
           std::strcmp(found, className) == 0;
}

void YKCacheLayer::EnsureOpacityValue() {
    // An envelope without key frames has no value at all; reading one is an internal error.
    if (mOpacity->CountKeyFrames() == 0) {
        mOpacity->SetValue(kOpaque, 1);
    }
}

void YKCacheLayer::Archive(YKMessage* message, bool deep) const {
    if (message == nullptr) {
        return;
    }
    YKEffectLayer::Archive(message, deep);
    SetArchiveClass(message, "YKCacheLayer");
    YKMessage opacity;
    mOpacity->Archive(&opacity);
    message->AddMessage("YKCL:GlobalAlpha", &opacity);
    message->AddInt8("YKCL:MergeMethod", static_cast<int8>(mMergeMethod));
    if (mMergeMethod == kFilterMergeMethod && mMergeFilterArchive.has_value()) {
        message->AddMessage("YKCL:MergeFilter", &*mMergeFilterArchive);
    }
    for (const YKMessage& filter : mFilterArchives) {
        message->AddMessage("YKCL:Filter", &filter);
    }
    message->AddString("YKCL:Name", mCacheName);
}

bool YKCacheLayer::InheritsFrom(const char* className) const {
    return (className != nullptr && std::strcmp(className, "YKCacheLayer") == 0) ||
           YKEffectLayer::InheritsFrom(className);
}

YKLayer* YKCacheLayer::Replicate() const {
    YKMessage archive;
    Archive(&archive, true);
    auto* copy = new YKCacheLayer(&archive);
    // The archive holds the children too, but only as messages; the tree assignment copies
    // them as layers.
    static_cast<YKLayer&>(*copy) = *this;
    return copy;
}

// --- Tree membership ---

void YKCacheLayer::SelfAdded() {
    YKEnvelopManager* manager = EnvelopManager();
    if (manager != nullptr && manager->Lock()) {
        manager->AddEnvelop(mOpacity.get());
        manager->Unlock();
    }
    YKEffectLayer::SelfAdded();
    if (manager != nullptr) {
        manager->ObjectAdded(ID());
    }
}

void YKCacheLayer::SelfRemoved() {
    YKEnvelopManager* manager = EnvelopManager();
    if (manager != nullptr && manager->Lock()) {
        manager->RemoveEnvelop(mOpacity.get());
        // A detached layer must not grow or consult a document it no longer belongs to.
        if (mOpacity->EnvelopManager() == manager) {
            mOpacity->SetEnvelopManager(nullptr);
        }
        manager->Unlock();
    }
    YKEffectLayer::SelfRemoved();
    if (manager != nullptr) {
        manager->ObjectRemoved(ID());
    }
}

// --- Messages ---

void YKCacheLayer::MessageReceived(YKMessage* message) {
    if (message == nullptr) {
        return;
    }
    int32 value = 0;
    switch (message->what) {
        case 'lOPA':
            if (message->FindInt32("opacity", &value)) {
                SetGlobalAlpha(value);
            }
            return;
        case 'lMRG':
            // The "Filter" method comes with a filter object, which this layer cannot take yet;
            // SetMergeMethod refuses it.
            if (message->FindInt32("merge_method", &value)) {
                SetMergeMethod(value);
            }
            return;
        case 'lFxn':
            SetFxEnabled(true);
            return;
        case 'lFxf':
            SetFxEnabled(false);
            return;
        default:
            YKEffectLayer::MessageReceived(message);
    }
}

// --- Opacity ---

int32 YKCacheLayer::GlobalAlpha() const {
    return std::clamp(mOpacity->Value(), 0, kOpaque);
}

void YKCacheLayer::SetGlobalAlpha(int32 alpha) {
    mOpacity->SetValue(std::clamp(alpha, 0, kOpaque));
    InvalidateLayer(RealFrame(), true, kRemovedMarker);
    BroadcastMessage(InheritsFrom("YKUserLayer") ? 'lOPA' : 'oOPA');
}

// --- Merging ---

bool YKCacheLayer::SetMergeMethod(int32 method) {
    if (method < 0 || method >= kMergeMethodCount || method == kFilterMergeMethod) {
        return false;
    }
    mMergeMethod = method;
    InvalidateLayer(RealFrame(), true, kRemovedMarker);
    return true;
}

// --- Filters and effects ---

bool YKCacheLayer::SetFiltersOff(bool off) {
    // YKLayer's version asks the parent; the effect layer's does not.
    bool changed = YKLayer::SetFiltersOff(off);
    if (off && (mFiltersActive || IsEffectEnabled())) {
        const YKRect<int32> frame = Frame();
        mFiltersActive = false;
        const bool effectsChanged = YKEffectLayer::SetFiltersOff(off);
        if (effectsChanged || !mFilterArchives.empty() || mMergeMethod == kFilterMergeMethod) {
            InvalidateLayer(frame, true, kRemovedMarker);
        }
        changed = true;
    }
    return changed;
}

bool YKCacheLayer::SetFiltersOn() {
    const bool parentChanged = YKLayer::SetFiltersOn();
    bool changed = false;
    if (!mFiltersActive && (!mFilterArchives.empty() || mMergeMethod == kFilterMergeMethod)) {
        mFiltersActive = true;
        changed = true;
    }
    changed = YKEffectLayer::SetFiltersOn() || changed;
    if (changed) {
        InvalidateLayer(Frame(), true, kRemovedMarker);
    }
    return changed || parentChanged;
}

void YKCacheLayer::SetFxEnabled(bool on) {
    if (on == mFxEnabled) {
        return;
    }
    // Filters may reach further with fx on, so both frames are redrawn.
    const YKRect<int32> before = Frame();
    mFxEnabled = on;
    InvalidateLayer(before | Frame(), true, nullptr);
}
