// Drops on the canvas: files become objects of the current layer (a bitmap over the image or its
// frames, a 3D layer over a model), a dropped bitmap becomes a bitmap clip. Each lands centred
// on the drop point, selected, and one drop is one undo action.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "YKAlert.h"
#include "YKBitmapLayer.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKEventManager_internal.h"
#include "YKImageOpeners.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKRaster.h"
#include "YKRasterAnimFile.h"
#include "YKRasterList.h"
#include "YKUndoCreateObject.h"
#include "YKUndoDocumentIDs.h"
#include "YKViewerLayer.h"

namespace {

void CannotLoad(const std::string& path, const std::string& reason) {
    char text[1024];
    std::snprintf(text, sizeof(text), "\"%s\" cannot be loaded. %s", path.c_str(),
                  reason.empty() ? "Unknown file format." : reason.c_str());
    YKAlert(text, "OK").Go();
}

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void YKEventManager::RefDropped(const YKMessage* message, YKPoint<double> point) {
    if (message == nullptr) {
        return;
    }
    std::vector<std::string> paths;
    const char* path = nullptr;
    for (int32 i = 0; message->FindString(kDroppedFiles, i, &path); ++i) {
        paths.emplace_back(path);
    }
    bool sequence = false;
    message->FindBool("force_image_sequence", &sequence);
    if (paths.empty() || !Usable(point) || CurrentLayer() == nullptr || mMouseDown ||
        mObjectInProgress != nullptr) {
        return;
    }
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    const YKDocument::IDCounters before = mDocument->Counters();
    std::vector<YKObjectLayer*> dropped;
    if (sequence && paths.size() > 1) {
        if (YKObjectLayer* layer = LoadSequence(std::move(paths))) {
            dropped.push_back(layer);
        }
    } else {
        for (const std::string& file : paths) {
            YKOpenedImage image;
            if (!YKImageOpeners::Open(file.c_str(), &image)) {
                CannotLoad(FileName(file), image.error);
                continue;
            }
            YKLayer* layer = image.makeLayer(mDocument->GetUniqueID());
            if (layer != nullptr && layer->InheritsFrom("YKObjectLayer")) {
                dropped.push_back(static_cast<YKObjectLayer*>(layer));
            } else {
                delete layer;
            }
        }
    }
    PlaceDropped(dropped, point, before);
}

YKObjectLayer* YKEventManager::LoadSequence(std::vector<std::string> paths) {
    // File managers hand files over in no useful order; numbered frames sort by name.
    std::sort(paths.begin(), paths.end());
    auto frames = std::make_unique<YKRasterList>();
    for (const std::string& file : paths) {
        YKRasterAnimFile read(file.c_str());
        if (!read.IsValid()) {
            CannotLoad(FileName(file), read.Recognised() ? read.ErrorText() : std::string());
            continue;
        }
        std::unique_ptr<YKRasterList> images = read.DetachList();
        while (!images->IsEmpty()) {
            frames->AddItem(images->RemoveItem(0));
        }
    }
    if (frames->IsEmpty()) {
        return nullptr;
    }
    const std::string name = FileName(paths.front());
    return new YKBitmapLayer(mDocument->GetUniqueID(), frames.release(), name.c_str(),
                             YKPoint<double>{0, 0});
}

void YKEventManager::MessageDropped(const YKMessage* message, YKPoint<double> point) {
    if (message == nullptr) {
        return;
    }
    if (message->HasString(kDroppedFiles)) {
        RefDropped(message, point);
        return;
    }
    auto raster = std::make_unique<YKRaster>(*message);
    if (raster->Bits() == nullptr || !Usable(point) || CurrentLayer() == nullptr || mMouseDown ||
        mObjectInProgress != nullptr) {
        return;
    }
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    const YKDocument::IDCounters before = mDocument->Counters();
    char name[64];
    if (++mBitmapClips == 1) {
        std::snprintf(name, sizeof(name), "Bitmap clip");
    } else {
        std::snprintf(name, sizeof(name), "Bitmap clip %d", mBitmapClips);
    }
    auto* layer =
        new YKBitmapLayer(mDocument->GetUniqueID(), raster.release(), name, YKPoint<double>{0, 0});
    PlaceDropped({layer}, point, before);
}

void YKEventManager::PlaceDropped(const std::vector<YKObjectLayer*>& dropped, YKPoint<double> point,
                                  YKDocument::IDCounters before) {
    if (dropped.empty()) {
        return;
    }
    UnselectAll();
    std::vector<YKObjectLayer*> placed;
    for (YKObjectLayer* object : dropped) {
        if (!CurrentLayer()->AddChild(object, true)) {
            delete object;
            continue;
        }
        const YKRect<double> box = object->BoundingBox();
        object->MoveBoundingBoxBy(
            point - YKPoint<double>{(box.left + box.right) / 2, (box.top + box.bottom) / 2}, false);
        AnnounceAdded(object);
        placed.push_back(object);
    }
    // The files of one drop are undone together, and leave no ids taken behind.
    if (!placed.empty()) {
        mDocument->AddUndoItem(new YKUndoDocumentIDs(mDocument, before, mDocument->Counters()),
                               false);
    }
    for (size_t i = 0; i < placed.size(); ++i) {
        mDocument->AddUndoItem(new YKUndoCreateObject(placed[i], placed[i]->Name()),
                               i + 1 == placed.size());
    }
    NotifySelection();
    YKMessage update('lUTN');
    Viewer()->ForwardMessage(Viewer(), &update);
    mDocument->SetModified(true);
}
