#include "YKUndoEffects.h"

#include "YKEffectLayer.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"
#include "YKViewerLayerHost.h"

YKMessage YKUndoEffects::Settings(const YKEffectLayer* layer) {
    YKMessage settings;
    layer->ArchiveEffects(&settings);
    return settings;
}

void YKUndoEffects::Give(YKEffectLayer* layer, const YKMessage& settings) {
    const YKRect<int32> before = layer->Frame();
    layer->SetEffectProperties(&settings);
    if (!layer->IsEffectEnabled()) {
        // Old effect bitmaps would still widen the frame.
        layer->ClearEffect();
    } else if (layer->InheritsFrom("YKObjectLayer")) {
        // An object keeps its rendering, so its effects are made now; a cache makes them when it
        // is composed again.
        layer->ProcessEffect();
    }
    layer->InvalidateLayer(before | layer->Frame(), true, nullptr);
}

void YKUndoEffects::Add(YKEffectLayer* layer, const YKMessage& before, const YKMessage& after) {
    if (before.Flatten() != after.Flatten()) {
        mLayers.push_back({layer, before, after});
    }
}

void YKUndoEffects::Apply(bool undo) {
    EditingStep([&](YKViewerLayerHost*, YKViewerLayer*) {
        for (const Changed& changed : mLayers) {
            Give(changed.layer, undo ? changed.before : changed.after);
        }
    });
}
