#pragma once

// YKUndoLayerPlacement: the half shared by the records that take a layer out of a document's
// tree or put it back. It remembers where the layer goes, moves it under the viewer layer's
// hierarchy lock inside one invalidation bracket, tells the envelope manager and the panels,
// and owns the layer exactly while it is outside the tree.

#include <string>

#include "yk_types.h"

class YKLayer;
class YKMessage;
class YKUndoItem;
class YKViewerLayerHost;

class YKUndoLayerPlacement {
public:
    // Which notification the panels get: objects hear 'oREM' ("index") and 'oADD' ("Object"),
    // the layer panel 'lBLT' either way.
    enum class Kind { kObject, kUserLayer };

    // `parent` null stands for the document's viewer layer, which is only known once the
    // record is on an undo manager. With `index` -1 the layer is always appended on
    // insertion; otherwise it goes back to the index it was last taken from. A layer that is
    // not `inTree` is owned from now on.
    YKUndoLayerPlacement(Kind kind, YKLayer* layer, YKLayer* parent, int32 index, bool inTree);
    YKUndoLayerPlacement(const YKUndoLayerPlacement&) = delete;
    YKUndoLayerPlacement& operator=(const YKUndoLayerPlacement&) = delete;
    // Destroys the layer when it is outside the tree.
    ~YKUndoLayerPlacement();

    // Takes the layer out of its current parent and remembers that parent and the index. Nothing
    // when it is already out, when `record` has no document or when the tree cannot be locked.
    void Remove(const YKUndoItem& record);
    // Puts the layer back where it was; nothing when it is already in.
    void Insert(const YKUndoItem& record);

    YKLayer* Layer() const { return mLayer; }
    bool InTree() const { return mInTree; }

private:
    // Runs `change` as one editing step of the record's document and, when it succeeds,
    // reports the move and flips the in-tree flag.
    template <class Change>
    void Step(const YKUndoItem& record, bool insert, Change change);
    void Notify(YKViewerLayerHost* host, bool insert, int32 index);

    Kind mKind;
    YKLayer* mLayer;
    YKLayer* mParent;
    int32 mIndex;
    bool mAppend;
    bool mInTree;
};

// "<prefix><name>", with "Unnamed" for a missing or empty name.
std::string YKUndoLayerName(const char* prefix, const char* name);
