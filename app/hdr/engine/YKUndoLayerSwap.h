#pragma once

// YKUndoLayerSwap: a record of layers replaced by others in one step (flattening, merging).
// Undo takes the new layers out and puts the replaced ones back where they were; redo does the
// reverse. It owns whichever set is out of the document's tree.

#include <string>
#include <vector>

#include "YKUndoItem.h"
#include "YKViewerLayer.h"

class YKViewerLayerHost;

class YKUndoLayerSwap : public YKUndoItem {
public:
    using Places = std::vector<YKViewerLayer::LayerPlace>;

    // `replaced` are out of the tree and `added` in it, at the places given.
    YKUndoLayerSwap(Places replaced, Places added, std::string name);
    ~YKUndoLayerSwap() override;

    const char* Name() const override { return mName.c_str(); }
    void Undo() override;
    void Redo() override;

    const Places& Replaced() const { return mReplaced; }
    const Places& Added() const { return mAdded; }
    // Whether the added layers are the ones in the tree.
    bool Applied() const { return mApplied; }

protected:
    // Tells the panels; the layer panel rebuilds its list by default.
    virtual void Notify(YKViewerLayerHost* host);

private:
    void Swap(bool apply);

    Places mReplaced;
    Places mAdded;
    std::string mName;
    bool mApplied = true;
};
