#include "YKVectorPanel.h"

#include <QTimer>
#include <algorithm>
#include <memory>

#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEnvelopManager.h"
#include "YKRasterLayer.h"
#include "YKUndoEnvelopModification.h"
#include "YKUndoPlaceObjects.h"
#include "YKVectorEntity.h"
#include "YKViewerLayer.h"

YKVectorPanel::YKVectorPanel(YKDocumentWindow* window) : YKPanel(window), mIdle(new QTimer(this)) {
    mIdle->setSingleShot(true);
    mIdle->setInterval(kGestureIdle);
    connect(mIdle, &QTimer::timeout, this, &YKVectorPanel::FinishChange);
}

// A change still open when the window goes is dropped with the document.
YKVectorPanel::~YKVectorPanel() = default;

// --- Paint ---

YKVectorPanel::Paint YKVectorPanel::ReadPaint(const YKVectorEntity& entity, bool fill) {
    YKVectorAttributes a;
    entity.getAttributes(&a);
    if (fill) {
        return {a.fillColor,        a.fillColorFlag,   a.fillGradient,
                a.fillPatternAlpha, a.fillPatternLock, a.fillPatternName};
    }
    return {a.strokeColor,        a.strokeColorFlag,   a.strokeGradient,
            a.strokePatternAlpha, a.strokePatternLock, a.strokePatternName};
}

void YKVectorPanel::WritePaint(YKVectorEntity* entity, bool fill, const Paint& p) {
    if (fill) {
        entity->setFillAndColor(p.color, p.flag, p.gradient, p.patternAlpha, p.patternLock,
                                p.patternName.c_str());
    } else {
        entity->setStrokeAndColor(p.color, p.flag, p.gradient, p.patternAlpha, p.patternLock,
                                  p.patternName.c_str());
    }
}

// --- Selection ---

std::vector<YKRasterLayer*> YKVectorPanel::SelectedVectors() const {
    std::vector<YKRasterLayer*> vectors;
    YKViewerLayer* viewer = Window()->IsQuitting() ? nullptr : Document()->ViewerLayer();
    if (viewer == nullptr || !viewer->LockHirarchy()) {
        return vectors;
    }
    for (YKLayer* layer : viewer->SelectedObjects(Window()->ViewIndex())) {
        auto* object = dynamic_cast<YKRasterLayer*>(layer);
        if (object != nullptr && object->Entity() != nullptr) {
            vectors.push_back(object);
        }
    }
    viewer->UnlockHirarchy();
    return vectors;
}

// --- Changes ---

bool YKVectorPanel::ChangeSelection(const char* name,
                                    const std::function<void(YKVectorEntity*)>& change,
                                    bool ongoing) {
    if (!mChangeName.empty() && (!ongoing || mChangeName != name)) {
        FinishChange();
    }
    const std::vector<YKRasterLayer*> objects = SelectedVectors();
    if (mBefore.empty()) {
        mUndoSizeAtStart = Document()->UndoManager()->UndoStackSize();
    }
    const bool done = !objects.empty() && Edit([&](YKViewerLayer*) {
        YKEnvelopManager* envelopes = Document()->EnvelopManager();
        for (YKRasterLayer* object : objects) {
            if (object->IsLocked()) {
                continue;
            }
            const int32 id = object->ID();
            if (std::none_of(mBefore.begin(), mBefore.end(),
                             [id](const Before& b) { return b.id == id; })) {
                mBefore.push_back({id, {}});
                object->ArchiveContent(&mBefore.back().content);
            }
            change(object->Entity());
            // Rebuilt from what it now archives, as undo rebuilds it: the object takes its
            // patterns from the roster and renders anew in one way only.
            YKMessage after;
            object->ArchiveContent(&after);
            object->FollowEnvelops(&after);
            if (envelopes != nullptr) {
                envelopes->ObjectModified(id);
            }
        }
    });
    if (!done) {
        return false;
    }
    mChangeName = name;
    if (ongoing) {
        mIdle->start();
    } else {
        FinishChange();
    }
    return true;
}

void YKVectorPanel::FinishChange() {
    mIdle->stop();
    const std::vector<Before> before = std::move(mBefore);
    const std::string name = std::move(mChangeName);
    mBefore.clear();
    mChangeName.clear();
    YKViewerLayer* viewer = Window()->IsQuitting() ? nullptr : Document()->ViewerLayer();
    if (before.empty() || viewer == nullptr || !viewer->LockHirarchy()) {
        return;
    }
    auto record = std::make_unique<YKUndoPlaceObjects>(name.c_str());
    bool changed = false;
    for (const Before& b : before) {
        // Looked up again: the object may have gone since the change began.
        auto* object = dynamic_cast<YKObjectLayer*>(viewer->LayerByID(b.id));
        YKMessage after;
        if (object == nullptr || !object->ArchiveContent(&after) ||
            after.Flatten() == b.content.Flatten()) {
            continue;
        }
        record->Add(object, {}, b.content, after);
        changed = true;
    }
    if (changed) {
        Document()->UndoManager()->AddJoiningSince(record.release(), mUndoSizeAtStart);
        YKMessage update('lUTN');
        viewer->ForwardMessage(viewer, &update);
    }
    viewer->UnlockHirarchy();
}

void YKVectorPanel::hideEvent(QHideEvent* event) {
    FinishChange();
    YKPanel::hideEvent(event);
}
