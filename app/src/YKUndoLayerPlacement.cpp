#include "YKUndoLayerPlacement.h"

#include "YKEnvelopManager.h"
#include "YKLayer.h"
#include "YKMessage.h"
#include "YKUndoItem.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

YKUndoLayerPlacement::YKUndoLayerPlacement(Kind kind, YKLayer* layer, YKLayer* parent, int32 index,
                                           bool inTree)
    : mKind(kind),
      mLayer(layer),
      mParent(parent),
      mIndex(index),
      mAppend(index < 0),
      mInTree(inTree) {}

YKUndoLayerPlacement::~YKUndoLayerPlacement() {
    if (!mInTree) {
        delete mLayer;
    }
}

void YKUndoLayerPlacement::Remove(const YKUndoItem& record) {
    if (!mInTree) {
        return;
    }
    int32 index = -1;
    Step(record, false, [&](YKViewerLayer*) {
        YKLayer* parent = mLayer->Parent();
        index = parent != nullptr ? parent->IndexOfChild(mLayer) : -1;
        if (index < 0 || parent->RemoveChild(mLayer, true) == nullptr) {
            return -1;
        }
        mParent = parent;
        if (!mAppend) {
            mIndex = index;
        }
        return index;
    });
}

void YKUndoLayerPlacement::Insert(const YKUndoItem& record) {
    if (mInTree) {
        return;
    }
    Step(record, true, [&](YKViewerLayer* root) {
        YKLayer* parent = mParent != nullptr ? mParent : root;
        const bool added =
            mAppend ? parent->AddChild(mLayer, true) : parent->AddChild(mLayer, mIndex, true);
        return added ? parent->IndexOfChild(mLayer) : -1;
    });
}

// `change` returns the index the layer had or now has, or -1 when the tree refused the move.
template <class Change>
void YKUndoLayerPlacement::Step(const YKUndoItem& record, bool insert, Change change) {
    YKUndoManager* manager = record.GetUndoManager();
    YKViewerLayerHost* host = manager != nullptr ? manager->Host() : nullptr;
    YKViewerLayer* root = host != nullptr ? host->ViewerLayer() : nullptr;
    if (root == nullptr || !root->LockHirarchy()) {
        return;
    }
    root->BeginInvalidate();
    YKEnvelopManager* envelopes = host->EnvelopManager();
    // The layers announce themselves as they leave or join the tree; the timeline hears of
    // the move once, below.
    envelopes->SetAcceptRedraw(false, false);
    const int32 index = change(root);
    envelopes->SetAcceptRedraw(true, false);
    if (index >= 0) {
        if (insert) {
            envelopes->ObjectAdded(mLayer->ID());
        } else {
            envelopes->ObjectRemoved(mLayer->ID());
        }
        Notify(host, insert, index);
        mInTree = insert;
    }
    root->EndInvalidate();
    root->UnlockHirarchy();
}

void YKUndoLayerPlacement::Notify(YKViewerLayerHost* host, bool insert, int32 index) {
    YKMessage message;
    if (mKind == Kind::kUserLayer) {
        message.what = 'lBLT';
    } else if (insert) {
        message.what = 'oADD';
        message.AddPointer("Object", mLayer);
    } else {
        message.what = 'oREM';
        message.AddInt32("index", index);
    }
    host->MessageReceived(mLayer, &message);
}

std::string YKUndoLayerName(const char* prefix, const char* name) {
    return std::string(prefix) + (name != nullptr && name[0] != '\0' ? name : "Unnamed");
}
