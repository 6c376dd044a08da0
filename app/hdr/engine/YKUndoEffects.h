#pragma once

// YKUndoEffects: one change of the effects of one or more layers (an effect switched on or off,
// a parameter set). Each layer's effect settings are kept before and after as the effect keys of
// its archive; undo and redo give them back inside one redraw.

#include <vector>

#include "YKMessage.h"
#include "YKUndoModify.h"

class YKEffectLayer;

class YKUndoEffects : public YKUndoModify {
public:
    // The effect keys of `layer`'s archive: the process flags, every parameter and whether the
    // effects are on.
    static YKMessage Settings(const YKEffectLayer* layer);
    // Gives `layer` the effects of `settings` and redraws what they covered and what they cover
    // now. Call it inside an editing step.
    static void Give(YKEffectLayer* layer, const YKMessage& settings);

    YKUndoEffects() = default;
    // Adds a layer's settings before and after the change; a layer whose settings did not
    // change is left out.
    void Add(YKEffectLayer* layer, const YKMessage& before, const YKMessage& after);
    bool IsEmpty() const { return mLayers.empty(); }

    const char* Name() const override { return "Effects"; }
    void Undo() override { Apply(true); }
    void Redo() override { Apply(false); }

private:
    void Apply(bool undo);

    struct Changed {
        YKEffectLayer* layer;
        YKMessage before;
        YKMessage after;
    };
    std::vector<Changed> mLayers;
};
