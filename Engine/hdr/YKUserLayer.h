#pragma once

// YKUserLayer: a layer of the layer panel, a child of the viewer layer. It is a cache layer with
// a name, a copy number (shown in its full name after it was duplicated) and, for each of the
// eight views, whether it is selected and whether it is hidden there.

#include <optional>
#include <string>

#include "YKCacheLayer.h"
#include "yk_types.h"

class YKMessage;

class YKUserLayer : public YKCacheLayer {
public:
    static constexpr int32 kViewCount = 8;
    // The view argument that stands for every view.
    static constexpr int32 kAllViews = -1;

    // Named `name` (none for null), copy number 0, neither selected nor hidden in any view.
    YKUserLayer(int32 id, const char* name);
    // Rebuilds the layer from a "YKUserLayer" archive; selection and visibility values that are
    // missing read as false.
    explicit YKUserLayer(const YKMessage* archive);

    // The cache layer's fields, "Class" = "YKUserLayer", then "YKUL:name" (when there is a
    // name), "YKUL:CopyNumber", and eight "YKUL:selected" and eight "YKUL:hidden" values.
    void Archive(YKMessage* message, bool deep) const override;
    bool InheritsFrom(const char* className) const override;
    // The own hidden flag, or hidden in the current view.
    bool IsHidden() const override;
    YKLayer* UserLayer() override { return this; }
    // False for a view outside 0..7 (kAllViews included).
    bool IsUserLayerSelected(int32 view) const override;
    bool IsUserLayerHidden(int32 view) const override;
    // 'lHID' and 'lSHW' ("viewer" int32, all views when absent) hide and show, 'sNAM' ("name"
    // string) renames, 'lLNK' and 'lULK' are ignored; others go to the cache layer.
    void MessageReceived(YKMessage* message) override;
    // A detached copy made from this layer's archive, with a Replicate() of each child.
    YKLayer* Replicate() const override;

    // --- Name
    // Replaces the name (a null name is ignored), resets the copy number to 0 and broadcasts
    // 'lREN' with the pointer "Layer".
    void SetName(const char* name);
    // Null when the layer has no name.
    const char* Name() const { return mName.has_value() ? mName->c_str() : nullptr; }
    int32 CopyNumber() const { return mCopyNumber; }
    void SetCopyNumber(int32 copyNumber) { mCopyNumber = copyNumber; }
    // The name ("Unnamed" without one), followed by " copy" for copy 1 and " copy <n>" for
    // any other copy number but 0.
    std::string GetFullName() const;

    // --- Per view; `view` is 0..7 or kAllViews, other values change nothing.
    // Sets the selection flag; selecting a layer that is hidden in that view shows it there.
    void SelectUserLayer(bool selected, int32 view);
    // Set or clear the hidden flag, broadcast 'lHID' or 'lSHW' with the pointer "Layer" and
    // invalidate the layer's frame.
    void HideUserLayer(int32 view);
    void ShowUserLayer(int32 view);

private:
    // Sets the flag of `view`, or of every view for kAllViews.
    static void SetPerView(bool (&flags)[kViewCount], bool value, int32 view);
    static bool AtView(const bool (&flags)[kViewCount], int32 view);
    void SetHidden(bool hidden, int32 view);
    // Under the hierarchy lock, forwards a `code` message with the pointer "Layer" = this.
    void BroadcastLayerMessage(uint32 code);

    bool mSelected[kViewCount] = {};
    bool mHidden[kViewCount] = {};
    std::optional<std::string> mName;
    int32 mCopyNumber = 0;
    // The layer's object groups come here, with the group layers.
};
