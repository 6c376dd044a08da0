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
    // Registers the opacity envelope with the envelope manager (when there is one), then tells
    // the children, then tells the manager the object was added.
    void SelfAdded() override;
    // Unregisters the opacity envelope, then tells the children and the manager.
    void SelfRemoved() override;
    // 'lOPA' ("opacity" int32), 'lMRG' ("merge_method" int32), 'lFxn' and 'lFxf'; others go to
    // the base.
    void MessageReceived(YKMessage* message) override;
    // A detached copy made from this layer's archive, with a Replicate() of each child.
    YKLayer* Replicate() const override;

    // --- Opacity
    // The opacity at the current frame, 0 to 255.
    int32 GlobalAlpha() const;
    // Sets `alpha` (clamped to 0..255) at the current frame, invalidates RealFrame() and
    // broadcasts 'lOPA' from a user layer, 'oOPA' from any other.
    void SetGlobalAlpha(int32 alpha);
    YKEnvelopInt32* OpacityEnvelop() const { return mOpacity.get(); }

    // --- Merging
    int32 MergeMethod() const { return mMergeMethod; }
    // Stores a merge method and invalidates RealFrame(). Method 19 needs a filter to merge
    // with, so it is refused here, as is any value outside 0..20.
    bool SetMergeMethod(int32 method);

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

private:
    struct CheckedArchive {
        const YKMessage* archive;
    };
    explicit YKCacheLayer(CheckedArchive checked);
    // The archive when its class is `className`, else null after a printed line.
    static CheckedArchive Check(const YKMessage* archive, const char* className);
    // Leaves the opacity at 255 on frame 1 when it has no key frames, so it always has a value.
    void EnsureOpacityValue();

    bool mFiltersActive = false;
    // The cache, below and above bitmaps and the split state come here, with the pixel classes.
    int32 mMergeMethod = kNormalMergeMethod;
    // Until filter objects can be built, the merge filter and the filters are kept as the
    // archives they were read from and written back unchanged, so a document keeps its filters.
    std::optional<YKMessage> mMergeFilterArchive;
    std::vector<YKMessage> mFilterArchives;
    bool mFxEnabled = true;
    std::unique_ptr<YKEnvelopInt32> mOpacity;
    // The cache's name, archived with it.
    std::string mCacheName;
};
