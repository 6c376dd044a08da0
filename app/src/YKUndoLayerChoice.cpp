#include "YKUndoLayerChoice.h"

#include "YKUndoManager.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

bool YKUndoLayerChoice::Choice::operator==(const Choice& other) const {
    return selected == other.selected && current == other.current &&
           counters.object == other.counters.object && counters.layer == other.counters.layer &&
           counters.unique == other.counters.unique;
}

void YKUndoLayerChoice::Around(YKDocument* document, const std::function<void()>& operation) {
    YKUndoManager* undo = document->UndoManager();
    Choice before = Capture(document);
    const int32 changes = undo->UndoDirtyCount();
    operation();
    Choice after = Capture(document);
    const int32 size = undo->UndoStackSize();
    if (undo->UndoDirtyCount() == changes || size == 0 || before == after) {
        return;
    }
    const char* name = undo->UndoNameAt(size - 1);
    undo->AddToLastAction(new YKUndoLayerChoice(document, std::move(before), std::move(after),
                                                name != nullptr ? name : ""));
}

YKUndoLayerChoice::YKUndoLayerChoice(YKDocument* document, Choice before, Choice after,
                                     std::string name)
    : mDocument(document),
      mBefore(std::move(before)),
      mAfter(std::move(after)),
      mName(std::move(name)) {}

YKUndoLayerChoice::Choice YKUndoLayerChoice::Capture(YKDocument* document) {
    Choice choice;
    choice.counters = document->Counters();
    YKViewerLayer* viewer = document->ViewerLayer();
    if (viewer == nullptr || !viewer->LockHirarchy()) {
        return choice;
    }
    choice.current = viewer->CurrentUserLayer();
    for (int32 index = 0; index < viewer->CountChildren(); ++index) {
        YKLayer* layer = viewer->ChildAt(index);
        if (!layer->InheritsFrom("YKUserLayer")) {
            continue;
        }
        auto* user = static_cast<YKUserLayer*>(layer);
        std::array<bool, 8> flags{};
        for (int32 view = 0; view < YKUserLayer::kViewCount; ++view) {
            flags[view] = user->IsUserLayerSelected(view);
        }
        choice.selected.emplace_back(user, flags);
    }
    viewer->UnlockHirarchy();
    return choice;
}

void YKUndoLayerChoice::Set(const Choice& choice) {
    mDocument->SetCounters(choice.counters);
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    // Give up when the tree is busy elsewhere, as every record does.
    if (viewer == nullptr || !viewer->LockHirarchyWithTimeout(0)) {
        return;
    }
    // Layers of the other state that are out of the tree now are kept alive by the records of
    // this action; their flags are set all the same, so that they come back as they were.
    for (const auto& [layer, flags] : choice.selected) {
        for (int32 view = 0; view < YKUserLayer::kViewCount; ++view) {
            layer->SelectUserLayer(flags[view], view);
        }
    }
    if (choice.current != nullptr && viewer->IndexOfChild(choice.current) >= 0) {
        viewer->SetCurrentUserLayer(choice.current);
    }
    viewer->UnlockHirarchy();
}
