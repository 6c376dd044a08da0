#include "YKUndoLayerAttributes.h"

#include "YKCacheLayer.h"
#include "YKEnvelop.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKUndoEnvelopModification.h"
#include "YKUndoManager.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

namespace {

YKUserLayer* AsUser(YKLayer* layer) {
    return layer->InheritsFrom("YKUserLayer") ? static_cast<YKUserLayer*>(layer) : nullptr;
}

YKObjectLayer* AsObject(YKLayer* layer) {
    return layer->InheritsFrom("YKObjectLayer") ? static_cast<YKObjectLayer*>(layer) : nullptr;
}

// The envelopes whose key at the current frame the panels change: the opacity (held by the
// dedicated parent once there is one) and, for an object, the visibility.
std::vector<YKEnvelop*> Envelopes(YKLayer* layer) {
    std::vector<YKEnvelop*> envelopes;
    if (YKUserLayer* user = AsUser(layer)) {
        envelopes.push_back(user->OpacityEnvelop());
    } else if (YKObjectLayer* object = AsObject(layer)) {
        envelopes.push_back(object->VisibilityEnvelop());
        YKCacheLayer* parent = object->DedicatedParent();
        envelopes.push_back(parent != nullptr ? parent->OpacityEnvelop()
                                              : object->OpacityEnvelop());
    }
    return envelopes;
}

}  // namespace

bool YKUndoLayerAttributes::Change(YKViewerLayer* viewer, YKLayer* layer, const char* name,
                                   const std::function<void()>& change) {
    if (viewer == nullptr || layer == nullptr || !viewer->LockHirarchy()) {
        return false;
    }
    viewer->BeginInvalidate();
    std::unique_ptr<YKUndoLayerAttributes> record(new YKUndoLayerAttributes(layer, name));
    record->mBefore = Capture(layer);
    YKObjectLayer* object = AsObject(layer);
    const bool unwrapped = object != nullptr && object->DedicatedParent() == nullptr;
    record->mHadOpacity = object != nullptr && object->OpacityEnvelop() != nullptr;
    std::vector<YKEnvelop*> watched;
    for (YKEnvelop* envelope : Envelopes(layer)) {
        // An envelope already being recorded (a drag in progress) keeps its own record.
        if (envelope != nullptr && !envelope->IsInModification()) {
            envelope->BeginModification();
            watched.push_back(envelope);
        }
    }
    change();
    for (YKEnvelop* envelope : watched) {
        if (YKUndoEnvelopModification* key = envelope->EndModification()) {
            record->mKeys.emplace_back(key);
        }
    }
    record->mAfter = Capture(layer);
    if (unwrapped && object->DedicatedParent() != nullptr) {
        record->mWrapped = true;
        record->mWrappedOpacity = object->DedicatedParent()->GlobalAlpha();
    }
    viewer->EndInvalidate();
    const bool changed =
        record->mWrapped || !record->mKeys.empty() || !(record->mBefore == record->mAfter);
    if (changed) {
        viewer->AddUndoItem(record.release(), true);
    }
    viewer->UnlockHirarchy();
    return true;
}

YKUndoLayerAttributes::YKUndoLayerAttributes(YKLayer* layer, const char* name)
    : mLayer(layer), mName(name != nullptr ? name : "Layer Attributes") {}

YKUndoLayerAttributes::~YKUndoLayerAttributes() = default;

YKUndoLayerAttributes::State YKUndoLayerAttributes::Capture(YKLayer* layer) {
    State state;
    // The own flags: a locked user layer shows its objects locked without changing theirs.
    state.hidden = layer->YKLayer::IsHidden();
    state.locked = layer->IsLockedItself();
    if (YKUserLayer* user = AsUser(layer)) {
        if (user->Name() != nullptr) {
            state.name = user->Name();
        }
        state.copyNumber = user->CopyNumber();
        for (int32 view = 0; view < YKUserLayer::kViewCount; ++view) {
            state.hiddenInView.push_back(user->IsUserLayerHidden(view));
        }
        state.mergeMethod = user->MergeMethod();
    } else if (YKObjectLayer* object = AsObject(layer)) {
        if (object->Name() != nullptr) {
            state.name = object->Name();
        }
        state.copyNumber = object->CopyNumber();
        state.mergeMethod = object->_MergeMethod();
        YKCacheLayer* parent = object->DedicatedParent();
        state.parentMergeMethod = parent != nullptr ? parent->MergeMethod() : -1;
    }
    return state;
}

void YKUndoLayerAttributes::Set(const State& state) {
    mLayer->YKLayer::Hide(state.hidden);
    mLayer->YKLayer::Lock(state.locked);
    if (YKUserLayer* user = AsUser(mLayer)) {
        if (state.name.has_value()) {
            user->SetName(state.name->c_str());
        }
        user->SetCopyNumber(state.copyNumber);
        for (int32 view = 0; view < static_cast<int32>(state.hiddenInView.size()); ++view) {
            if (user->IsUserLayerHidden(view) != state.hiddenInView[view]) {
                state.hiddenInView[view] ? user->HideUserLayer(view) : user->ShowUserLayer(view);
            }
        }
        user->SetMergeMethod(state.mergeMethod, nullptr);
    } else if (YKObjectLayer* object = AsObject(mLayer)) {
        object->SetName(state.name.has_value() ? state.name->c_str() : nullptr);
        object->SetCopyNumber(state.copyNumber);
        YKCacheLayer* parent = object->DedicatedParent();
        if (parent != nullptr && state.parentMergeMethod >= 0) {
            parent->SetMergeMethod(state.parentMergeMethod, nullptr);
        } else if (parent == nullptr) {
            object->ChangeMergeMethod(state.mergeMethod, nullptr);
        }
    }
}

void YKUndoLayerAttributes::Apply(bool undo) {
    YKUndoManager* manager = GetUndoManager();
    YKViewerLayerHost* host = manager != nullptr ? manager->Host() : nullptr;
    YKViewerLayer* viewer = host != nullptr ? host->ViewerLayer() : nullptr;
    // Give up when the tree is busy elsewhere, as every record does.
    if (viewer == nullptr || !viewer->LockHirarchyWithTimeout(0)) {
        return;
    }
    viewer->BeginInvalidate();
    auto* object = mWrapped ? static_cast<YKObjectLayer*>(mLayer) : nullptr;
    if (undo) {
        for (auto key = mKeys.rbegin(); key != mKeys.rend(); ++key) {
            (*key)->Undo();
        }
        if (object != nullptr) {
            object->UnwrapCacheLayer(mHadOpacity);
        }
    } else {
        if (object != nullptr) {
            object->ChangeOpacity(mWrappedOpacity);
        }
        for (const auto& key : mKeys) {
            key->Redo();
        }
    }
    Set(undo ? mBefore : mAfter);
    // An object's opacity and merge show through its parent.
    YKLayer* shown =
        AsObject(mLayer) != nullptr && mLayer->Parent() != nullptr ? mLayer->Parent() : mLayer;
    shown->InvalidateLayer(shown->RealFrame(), true, nullptr);
    viewer->EndInvalidate();
    YKMessage changed('lUTN');
    host->MessageReceived(nullptr, &changed);
    viewer->UnlockHirarchy();
}
