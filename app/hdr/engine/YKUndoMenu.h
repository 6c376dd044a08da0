#pragma once

// The entries of the Edit menu's undo and redo lists.

#include <string>
#include <vector>

class YKUndoManager;

// One entry per action, from the top of the undo (`redo`: redo) stack downwards: "Undo " and
// the name of the action's terminator record, or the name alone when it already begins with
// "Undo" in any case ("Redo" for the redo list).
std::vector<std::string> YKUndoMenuEntries(const YKUndoManager& manager, bool redo);
