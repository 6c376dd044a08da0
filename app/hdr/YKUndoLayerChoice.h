#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "YKDocument.h"
#include "YKUndoItem.h"

class YKLayer;
class YKUserLayer;

// What an operation on the layers changes besides the layers themselves: which user layers are
// selected in each view and which is current (a new, duplicated or merged layer becomes the
// chosen one), and the document's id counters it used. Joined to the operation's action, it
// gives both back on undo, so that an undone operation leaves no trace in the saved file.
class YKUndoLayerChoice : public YKUndoItem {
public:
    // Runs `operation` on `document` and, when it recorded an action that changed the above,
    // adds this record to that action.
    static void Around(YKDocument* document, const std::function<void()>& operation);

    // The name of the action it joined, which the Edit menu shows.
    const char* Name() const override { return mName.c_str(); }
    void Undo() override { Set(mBefore); }
    void Redo() override { Set(mAfter); }

private:
    struct Choice {
        std::vector<std::pair<YKUserLayer*, std::array<bool, 8>>> selected;
        YKLayer* current = nullptr;
        YKDocument::IDCounters counters;
        bool operator==(const Choice& other) const;
    };

    YKUndoLayerChoice(YKDocument* document, Choice before, Choice after, std::string name);
    static Choice Capture(YKDocument* document);
    void Set(const Choice& choice);

    YKDocument* mDocument;
    Choice mBefore;
    Choice mAfter;
    std::string mName;
};
