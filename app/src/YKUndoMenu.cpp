#include "YKUndoMenu.h"

#include <strings.h>

#include "YKUndoManager.h"

std::vector<std::string> YKUndoMenuEntries(const YKUndoManager& manager, bool redo) {
    const char* verb = redo ? "Redo" : "Undo";
    std::vector<std::string> entries;
    const int32 count = redo ? manager.RedoStackSize() : manager.UndoStackSize();
    for (int32 index = count - 1; index >= 0; --index) {
        const bool terminator =
            redo ? manager.RedoIsTerminatorAt(index) : manager.UndoIsTerminatorAt(index);
        const char* name = redo ? manager.RedoNameAt(index) : manager.UndoNameAt(index);
        // A null name means the stack shrank meanwhile.
        if (!terminator || name == nullptr) {
            continue;
        }
        if (strncasecmp(name, verb, 4) == 0) {
            entries.emplace_back(name);
        } else {
            entries.push_back(std::string(verb) + " " + name);
        }
    }
    return entries;
}
