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
                             std::vector<std::unique_ptr<YKUndoEnvelopModification>> records,
                             const YKMessage& contentBefore, const YKMessage& contentAfter) {
    // A point moved inside the object's box changes its content and no envelope.
    if (records.empty() && contentBefore.Flatten() == contentAfter.Flatten()) {
        return;
    }
    const auto placed = std::find_if(mObjects.begin(), mObjects.end(),
                                     [object](const Placed& p) { return p.object == object; });
    if (placed == mObjects.end()) {
        mObjects.push_back({object, contentBefore, contentAfter});
    } else {
        placed->after = contentAfter;
    }
    for (auto& record : records) {
        mRecords.push_back(std::move(record));
    }
}

void YKUndoPlaceObjects::Apply(bool undo) {
    EditingStep([&](YKViewerLayerHost*, YKViewerLayer*) {
        if (undo) {
            std::for_each(mRecords.rbegin(), mRecords.rend(), [](auto& record) { record->Undo(); });
        } else {
            std::for_each(mRecords.begin(), mRecords.end(), [](auto& record) { record->Redo(); });
        }
        // The envelopes hold the placement again; the objects still show the other one.
        for (const Placed& placed : mObjects) {
            const YKMessage& content = undo ? placed.before : placed.after;
            placed.object->FollowEnvelops(content.IsEmpty() ? nullptr : &content);
        }
    });
}
