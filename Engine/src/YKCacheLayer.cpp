#include "YKCacheLayer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "YKEnvelopManager.h"
#include "YKFilterManager.h"
#include "YKGenericFilter.h"

// Sections: construction and archive · tree membership · messages · opacity · merging ·
// filters · filters and effects. Composition and the split are in YKCacheCompose.cpp.

namespace {

constexpr int32 kOpaque = 255;
constexpr const char* kOpacityName = "Opacity";

// Rearranging filters must not redraw half-way: redrawing waits until the change is complete.
template <typename Change>
void WithRedrawOffFor(YKLayer* layer, Change change) {
    YKEnvelopManager* manager = layer->EnvelopManager();
    if (manager != nullptr) {
        manager->SetAcceptRedraw(false, true);
    }
    change();
    if (manager != nullptr) {
        manager->SetAcceptRedraw(true, false);
        manager->ObjectModified(layer->ID());
    }
}

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
        // Filters are made by the loaded plug-ins; one no plug-in knows is kept as its archive,
        // so that saving writes back what was read.
        const YKFilterManager& filters = YKFilterManager::Default();
        if (mMergeMethod == kFilterMergeMethod && archive->FindMessage("YKCL:MergeFilter", &part)) {
            mMergeFilter.reset(filters.InstantiateFilter(&part));
            if (mMergeFilter != nullptr) {
                mMergeFilter->SetEnvelopOwner(ID(), ID());
            } else {
                mMergeFilterArchive = part;
            }
        }
        for (int32 i = 0; archive->FindMessage("YKCL:Filter", i, &part); ++i) {
            if (YKGenericFilter* filter = filters.InstantiateFilter(&part)) {
                filter->SetEnvelopOwner(ID(), ID());
                mFilters.emplace_back(filter);
            } else {
                mFilterArchives.push_back({CountFilters(), part});
            }
        }
        mFiltersActive = HasFilters() || mMergeFilter != nullptr;
        // Only a label, but kept so that saving again writes what was read.
        archive->FindString("YKCL:Name", &mCacheName);
    }
    EnsureOpacityValue();
    TouchLayer(true);
}

YKCacheLayer::~YKCacheLayer() {
    while (!mFilters.empty()) {
        mFilters.pop_back();
    }
}

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
    if (mMergeMethod == kFilterMergeMethod) {
        if (mMergeFilter != nullptr) {
            YKMessage filter;
            mMergeFilter->Archive(&filter);
            message->AddMessage("YKCL:MergeFilter", &filter);
        } else if (mMergeFilterArchive.has_value()) {
            message->AddMessage("YKCL:MergeFilter", &*mMergeFilterArchive);
        }
    }
    // First to last, the archived ones where they stood among the live ones.
    auto archived = mFilterArchives.begin();
    for (int32 i = 0; i <= CountFilters(); ++i) {
        for (; archived != mFilterArchives.end() && archived->livesBefore <= i; ++archived) {
            message->AddMessage("YKCL:Filter", &archived->archive);
        }
        if (i < CountFilters()) {
            YKMessage filter;
            mFilters[i]->Archive(&filter);
            message->AddMessage("YKCL:Filter", &filter);
        }
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
        ForEachFilter([&](YKGenericFilter* filter) {
            filter->SetEnvelopOwner(ID(), ID());
            filter->AddEnvelopToManager(manager);
        });
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
        ForEachFilter([&](YKGenericFilter* filter) { filter->RemoveEnvelopFromManager(manager); });
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
            if (message->FindInt32("merge_method", &value)) {
                void* filter = nullptr;
                message->FindPointer("merge_filter", &filter);
                if (value != kFilterMergeMethod) {
                    SetMergeMethod(value, nullptr);
                } else if (filter != nullptr) {
                    WithRedrawOffFor(this, [&] {
                        SetMergeMethod(value, static_cast<YKGenericFilter*>(filter));
                    });
                }
            }
            return;
        case 'lFLT': {
            void* filter = nullptr;
            if (message->FindPointer("filter", &filter) && filter != nullptr) {
                WithRedrawOffFor(this, [&] { AddFilter(static_cast<YKGenericFilter*>(filter)); });
            }
            return;
        }
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

void YKCacheLayer::SetEnvelopsID(int32 id) {
    mOpacity->SetRealOwner(id);
    ForEachFilter([&](YKGenericFilter* filter) { filter->SetEnvelopOwner(id, ID()); });
}

std::unique_ptr<YKEnvelopInt32> YKCacheLayer::TakeOpacityEnvelop() {
    std::unique_ptr<YKEnvelopInt32> taken = std::move(mOpacity);
    mOpacity = std::make_unique<YKEnvelopInt32>(ID(), kOpacityName);
    mOpacity->SetValue(kOpaque, 1);
    return taken;
}

void YKCacheLayer::SetGlobalAlpha(int32 alpha) {
    mOpacity->SetValue(std::clamp(alpha, 0, kOpaque));
    InvalidateLayer(RealFrame(), true, kRemovedMarker);
    BroadcastMessage(InheritsFrom("YKUserLayer") ? 'lOPA' : 'oOPA');
}

// --- Merging ---

bool YKCacheLayer::SetMergeMethod(int32 method, YKGenericFilter* filter) {
    if (method < 0 || method >= kMergeMethodCount ||
        (method == kFilterMergeMethod && filter == nullptr)) {
        return false;
    }
    if (method == kFilterMergeMethod) {
        YKEnvelopManager* manager = EnvelopManager();
        if (mMergeFilter != nullptr && manager != nullptr) {
            mMergeFilter->RemoveEnvelopFromManager(manager);
        }
        mMergeFilter.reset(filter);
        mMergeFilterArchive.reset();
        filter->SetEnvelopOwner(mOpacity->RealOwner(), ID());
        if (manager != nullptr) {
            filter->AddEnvelopToManager(manager);
        }
        mFiltersActive = true;
    }
    mMergeMethod = method;
    InvalidateLayer(RealFrame(), true, kRemovedMarker);
    return true;
}

// --- Filters ---

YKGenericFilter* YKCacheLayer::FilterAt(int32 index) const {
    return index >= 0 && index < CountFilters() ? mFilters[index].get() : nullptr;
}

void YKCacheLayer::AddFilter(YKGenericFilter* filter) {
    AddFilter(filter, CountFilters());
}

void YKCacheLayer::AddFilter(YKGenericFilter* filter, int32 index) {
    if (filter == nullptr) {
        return;
    }
    index = std::clamp(index, 0, CountFilters());
    mFilters.insert(mFilters.begin() + index, std::unique_ptr<YKGenericFilter>(filter));
    // Archived filters after the new one's place stay after it.
    for (ArchivedFilter& archived : mFilterArchives) {
        archived.livesBefore += archived.livesBefore > index ? 1 : 0;
    }
    filter->SetEnvelopOwner(mOpacity->RealOwner(), ID());
    if (YKEnvelopManager* manager = EnvelopManager()) {
        filter->AddEnvelopToManager(manager);
    }
    mFiltersActive = true;
    const YKRect<int32> frame = Frame();
    InvalidateLayer(frame | filter->Frame(frame), true, kRemovedMarker);
}

YKGenericFilter* YKCacheLayer::RemoveFilter(int32 index) {
    if (index < 0 || index >= CountFilters()) {
        return nullptr;
    }
    const YKRect<int32> frame = Frame();
    YKGenericFilter* filter = mFilters[index].release();
    mFilters.erase(mFilters.begin() + index);
    for (ArchivedFilter& archived : mFilterArchives) {
        archived.livesBefore -= archived.livesBefore > index ? 1 : 0;
    }
    InvalidateLayer(frame, true, kRemovedMarker);
    if (YKEnvelopManager* manager = EnvelopManager()) {
        filter->RemoveEnvelopFromManager(manager);
    }
    return filter;
}

YKGenericFilter* YKCacheLayer::RemoveFilter(YKGenericFilter* filter) {
    for (int32 i = 0; i < CountFilters(); ++i) {
        if (mFilters[i].get() == filter) {
            return RemoveFilter(i);
        }
    }
    return nullptr;
}

bool YKCacheLayer::DeleteFilter(int32 index) {
    std::unique_ptr<YKGenericFilter> removed(RemoveFilter(index));
    return removed != nullptr;
}

bool YKCacheLayer::DeleteFilter(YKGenericFilter* filter) {
    std::unique_ptr<YKGenericFilter> removed(RemoveFilter(filter));
    return removed != nullptr;
}

void YKCacheLayer::DeleteAllFilters() {
    const YKRect<int32> frame = Frame();
    while (CountFilters() > 0) {
        DeleteFilter(CountFilters() - 1);
    }
    mFilterArchives.clear();
    InvalidateLayer(frame, true, kRemovedMarker);
}

YKRect<int32> YKCacheLayer::ChangeFrameWithFilter(YKRect<int32> rect) const {
    if (mFiltersActive && mFxEnabled) {
        for (const auto& filter : mFilters) {
            rect = filter->Frame(rect);
        }
    }
    return rect;
}

void YKCacheLayer::ApplyFilters(YKRect<int32>& rect) {
    if (!mFiltersActive || !mFxEnabled || mFilters.empty()) {
        return;
    }
    for (const auto& filter : mFilters) {
        const YKRect<int32> reach = filter->Frame(rect);
        if (!filter->UseSrcBitmapAsDest()) {
            if (!mCache.IsEmpty()) {
                YKBitmap copy(mCache);
                mCache.AddFrame(reach);
                filter->PerformFilter(&copy, &mCache, &copy, rect, false);
            }
        } else {
            mCache.AddFrame(reach);
            filter->PerformFilter(&mCache, &mCache, &mCache, rect, false);
        }
        rect = reach;
    }
}

// --- Filters and effects ---

bool YKCacheLayer::SetFiltersOff(bool off) {
    // YKLayer's version asks the parent; the effect layer's does not.
    bool changed = YKLayer::SetFiltersOff(off);
    if (off && (mFiltersActive || IsEffectEnabled())) {
        const YKRect<int32> frame = Frame();
        mFiltersActive = false;
        const bool effectsChanged = YKEffectLayer::SetFiltersOff(off);
        if (effectsChanged || HasFilters() || mMergeMethod == kFilterMergeMethod) {
            InvalidateLayer(frame, true, kRemovedMarker);
        }
        changed = true;
    }
    return changed;
}

bool YKCacheLayer::SetFiltersOn() {
    const bool parentChanged = YKLayer::SetFiltersOn();
    bool changed = false;
    if (!mFiltersActive && (HasFilters() || mMergeMethod == kFilterMergeMethod)) {
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
