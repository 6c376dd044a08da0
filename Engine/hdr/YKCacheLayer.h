#pragma once

// YKCacheLayer: a layer that renders its children into a cache of its own and merges that
// cache into the frame with an opacity, a merge method and a chain of raster filters. It serves
// as a group of layers and as the dedicated parent an object takes on when it gets an opacity
// below 255, the "Filter" merge method or a filter; the user layers derive from it.
//
// The opacity is an envelope, so it can change over time; the layer owns it and registers it
// with the document's envelope manager while it is in a tree.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "YKEffectLayer.h"
#include "YKEnvelopKinds.h"
#include "YKMessage.h"
#include "yk_types.h"

class YKGenericFilter;

class YKCacheLayer : public YKEffectLayer {
public:
    // "Normal", the default merge method.
    static constexpr int32 kNormalMergeMethod = 0;
    // "Filter": the merge is handed to a filter object, so this method needs one.
    static constexpr int32 kFilterMergeMethod = 19;
    // Merge methods are 0 ("Normal") to 20 ("Overlay").
    static constexpr int32 kMergeMethodCount = 21;

    // Opacity 255 at frame 1 in an envelope owned by `id`; merge method "Normal"; no filters.
    // `name` names the cache (null for none).
    YKCacheLayer(int32 id, const char* name);
    // Takes over `opacity` (an object's, when it gets a dedicated parent) as it is; null gives a
    // new one at 255.
    YKCacheLayer(int32 id, std::unique_ptr<YKEnvelopInt32> opacity);
    // Rebuilds the layer from a "YKCacheLayer" archive. Missing or mistyped keys keep the
    // defaults; an archive of another class is reported and gives a layer with all defaults.
    explicit YKCacheLayer(const YKMessage* archive);
    ~YKCacheLayer() override;

    // The effect layer's fields and children, "Class" = "YKCacheLayer", then the opacity
    // envelope, the merge method, the merge filter (with method 19 only), the filters in order
    // and the cache's name.
    void Archive(YKMessage* message, bool deep) const override;
    bool InheritsFrom(const char* className) const override;
    // The parent first; then, when turning off and filters or effects are active, clears the
    // filters-active flag and turns the effects off. Tells whether anything changed.
    bool SetFiltersOff(bool off) override;
    // The parent first; then filters are active again when there are any (or a merge filter)
    // and the effects are turned back on.
    bool SetFiltersOn() override;
    // Registers the opacity envelope and the filters' envelopes with the envelope manager (when
    // there is one), then tells the children, then tells the manager the object was added.
    void SelfAdded() override;
    // Unregisters them, then tells the children and the manager.
    void SelfRemoved() override;
    // 'lOPA' ("opacity" int32), 'lMRG' ("merge_method" int32, "merge_filter" pointer),
    // 'lFLT' ("filter" pointer), 'lFxn' and 'lFxf'; others go to the base.
    void MessageReceived(YKMessage* message) override;
    // A detached copy made from this layer's archive, with a Replicate() of each child.
    YKLayer* Replicate() const override;

    // --- Composition
    // Straight into the destination when nothing needs the cache (opacity 255, "Normal", no
    // effects, no filters); otherwise the children are rendered into the cache when it is out
    // of date, the effects and filters applied, and the cache merged with the opacity and the
    // merge method.
    void ComposeLayer(YKBitmap* destination, YKRect<int32> rect) override;
    // ComposeLayer onto a destination known to be transparent within `rect` (a view's
    // composition just erased): prepared renderings of the children can then be copied in.
    void ComposeLayerOntoClear(YKBitmap* destination, YKRect<int32> rect);
    // Invalidation grows by the effect radius and the filters, marks the cache out of date and
    // records which layer changed, for the split preparation.
    void InvalidateLayer(YKRect<int32> rect, bool flag, YKLayer* source) override;
    void SetObjectAdded() override;
    void PreSplit() override;
    void PostSplit() override;
    void SwitchFrame() override;
    // The effect frame and the children's frames, grown by the filters.
    YKRect<int32> Frame() const override;
    YKRect<int32> RealFrame() const override { return Frame(); }
    // The rendering of the children, filtered (rendered first when the last composition did not
    // go through the cache).
    YKBitmap* Bitmap();
    // Moves a single filtered child's rendering instead of filtering it again.
    void OffSetBitmap(YKPoint<int32> offset);
    // One bitmap of all children, for editing anything.
    void PrepareSingleBitmap();
    // Below and above bitmaps around the one changed layer, or one bitmap when that cannot be.
    void PrepareSplit();
    // Read and cleared: whether a layer was put on top since the last preparation.
    bool ObjectAdded();
    bool IsSplitActive() const { return mSplitActive; }
    bool IsBelowValid() const { return mBelowValid; }
    bool IsAboveValid() const { return mAboveValid; }
    const YKLayer* SplitChild() const { return mSplitChild; }
    // Whether the last composition went through the cache.
    bool IsCached() const { return mCached; }

    // --- Opacity
    // The opacity at the current frame, 0 to 255.
    int32 GlobalAlpha() const;
    int32 GetGlobalAlpha() const { return GlobalAlpha(); }
    // Sets `alpha` (clamped to 0..255) at the current frame, invalidates RealFrame() and
    // broadcasts 'lOPA' from a user layer, 'oOPA' from any other.
    void SetGlobalAlpha(int32 alpha);
    YKEnvelopInt32* OpacityEnvelop() const { return mOpacity.get(); }
    // The owner of the opacity and the filters' envelopes (an object that claims its parent).
    void SetEnvelopsID(int32 id);
    // Hands the opacity envelope to the caller (an object taking back what it gave when it was
    // wrapped) and keeps a fresh opaque one.
    std::unique_ptr<YKEnvelopInt32> TakeOpacityEnvelop();

    // --- Merging
    int32 MergeMethod() const { return mMergeMethod; }
    int32 GetMergeMethod() const { return mMergeMethod; }
    // Stores a merge method (0..20) and invalidates RealFrame(). "Filter" (19) needs a filter,
    // which the layer then owns; without one nothing changes.
    bool SetMergeMethod(int32 method, YKGenericFilter* filter);
    YKGenericFilter* GetMergeFilter() const { return mMergeFilter.get(); }

    // --- Filters, applied to the cache in order; the layer owns them.
    void AddFilter(YKGenericFilter* filter);
    void AddFilter(YKGenericFilter* filter, int32 index);
    // Takes a filter out and hands it to the caller (null for an index outside the list).
    YKGenericFilter* RemoveFilter(int32 index);
    YKGenericFilter* RemoveFilter(YKGenericFilter* filter);
    bool DeleteFilter(int32 index);
    bool DeleteFilter(YKGenericFilter* filter);
    void DeleteAllFilters();
    int32 CountFilters() const { return static_cast<int32>(mFilters.size()); }
    YKGenericFilter* FilterAt(int32 index) const;
    // Runs the filters over the cache; rect becomes what the last one covers.
    void ApplyFilters(YKRect<int32>& rect);
    // rect grown by every filter's reach.
    YKRect<int32> ChangeFrameWithFilter(YKRect<int32> rect) const;

    // --- Filters and effects as a whole
    // Set while the layer has filters to apply; cleared while filters are switched off.
    bool FiltersActive() const { return mFiltersActive; }
    // Switches this layer's filters and effects on or off together; a change invalidates the
    // frame.
    void SetFxEnabled(bool on);
    bool IsFxEnabled() const { return mFxEnabled; }

protected:
    // For the kinds: rebuilds from an archive whose "Class" must be `className`.
    YKCacheLayer(const YKMessage* archive, const char* className);
    // Whether `archive` is non-null and its "Class" is `className`.
    static bool IsArchiveOf(const YKMessage* archive, const char* className);
    // The cache itself, once rendered: the effects are computed from it.
    const YKBitmap* EffectSource(YKBitmap* scratch, YKRect<int32> frame) override;

private:
    struct CheckedArchive {
        const YKMessage* archive;
    };
    explicit YKCacheLayer(CheckedArchive checked);
    // The archive when its class is `className`, else null after a printed line.
    static CheckedArchive Check(const YKMessage* archive, const char* className);
    // Leaves the opacity at 255 on frame 1 when it has no key frames, so it always has a value.
    void EnsureOpacityValue();
    bool UsesCache() const;
    void Compose(YKBitmap* destination, YKRect<int32> rect, bool ontoClear);
    bool HasFilters() const { return !mFilters.empty() || !mFilterArchives.empty(); }
    // The filters and the merge filter, whose envelopes the layer registers.
    template <typename Visit>
    void ForEachFilter(Visit&& visit) const {
        for (const auto& filter : mFilters) {
            visit(filter.get());
        }
        if (mMergeFilter != nullptr) {
            visit(mMergeFilter.get());
        }
    }
    // The children into `target` within rect, each straight onto what lies there. The prepared
    // bitmaps stand in for their children only where that gives the same pixels: onto a
    // target still transparent in rect (`ontoClear`, the cache), or when they are exact.
    void ComposeChildren(YKBitmap* target, YKRect<int32> rect, bool ontoClear);
    // The children other than the one holding the split child, on either side of it.
    void ComposeRange(YKBitmap* target, int32 from, int32 to, YKRect<int32> rect);
    int32 IndexOfChildHolding(const YKLayer* layer);
    bool BranchHasMergeMethod(YKLayer* layer);
    // Whether every descendant merges with "Normal", so that only the alpha of the prepared
    // bitmaps decides whether they are exact.
    bool ChildrenMergeNormally();
    // Notes which prepared bitmaps may be merged in one go onto anything.
    void NoteExactPreparation();
    void RecordChangedSource(YKLayer* source);
    // Whether the below and above bitmaps still show every child but the split one.
    bool PreparationUsable() const;
    // Brings the cache up to date: the dirty part, or all of it when filters read around.
    void RefreshCache();
    void MergeCache(YKBitmap* destination, YKRect<int32> rect);
    void Invalidate(YKRect<int32> rect);

    bool mFiltersActive = false;
    YKBitmap mCache;
    YKBitmap mBelow;
    bool mBelowValid = false;
    YKBitmap mAbove;
    bool mAboveValid = false;
    // The prepared bitmap gives, merged "Normal" onto any pixels, exactly what its children
    // give composed one by one.
    bool mBelowExact = false;
    bool mAboveExact = false;
    YKLayer* mSplitChild = nullptr;
    bool mSplitActive = false;
    // Layers reported by InvalidateLayer since PreSplit; the markers stand for "one unknown
    // change" and "everything".
    YKList<YKLayer*> mChangedSources{16, false};
    int32 mMergeMethod = kNormalMergeMethod;
    std::unique_ptr<YKGenericFilter> mMergeFilter;
    std::vector<std::unique_ptr<YKGenericFilter>> mFilters;
    // Filters a document names that this build cannot make are kept as their archives and
    // written back unchanged, in their place among the live filters, so saving neither loses
    // nor reorders them.
    struct ArchivedFilter {
        int32 livesBefore;  // how many of mFilters come before it
        YKMessage archive;
    };
    std::optional<YKMessage> mMergeFilterArchive;
    std::vector<ArchivedFilter> mFilterArchives;
    bool mFxEnabled = true;
    std::unique_ptr<YKEnvelopInt32> mOpacity;
    bool mInEffect = false;
    bool mObjectAdded = false;
    bool mCached = false;
    // What was invalidated since the cache was last brought up to date.
    YKRect<int32> mDirty = YKRect<int32>::None();
    // The cache's name, archived with it.
    std::string mCacheName;
};
