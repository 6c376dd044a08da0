#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "YKUndoModify.h"
#include "yk_types.h"

class YKLayer;
class YKUndoEnvelopModification;
class YKViewerLayer;

// A change of what a layer panel shows of one user layer or object: its name, visibility,
// lock, opacity or merge method. The record keeps the plain attributes as they were and are,
// and the key frames the opacity and visibility envelopes changed at the current frame.
class YKUndoLayerAttributes : public YKUndoModify {
public:
    // Runs `change` on `layer` as one editing step of `viewer` and, when it changed anything
    // of the above, records it as one action named `name`. False when the tree was busy.
    static bool Change(YKViewerLayer* viewer, YKLayer* layer, const char* name,
                       const std::function<void()>& change);

    ~YKUndoLayerAttributes() override;
    const char* Name() const override { return mName.c_str(); }
    void Undo() override { Apply(true); }
    void Redo() override { Apply(false); }

private:
    struct State {
        std::optional<std::string> name;
        int32 copyNumber = 0;
        bool hidden = false;
        bool locked = false;
        // Per view, for user layers.
        std::vector<bool> hiddenInView;
        // The layer's own, and for an object its dedicated parent's (-1 without one).
        int32 mergeMethod = 0;
        int32 parentMergeMethod = -1;
        bool operator==(const State&) const = default;
    };

    YKUndoLayerAttributes(YKLayer* layer, const char* name);
    static State Capture(YKLayer* layer);
    void Set(const State& state);
    void Apply(bool undo);

    YKLayer* mLayer;
    std::string mName;
    State mBefore;
    State mAfter;
    std::vector<std::unique_ptr<YKUndoEnvelopModification>> mKeys;
    // An object that the change wrapped in a dedicated parent (its first opacity below full):
    // undo unwraps it, redo wraps it again at `mWrappedOpacity`.
    bool mWrapped = false;
    bool mHadOpacity = false;
    int32 mWrappedOpacity = 255;
};
