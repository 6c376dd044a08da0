// The pixel side of YKCacheLayer: composing through the cache, invalidation, and the split
// preparation that lets editing one object recompose only its branch.

#include <memory>

#include "YKBitmap.h"
#include "YKCacheLayer.h"
#include "YKGenericFilter.h"
#include "YKObjectLayer.h"
#include "yk_composition.h"

// Sections: composition · invalidation · split preparation.

// --- Composition ---

bool YKCacheLayer::UsesCache() const {
    return IsEffectEnabled() || GlobalAlpha() != 255 ||
           (mFxEnabled && mFiltersActive && !mFilters.empty()) || mMergeMethod != YK_NORMAL;
}

void YKCacheLayer::ComposeLayer(YKBitmap* destination, YKRect<int32> rect) {
    if (destination == nullptr) {
        return;
    }
    if (!UsesCache()) {
        mCached = false;
        // A cache left from an earlier composition no longer follows the children.
        if (!mCache.IsEmpty()) {
            mCache.MakeEmpty();
        }
        ComposeChildren(destination, rect);
        mDirty = YKRect<int32>::None();
        TouchLayer(false);
        return;
    }
    mCached = true;
    if (LayerTouched()) {
        RefreshCache();
        if (!mInEffect) {
            mInEffect = true;
            ProcessEffect();
            mInEffect = false;
        }
        YKRect<int32> filtered = YKLayer::Frame();
        ApplyFilters(filtered);
    }
    MergeCache(destination, rect);
    TouchLayer(false);
}

void YKCacheLayer::RefreshCache() {
    const YKRect<int32> children = YKLayer::Frame();
    const bool filtersRead = mFiltersActive && mFxEnabled && !mFilters.empty();
    if (filtersRead || mCache.IsEmpty() || !mDirty.IsValid()) {
        // Filters read around each pixel, so a partly refreshed cache would be filtered twice.
        mCache.MakeEmpty();
        mCache.InitFrame(children);
        ComposeChildren(&mCache, children);
    } else {
        const YKRect<int32> dirty = mDirty & (children | mCache.Frame());
        if (dirty.IsValid()) {
            mCache.Erase(dirty);
            ComposeChildren(&mCache, dirty);
        }
    }
    mDirty = YKRect<int32>::None();
}

void YKCacheLayer::MergeCache(YKBitmap* destination, YKRect<int32> rect) {
    if (mMergeMethod == YK_FILTER && mMergeFilter != nullptr) {
        rect = rect & mCache.Frame();
        if (!rect.IsValid()) {
            return;
        }
        if (!mMergeFilter->UseSrcBitmapAsDest()) {
            YKBitmap copy(*destination);
            mMergeFilter->PerformFilter(&copy, destination, &mCache, rect, true);
        } else {
            mMergeFilter->PerformFilter(destination, destination, &mCache, rect, true);
        }
        return;
    }
    const bool effects = mFxEnabled && IsEffectEnabled();
    if (effects) {
        ComposeBeforeEffect(destination, rect, YK_NORMAL);
    }
    destination->MergeWith(&mCache, rect, mMergeMethod, GlobalAlpha());
    if (effects) {
        ComposeAfterEffect(destination, rect, YK_NORMAL);
    }
}

const YKBitmap* YKCacheLayer::EffectSource(YKBitmap* scratch, YKRect<int32> frame) {
    if (mCached) {
        return &mCache;
    }
    return YKEffectLayer::EffectSource(scratch, frame);
}

void YKCacheLayer::ComposeChildren(YKBitmap* target, YKRect<int32> rect) {
    const int32 count = CountChildren();
    if (!PreparationUsable()) {
        ComposeRange(target, 0, count, rect);
        return;
    }
    if (mBelowValid) {
        target->MergeWith(&mBelow, rect, YK_NORMAL, 255);
    }
    if (mSplitActive) {
        const int32 holder = IndexOfChildHolding(mSplitChild);
        if (holder >= 0) {
            ComposeRange(target, holder, holder + 1, rect);
        }
    }
    if (mAboveValid) {
        target->MergeWith(&mAbove, rect, YK_NORMAL, 255);
    }
}

void YKCacheLayer::ComposeRange(YKBitmap* target, int32 from, int32 to, YKRect<int32> rect) {
    for (int32 i = from; i < to; ++i) {
        YKLayer* child = ChildAt(i);
        if (child->Frame().Intersects(rect)) {
            child->ComposeLayer(target, rect);
        }
    }
}

YKBitmap* YKCacheLayer::Bitmap() {
    if (!mCached) {
        const YKRect<int32> frame = Frame();
        mCache.MakeEmpty();
        mCache.InitFrame(frame);
        ComposeRange(&mCache, 0, CountChildren(), frame);
        YKRect<int32> filtered = frame;
        ApplyFilters(filtered);
    }
    return &mCache;
}

void YKCacheLayer::OffSetBitmap(YKPoint<int32> offset) {
    if (CountChildren() == 1 && mFiltersActive && mFxEnabled && !mFilters.empty()) {
        mCache.MoveBy(offset);
        TouchLayer(false);
    }
}

YKRect<int32> YKCacheLayer::Frame() const {
    const YKRect<int32> effects = YKEffectLayer::Frame();
    const YKRect<int32> children = YKLayer::Frame();
    return ChangeFrameWithFilter(effects.IsValid() ? (effects | children) : children);
}

// --- Invalidation ---

void YKCacheLayer::InvalidateLayer(YKRect<int32> rect, bool flag, YKLayer* source) {
    if (rect.IsValid()) {
        const int32 r = EffectRadius();
        rect.InsetBy(-r, -r);
        rect = ChangeFrameWithFilter(rect);
    }
    mDirty = mDirty | rect;
    TouchLayer(true);
    if (source != this && source != nullptr) {
        RecordChangedSource(source);
    }
    YKLayer::InvalidateLayer(rect, flag, source);
}

void YKCacheLayer::RecordChangedSource(YKLayer* source) {
    if (mChangedSources.HasItem(kRemovedMarker)) {
        return;
    }
    if (source == kRemovedMarker) {
        mChangedSources.MakeEmpty();
    }
    if (!mChangedSources.HasItem(source)) {
        mChangedSources.AddItem(source);
    }
}

void YKCacheLayer::SetObjectAdded() {
    mObjectAdded = true;
    YKEffectLayer::SetObjectAdded();
}

bool YKCacheLayer::ObjectAdded() {
    const bool added = mObjectAdded;
    mObjectAdded = false;
    return added;
}

void YKCacheLayer::SwitchFrame() {
    if (ChangeWithFrame()) {
        InvalidateLayer(Frame(), true, kRemovedMarker);
    }
    YKEffectLayer::SwitchFrame();
}

// --- Split preparation ---

int32 YKCacheLayer::IndexOfChildHolding(const YKLayer* layer) {
    // Up the parents rather than down the tree: a layer knows its ancestors in depth steps.
    for (const YKLayer* at = layer; at != nullptr; at = at->Parent()) {
        if (at->Parent() == this) {
            return IndexOfChild(at);
        }
    }
    return -1;
}

bool YKCacheLayer::PreparationUsable() const {
    if (!mBelowValid && !mSplitActive) {
        return false;
    }
    // Changes since the preparation must all lie in the split branch, which is composed live.
    for (int32 i = 0; i < mChangedSources.CountItems(); ++i) {
        const YKLayer* source = mChangedSources.ItemAt(i);
        if (source == kRemovedMarker) {
            return false;
        }
        bool inSplit = false;
        for (const YKLayer* at = source; mSplitActive && at != nullptr && at != this;
             at = at->Parent()) {
            if (at == mSplitChild) {
                inSplit = true;
                break;
            }
        }
        if (!inSplit) {
            return false;
        }
    }
    return true;
}

void YKCacheLayer::PreSplit() {
    mChangedSources.MakeEmpty();
    YKEffectLayer::PreSplit();
}

void YKCacheLayer::PostSplit() {
    YKEffectLayer::PostSplit();
    if (mChangedSources.CountItems() > 0) {
        PrepareSplit();
        mChangedSources.MakeEmpty();
    }
}

bool YKCacheLayer::BranchHasMergeMethod(YKLayer* layer) {
    YKLayer* user = layer->UserLayer();
    YKLayer* root = user != nullptr ? user : this;
    for (YKLayer* at = root; at != nullptr; at = at->IterateHirarchyToNext(root)) {
        if (at->InheritsFrom("YKObjectLayer") &&
            static_cast<YKObjectLayer*>(at)->_MergeMethod() != YK_NORMAL) {
            return true;
        }
        if (at != this && at->InheritsFrom("YKCacheLayer") &&
            static_cast<YKCacheLayer*>(at)->MergeMethod() != YK_NORMAL) {
            return true;
        }
    }
    return false;
}

void YKCacheLayer::PrepareSingleBitmap() {
    const YKRect<int32> frame = YKLayer::Frame();
    mBelow.MakeEmpty();
    ComposeRange(&mBelow, 0, CountChildren(), frame);
    mBelowValid = true;
    mAboveValid = false;
    mSplitActive = false;
    mSplitChild = nullptr;
    mObjectAdded = false;
}

void YKCacheLayer::PrepareSplit() {
    if (mChangedSources.CountItems() != 1 || mChangedSources.HasItem(kRemovedMarker)) {
        PrepareSingleBitmap();
        return;
    }
    YKLayer* changed = mChangedSources.ItemAt(0);
    const int32 holder = IndexOfChildHolding(changed);
    // The same object changing again (a drag) keeps the split it already has: a change of
    // merge method anywhere would have come as a whole-layer change.
    if (mSplitActive && changed == mSplitChild && holder >= 0) {
        return;
    }
    // Merges that depend on what lies under them cannot be split into below and above.
    if (BranchHasMergeMethod(changed)) {
        PrepareSingleBitmap();
        return;
    }
    if (holder < 0) {
        PrepareSingleBitmap();
        return;
    }
    const YKRect<int32> frame = YKLayer::Frame();
    if (!ObjectAdded() || !mSplitActive) {
        mBelow.MakeEmpty();
        ComposeRange(&mBelow, 0, holder, frame);
    } else {
        // A layer was just put on top: what was split and above now lies below it.
        const int32 previous = IndexOfChildHolding(mSplitChild);
        if (previous >= 0 && previous != holder) {
            ComposeRange(&mBelow, previous, previous + 1, frame);
        }
        if (mAboveValid) {
            mBelow.MergeWith(&mAbove, frame, YK_NORMAL, 255);
        }
    }
    mSplitChild = changed;
    mAbove.MakeEmpty();
    mAboveValid = holder + 1 < CountChildren();
    ComposeRange(&mAbove, holder + 1, CountChildren(), frame);
    mBelowValid = true;
    mSplitActive = true;
}
