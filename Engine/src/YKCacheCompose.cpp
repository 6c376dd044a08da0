// The pixel side of YKCacheLayer: composing through the cache, invalidation, and the split
// preparation that lets editing one object recompose only its branch.

#include <memory>
#include <vector>

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
    Compose(destination, rect, false);
}

void YKCacheLayer::ComposeLayerOntoClear(YKBitmap* destination, YKRect<int32> rect) {
    Compose(destination, rect, true);
}

void YKCacheLayer::Compose(YKBitmap* destination, YKRect<int32> rect, bool ontoClear) {
    if (destination == nullptr) {
        return;
    }
    if (!UsesCache()) {
        mCached = false;
        // A cache left from an earlier composition no longer follows the children.
        if (!mCache.IsEmpty()) {
            mCache.MakeEmpty();
        }
        // Straight onto the destination: merge methods see what lies below this layer.
        ComposeChildren(destination, rect, ontoClear);
        mDirty = YKRect<int32>::None();
        TouchLayer(false);
        return;
    }
    // A cache dropped while the children went straight through is out of date even untouched.
    const bool dropped = !mCached;
    mCached = true;
    if (LayerTouched() || dropped) {
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
        ComposeChildren(&mCache, children, true);
    } else {
        const YKRect<int32> dirty = mDirty & (children | mCache.Frame());
        if (dirty.IsValid()) {
            mCache.Erase(dirty);
            ComposeChildren(&mCache, dirty, true);
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
    // The effects follow the children's rendering alone, before the opacity, the merge method
    // and the filters: while composing, that is the cache just brought up to date.
    if (mInEffect) {
        return &mCache;
    }
    scratch->InitFrame(frame);
    ComposeRange(scratch, 0, CountChildren(), frame);
    return scratch;
}

void YKCacheLayer::ComposeChildren(YKBitmap* target, YKRect<int32> rect, bool ontoClear) {
    const int32 count = CountChildren();
    const int32 holder = mSplitActive ? IndexOfChildHolding(mSplitChild) : -1;
    if (!PreparationUsable() || (mSplitActive && holder < 0)) {
        ComposeRange(target, 0, count, rect);
        return;
    }
    const int32 belowEnd = mSplitActive ? holder : count;
    if (mBelowValid && (ontoClear || mBelowExact)) {
        // Onto clear pixels a copy is the children's rendering to the bit, even where it is
        // transparent.
        target->MergeWith(&mBelow, rect, ontoClear ? YK_COPY : YK_NORMAL, 255);
    } else {
        ComposeRange(target, 0, belowEnd, rect);
    }
    if (!mSplitActive) {
        return;
    }
    ComposeRange(target, holder, holder + 1, rect);
    if (mAboveValid && mAboveExact) {
        target->MergeWith(&mAbove, rect, YK_NORMAL, 255);
    } else {
        ComposeRange(target, holder + 1, count, rect);
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

namespace {

// Whether a layer of root's hierarchy other than `except` merges with another method than
// "Normal".
bool HasMergeMethod(YKLayer* root, const YKLayer* except) {
    for (YKLayer* at = root; at != nullptr; at = at->IterateHirarchyToNext(root)) {
        if (at->InheritsFrom("YKObjectLayer") &&
            static_cast<YKObjectLayer*>(at)->_MergeMethod() != YK_NORMAL) {
            return true;
        }
        if (at != except && at->InheritsFrom("YKCacheLayer") &&
            static_cast<YKCacheLayer*>(at)->MergeMethod() != YK_NORMAL) {
            return true;
        }
    }
    return false;
}

// Whether every pixel is opaque or fully transparent. Under "Normal" a pixel turns opaque only
// where some layer drew it opaque, and stays transparent only where none drew; so such a
// rendering merged in one go gives exactly what its layers give one by one, onto any pixels.
bool OpaqueOrClear(YKBitmap* bitmap) {
    const YKRect<int32> frame = bitmap->Frame();
    if (!frame.IsValid()) {
        return true;
    }
    std::vector<uint32> line(static_cast<std::size_t>(frame.Width()) + 1);
    for (int32 y = frame.top; y <= frame.bottom; ++y) {
        bitmap->GetLineAt(y, frame.left, frame.right, false, line.data());
        for (const uint32 pixel : line) {
            const uint32 alpha = pixel >> 24;
            if (alpha != 0 && alpha != 255) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool YKCacheLayer::BranchHasMergeMethod(YKLayer* layer) {
    YKLayer* user = layer->UserLayer();
    return HasMergeMethod(user != nullptr ? user : this, this);
}

bool YKCacheLayer::ChildrenMergeNormally() {
    return !HasMergeMethod(this, this);
}

void YKCacheLayer::NoteExactPreparation() {
    const bool normal = ChildrenMergeNormally();
    mBelowExact = mBelowValid && normal && OpaqueOrClear(&mBelow);
    mAboveExact = mAboveValid && normal && OpaqueOrClear(&mAbove);
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
    NoteExactPreparation();
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
    // Extending merges the old above bitmap in one go, which only an exact one survives.
    const bool extend = ObjectAdded() && mSplitActive && (!mAboveValid || mAboveExact);
    if (!extend) {
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
    NoteExactPreparation();
}
