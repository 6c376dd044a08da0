#include "YKUndoPlaceObjects.h"

#include <algorithm>

#include "YKObjectLayer.h"
#include "YKUndoEnvelopModification.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

YKUndoPlaceObjects::YKUndoPlaceObjects(const char* name) : mName(name != nullptr ? name : "") {}

YKUndoPlaceObjects::~YKUndoPlaceObjects() = default;

void YKUndoPlaceObjects::Add(YKObjectLayer* object,
                             std::vector<std::unique_ptr<YKUndoEnvelopModification>> records) {
    if (records.empty()) {
        return;
    }
    if (std::find(mObjects.begin(), mObjects.end(), object) == mObjects.end()) {
        mObjects.push_back(object);
    }
    for (auto& record : records) {
        mRecords.push_back(std::move(record));
    }
}

void YKUndoPlaceObjects::Apply(bool undo) {
    YKUndoManager* manager = GetUndoManager();
    YKViewerLayerHost* host = manager != nullptr ? manager->Host() : nullptr;
    YKViewerLayer* root = host != nullptr ? host->ViewerLayer() : nullptr;
    if (root == nullptr || !root->LockHirarchy()) {
        return;
    }
    root->BeginInvalidate();
    if (undo) {
        std::for_each(mRecords.rbegin(), mRecords.rend(), [](auto& record) { record->Undo(); });
    } else {
        std::for_each(mRecords.begin(), mRecords.end(), [](auto& record) { record->Redo(); });
    }
    // The envelopes hold the placement again; the objects still show the other one.
    for (YKObjectLayer* object : mObjects) {
        object->FollowEnvelops();
    }
    root->EndInvalidate();
    root->UnlockHirarchy();
}
